#pragma once
#include <atomic>
#include <optional>

#include "encoder/ConversionProfile.h"
#include "encoder/FfmpegPointers.h"
#include "encoder/FrameQueue.h"
#include "encoder/OutputFile.h"
// The audio path of a conversion: decoded frames in, resampled to what the profile's audio
// encoder takes, cut into its frame size, timed by a sample counter and encoded into the
// output. A gap in the source's timestamps becomes silence, so audio stays in sync.

namespace vidmora_encoder {

class AudioStage {
 public:
  // Opens the profile's audio encoder for a source decoded by `decoder`, at `kbps` (the
  // profile's default when nothing) snapped to the codec's bit rates; adds its stream to `into`.
  AudioStage(const ConversionProfile& profile, const AVCodecContext* decoder,
             std::optional<int> kbps, OutputFile& into);
  ~AudioStage();
  AudioStage(const AudioStage&) = delete;
  AudioStage& operator=(const AudioStage&) = delete;

  // Takes the next decoded frame.
  void add(const DecodedFrame& frame);
  // Flushes the resampler, encodes the rest (padded with silence to a whole frame where the
  // codec needs it) and drains the encoder.
  void finish();

  // The audio's length so far, also for another thread while this one encodes.
  double seconds() const { return static_cast<double>(queued) / encoder->sample_rate; }

 private:
  // (Re)creates the resampler when the decoded format, rate or channels change.
  void matchResampler(const AVFrame* frame);
  // Resamples `frame` (nullptr flushes) into the FIFO.
  void resample(const AVFrame* frame);
  void queueSilence(int64_t samples);
  // Encodes whole frames while the FIFO holds them (everything left when `last`).
  void encodeQueued(bool last);
  void encode(AVFrame* frame);

  OutputFile& output;
  CodecContextPtr encoder;
  AVStream* stream = nullptr;
  ResamplerPtr resampler;
  AVChannelLayout inputLayout{};
  int inputRate = 0;
  int inputFormat = -1;
  AudioFifoPtr fifo;
  int frameSize = 0;
  std::atomic<int64_t> queued{0};  // samples put into the FIFO so far (silence included)
  int64_t encoded = 0;  // the next frame's pts: priming delay plus samples sent so far
  PacketPtr packet;
};

}  // namespace vidmora_encoder
