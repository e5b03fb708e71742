#pragma once
#include <atomic>
#include <optional>

#include "encoder/ConversionProfile.h"
#include "encoder/FfmpegPointers.h"
#include "encoder/FrameQueue.h"
#include "encoder/OutputFile.h"
// The video path of a conversion: decoded frames in, at constant output rate (frames repeated
// or dropped by their timestamps), scaled to the output size and encoded into the output.

namespace vidmora_encoder {

struct VideoOutput {
  FrameSize size;
  AVRational frameRate{25, 1};
  std::optional<int> kbps;  // nothing: constant quantizer of the profile
};

class VideoStage {
 public:
  // Opens the profile's video encoder (rate snapped to what it allows) and adds its stream
  // to `into`; throws EncoderError when the encoder refuses the settings.
  VideoStage(const ConversionProfile& profile, const VideoOutput& settings, OutputFile& into);

  // Takes the next decoded frame; earlier frames are encoded as the timeline reaches them.
  void add(DecodedFrame frame);
  // Encodes the last frame up to `endSeconds` (at least once) and drains the encoder; at a
  // stop, nothing.
  void finish(double endSeconds);

  // Progress figures, also for another thread while this one encodes.
  int64_t frames() const { return next; }
  double seconds() const { return next * av_q2d(av_inv_q(encoder->framerate)); }
  float quality() const { return lastQuality; }
  AVRational frameRate() const { return encoder->framerate; }

 private:
  // The held frame at output size and pixel format, made once per held frame.
  AVFrame* heldPicture();
  void encode(AVFrame* picture);

  OutputFile& output;
  CodecContextPtr encoder;
  AVStream* stream = nullptr;
  ScalerPtr scaler;
  FramePtr held;       // the decoded frame shown from its start until the next one starts
  FramePtr converted;  // held scaled, or nullptr until needed
  std::atomic<int64_t> next{0};  // index of the next output frame
  std::atomic<float> lastQuality{0};
  PacketPtr packet;
};

}  // namespace vidmora_encoder
