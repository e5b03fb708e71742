#pragma once
#include <string>
// What the FFmpeg libraries read back from a media file, for checking an encoder's output.

namespace encoder_test {

struct MediaFacts {
  bool opened = false;
  std::string container;  // demuxer name: "avi", "mpeg", "asf", "flv"
  std::string videoCodec;  // empty when there is no video stream
  int width = 0;
  int height = 0;
  double frameRate = 0;  // the video stream's average (or real) frame rate
  int videoPackets = 0;
  double videoKbps = 0;  // video payload over the video's time span
  double videoSeconds = 0;  // from the first video packet to the end of the last one
  std::string audioCodec;  // empty when there is no audio stream
  int sampleRate = 0;
  double audioSeconds = 0;
  double duration = 0;  // container duration, seconds
};

// Opens `path` and reads every packet; `opened` false when it cannot be read.
MediaFacts readMediaFacts(const std::string& path);

// What a source holds by a reading of its packets alone (no decoding), to judge what a
// conversion made of it.
struct SourceFacts {
  // The seconds the packets of its video cover (the stream with a decoder that carries the
  // most bytes): the time between timestamps neighbouring in time order, where they lie at
  // most a second apart. A damaged or stray timestamp far off adds nothing.
  double videoSeconds = 0;
};

// All zero when `path` cannot be read.
SourceFacts readSourceFacts(const std::string& path);

}  // namespace encoder_test
