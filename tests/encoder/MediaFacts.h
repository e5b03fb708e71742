#pragma once
#include <algorithm>
#include <cstdint>
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
  // The sound's payload bytes, all packets end to end: their count and a hash of them (the
  // same bytes give the same hash however they are cut into packets).
  int64_t audioBytes = 0;
  uint64_t audioHash = 0;
  double audioStart = 0;  // the first sound packet's time, seconds
  double videoStart = 0;  // the first video packet's time, seconds
  double duration = 0;  // container duration, seconds
};

// Opens `path` and reads every packet; `opened` false when it cannot be read.
MediaFacts readMediaFacts(const std::string& path);

// What a source holds by a reading of its packets alone (no decoding), to judge what a
// conversion made of it.
struct SourceFacts {
  // What one demux-only reading finds. Of each kind, the stream with a decoder that carries
  // the most bytes: the seconds its packets cover (the time between timestamps neighbouring in
  // time order, where they lie at most a second apart: a damaged or stray timestamp far off
  // adds nothing); and, of both kinds, the time from the first packet to the last.
  struct Reading {
    double videoSeconds = 0;
    double audioSeconds = 0;
    double span = 0;
  };
  // Read by the PreviousTagSize fields, as a demuxer does by default, and by the tags' own
  // sizes. On a damaged file the two can find very different things.
  Reading byFields, bySizes;
  // The duration the file's metadata states; 0 when it states none.
  double statedSeconds = 0;
  // The video both readings find at least; a reading that finds none (all fields wrong, or a
  // walk thrown off by its first damaged tag) does not count.
  double videoSeconds() const {
    const double a = byFields.videoSeconds, b = bySizes.videoSeconds;
    return a > 0 && b > 0 ? std::min(a, b) : std::max(a, b);
  }
};

// All zero when `path` cannot be read.
SourceFacts readSourceFacts(const std::string& path);

}  // namespace encoder_test
