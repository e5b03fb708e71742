#pragma once
#include <exception>
#include <string>
#include <thread>

#include "encoder/FfmpegPointers.h"
#include "encoder/FrameQueue.h"
#include "encoder/SourceFile.h"
#include "encoder/StreamCoverage.h"
// Demuxes the source and decodes its chosen video and audio streams on a thread of its own,
// handing every frame, timed from the source's start, to the FrameQueue of its kind. Where a
// stream's parameters change midway (a recorder that started again with another size or
// sound), its decoder is drained and opened anew, so no frame is lost. Damaged packets are
// skipped; a read error ends the input as if the file ended there; a timestamp
// that jumps by seconds (damaged, or a spliced recording) is taken as continuing where the
// stream was. A failure on the thread ends the input; rethrowFailure gives it afterwards.

namespace vidmora_encoder {

// A decoder for `stream` of the source at `path` with `parameters` (the stream's own, or those
// a change midway brought), on `threads` threads (0: as many as the codec can use); nullptr
// without a stream. Throws EncoderError when it cannot be opened, naming the codec, or when
// the video's frames are larger than any the encoder takes.
CodecContextPtr openDecoder(const SourceStream* stream, const AVCodecParameters* parameters,
                            const std::string& path, int threads);

class SourceDecoder {
 public:
  // What becomes of the chosen streams' packets besides being counted: the video decoded here
  // (else elsewhere: its packets are only counted), the audio decoded or handed over as it is.
  struct Plan {
    bool decodeVideo = true;
    bool copyAudio = false;
  };

  // Opens a decoder for each chosen stream of `file`; throws EncoderError when one cannot be
  // opened.
  SourceDecoder(SourceFile& file, Plan plan);
  // Stops the thread and waits for it.
  ~SourceDecoder();
  SourceDecoder(const SourceDecoder&) = delete;
  SourceDecoder& operator=(const SourceDecoder&) = delete;

  // The opened decoders, or nullptr when the source has no stream of that kind.
  AVCodecContext* videoDecoder() const { return video.decoder.get(); }
  AVCodecContext* audioDecoder() const { return audio.decoder.get(); }

  // Starts the decoding thread; throws EncoderError when it cannot start.
  void start();
  // The next decoded frame of `type` (video or audio), in decoding order; nothing once the
  // input has ended (at its end, at a read error, or at a stop request) and every frame of
  // that kind was taken, or once stopped. The two kinds are queued apart and must be taken
  // on two threads: decoding waits while either queue is full.
  std::optional<DecodedFrame> next(AVMediaType type);
  // Drops the frames queued, releases the threads waiting in next() and waits for the
  // decoding thread to end: nothing more is taken. Called by the thread that started it.
  void stop();

  // After stop(): throws what failed on the decoding thread, if anything did.
  void rethrowFailure() const;
  // After stop(): how many packets the decoders refused, and the time (seconds from the
  // source's start) where the last video frame ends.
  int skippedPackets() const { return refusedPackets; }
  double videoEnd() const { return lastVideoEnd; }
  // After stop(): the seconds the packets of the chosen stream of `type` (video or audio)
  // cover (what the source holds, whatever its metadata claims), and the seconds its decoded
  // frames cover; 0 for a kind the source has no stream of.
  double packetSeconds(AVMediaType type) const {
    return type == AVMEDIA_TYPE_VIDEO ? video.packets.seconds : audio.packets.seconds;
  }
  double decodedSeconds(AVMediaType type) const {
    return type == AVMEDIA_TYPE_VIDEO ? video.frames.seconds : audio.frames.seconds;
  }
  // After stop(): the latest time a packet of the chosen streams carried, as written in it
  // (seconds, the source's start not taken off): how far the demuxer read.
  double reachedSeconds() const { return latestPacket; }

 private:
  struct StreamClock {
    double next = 0;    // where the next frame is expected to start
    double end = 0;     // the latest end of a frame so far
    double offset = 0;  // added to timestamps after a jump in them
  };
  void run();
  // Demuxes and decodes to the end of the input, a stop or a cancelled queue.
  void decodeAll();
  // Adds `packet` of `stream` to what the stream's packets cover.
  void notePacket(const AVPacket* packet, const SourceStream& stream, StreamCoverage& into);
  // Queues a copy of an audio packet as it is; false when cancelled.
  bool pass(const AVPacket* packet);
  // Sends one packet (nullptr drains) and queues what comes out; false when cancelled. A
  // packet with new parameters first drains the decoder and opens it anew with them.
  bool decode(AVMediaType type, const SourcePacket* packet);
  // Queues what the decoder of `type` has; false when cancelled.
  bool receive(AVMediaType type);

  // What decoding keeps of each kind.
  struct Kind {
    const SourceStream* stream = nullptr;
    CodecContextPtr decoder;
    StreamClock clock;
    StreamCoverage packets;  // what its packets cover
    StreamCoverage frames;   // what its decoded frames cover
  };
  Kind& kind(AVMediaType type) { return type == AVMEDIA_TYPE_VIDEO ? video : audio; }
  FrameQueue& queueFor(AVMediaType type) {
    return type == AVMEDIA_TYPE_VIDEO ? videoQueue : audioQueue;
  }

  SourceFile& source;
  Plan plan;
  Kind video;
  Kind audio;
  // Each about a third of a second at common rates: enough to keep both stages busy, little
  // memory at any frame size.
  FrameQueue videoQueue{8};
  FrameQueue audioQueue{16};
  std::thread thread;
  double startSeconds = 0;
  double nominalFrameSeconds = 0.04;
  int refusedPackets = 0;
  double lastVideoEnd = 0;
  double latestPacket = -1e300;
  FramePtr received;  // the frame the next avcodec_receive_frame fills
  std::exception_ptr failure;
};

}  // namespace vidmora_encoder
