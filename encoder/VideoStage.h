#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "encoder/ConversionProfile.h"
#include "encoder/FfmpegPointers.h"
#include "encoder/FrameQueue.h"
#include "encoder/OutputFile.h"
// The video path of a conversion: decoded frames in, at constant output rate (frames repeated
// or dropped by their timestamps), scaled to the output size and encoded into the output.
// Either the whole video, or a stretch of it: its own encoder, starting with a key frame,
// for the output frames of a window, after a few frames before it that only warm the
// encoder's rate control up and are left out.

namespace vidmora_encoder {

struct VideoOutput {
  FrameSize size;
  AVRational frameRate{25, 1};
  std::optional<int> kbps;  // nothing: constant quantizer of the profile
  bool globalHeader = false;  // the container wants the codec's headers in its own
};

// Output frames [first, end) of the video, of which those before `kept` are left out.
struct VideoWindow {
  int64_t first = 0;
  int64_t kept = 0;
  int64_t end = INT64_MAX;
};

class VideoStage {
 public:
  // Takes an encoded packet, timed in output frames from the video's start.
  using PacketTaker = std::function<void(AVPacket*)>;

  // The whole video: opens the profile's video encoder (rate snapped to what it allows) and
  // adds its stream to `into`; throws EncoderError when the encoder refuses the settings.
  VideoStage(const ConversionProfile& profile, const VideoOutput& settings, OutputFile& into);
  // A stretch: the same encoder for `window`, its packets to `taker`.
  VideoStage(const ConversionProfile& profile, const VideoOutput& settings, VideoWindow window,
             PacketTaker taker);

  // Takes the next decoded frame; earlier frames are encoded as the timeline reaches them,
  // up to the window's end.
  void add(DecodedFrame frame);
  // Whether the window's last frame was encoded.
  bool done() const { return next >= window.end; }
  // Encodes the last frame up to `endSeconds` (at least once) within the window, and drains
  // the encoder; at a stop, nothing.
  void finish(double endSeconds);

  // Adds a stream for what this encoder produces to `into`.
  AVStream* addStreamTo(OutputFile& into) const { return into.addStream(encoder.get()); }
  // Progress figures, also for another thread while this one encodes.
  int64_t frames() const { return next; }
  double seconds() const { return next * av_q2d(av_inv_q(encoder->framerate)); }
  float quality() const { return lastQuality; }
  AVRational frameRate() const { return encoder->framerate; }
  AVRational timeBase() const { return encoder->time_base; }

 private:
  void openEncoder(const ConversionProfile& profile, const VideoOutput& settings);
  // The held frame at output size and pixel format, made once per held frame.
  AVFrame* heldPicture();
  void encode(AVFrame* picture);

  VideoWindow window;
  PacketTaker taker;
  CodecContextPtr encoder;
  ScalerPtr scaler;
  FramePtr held;       // the decoded frame shown from its start until the next one starts
  FramePtr converted;  // held scaled, or nullptr until needed
  std::atomic<int64_t> next{0};  // index of the next output frame (from the video's start)
  std::atomic<float> lastQuality{0};
  PacketPtr packet;
};

}  // namespace vidmora_encoder
