#pragma once
#include <algorithm>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "encoder/FfmpegPointers.h"
#include "encoder/FrameQueue.h"
#include "encoder/SourceFile.h"
// Demuxes the source and decodes its chosen video and audio streams on a thread of its own,
// handing every frame, timed from the source's start, to a FrameQueue. Damaged packets are
// skipped; a read error ends the input as if the file ended there; a timestamp that jumps
// by seconds (damaged, or a spliced recording) is taken as continuing where the stream was.
// A failure on the thread ends the input and is thrown to the thread that takes the frames.

namespace vidmora_encoder {

class SourceDecoder {
 public:
  // Opens a decoder for each chosen stream; throws EncoderError when one cannot be opened.
  explicit SourceDecoder(SourceFile& source);
  // Stops the thread and waits for it.
  ~SourceDecoder();
  SourceDecoder(const SourceDecoder&) = delete;
  SourceDecoder& operator=(const SourceDecoder&) = delete;

  // The opened decoders, or nullptr when the source has no stream of that kind.
  AVCodecContext* videoDecoder() const { return video_.get(); }
  AVCodecContext* audioDecoder() const { return audio_.get(); }

  // Starts the decoding thread.
  void start();
  // The next decoded frame, in decoding order; nothing once the input has ended (at its end,
  // at a read error, or at a stop request) and every frame was taken. Throws what failed on
  // the decoding thread.
  std::optional<DecodedFrame> next();
  // Drops the frames queued and ends the decoding thread: at a stop nothing more is taken.
  void stop();

  // After next() gave nothing: how many packets the decoders refused, and the time (seconds
  // from the source's start) where the last video frame ends.
  int skippedPackets() const { return skippedPackets_; }
  double videoEnd() const { return videoEnd_; }
  // After next() gave nothing: the seconds the packets of the source's longest audio or video
  // stream cover (what the source holds, whatever its metadata claims), and the seconds the
  // decoded frames of the chosen streams cover.
  double packetSeconds() const;
  double decodedSeconds() const { return std::max(videoFrames_.seconds, audioFrames_.seconds); }

 private:
  struct StreamClock {
    double next = 0;    // where the next frame is expected to start
    double end = 0;     // the latest end of a frame so far
    double offset = 0;  // added to timestamps after a jump in them
  };
  // The time a stream's packets or frames cover: each adds what it reaches past the ones
  // before; one that jumps away by seconds adds only its own length.
  struct Coverage {
    double seconds = 0;
    double end = -1e300;
    void add(double start, double length);
  };
  void run();
  // Demuxes and decodes to the end of the input, a stop or a cancelled queue.
  void decodeAll();
  // Adds a packet of any audio or video stream to what its stream covers.
  void notePacket(const AVPacket* packet);
  // Sends one packet (nullptr drains) and queues what comes out; false when cancelled.
  bool decode(AVCodecContext* decoder, AVStream* stream, const AVPacket* packet,
              StreamClock& clock, Coverage& frames);

  SourceFile& source_;
  CodecContextPtr video_;
  CodecContextPtr audio_;
  FrameQueue queue_{32};
  std::thread thread_;
  double startSeconds_ = 0;
  double nominalFrameSeconds_ = 0.04;
  int skippedPackets_ = 0;
  double videoEnd_ = 0;
  std::vector<Coverage> packets_;  // by stream index
  Coverage videoFrames_, audioFrames_;
  std::exception_ptr failure_;
};

}  // namespace vidmora_encoder
