#pragma once
#include <atomic>
#include <cstdint>

#include "encoder/Demuxer.h"
#include "encoder/FrameQueue.h"
#include "encoder/OutputFile.h"
// The sound of a conversion copied as it is: each of the source's MP3 frames goes into the
// output unchanged, timed by a count of its samples from the start. For a source whose every
// frame is whole and follows the one before without a gap (surveySource says so), this is the
// same sound as the source's, without a second encoding's loss or its processor time.

namespace vidmora_encoder {

class AudioCopy {
 public:
  // Adds a stream with the parameters of the source's `stream` to `into`.
  AudioCopy(const SourceStream& stream, OutputFile& into);

  // Takes the next packet (frame.packet).
  void add(DecodedFrame frame);

  // The sound's length so far, also for another thread while this one copies.
  double seconds() const { return static_cast<double>(samples.load()) / sampleRate; }

 private:
  OutputFile& output;
  AVStream* stream = nullptr;
  int sampleRate;
  int frameSamples;
  std::atomic<int64_t> samples{0};
};

}  // namespace vidmora_encoder
