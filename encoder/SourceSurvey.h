#pragma once
#include <cstdint>
#include <vector>

#include "encoder/SourceFile.h"
// One demux-only pass over a source before it converts, for what only the whole file can
// tell: whether stretches of its video can be decoded on their own, from their key frames,
// and whether its MP3 sound can be copied into the output as it is.

namespace vidmora_encoder {

struct SourceSurvey {
  struct KeyFrame {
    int64_t position = 0;   // byte offset of its packet
    int64_t timestamp = 0;  // decoding time, in the stream's time base
  };
  // The video's key frames, in order.
  std::vector<KeyFrame> videoKeyFrames;
  // The video's times run on without a jump and without a gap between key frames longer
  // than `longestKeyFrameGap`: every stretch of it can be decoded from a key frame shortly
  // before it, and is timed as it would be decoded from the start.
  bool videoSeekable = false;
  // The time of the video's last packet, seconds from the source's start.
  double videoLast = 0;
  // Every packet of the sound is one whole MP3 frame, all at one sample rate and channel
  // count, each following the one before without a gap, the first at the source's start.
  bool audioCopyable = false;
  // The bit rate of every frame of that sound, kbit/s; 0 when it varies.
  int audioKbps = 0;
};

// What to look at: `video` for seekability, `mp3` for copyable sound. Reads the source to its
// end on a reader of its own; throws StoppedEarly at a stop.
SourceSurvey surveySource(SourceFile& source, bool video, bool mp3, double longestKeyFrameGap);

// The length in bytes of the MP3 frame whose header starts `bytes` (at least 4 of them), and
// its sample rate and channel count; 0 when they are no header of an MPEG audio layer III
// frame.
struct Mp3Header {
  int frameBytes = 0;
  int sampleRate = 0;
  int channels = 0;
  int samples = 0;  // per frame
  int kbps = 0;
};
Mp3Header parseMp3Header(const uint8_t* bytes);

}  // namespace vidmora_encoder
