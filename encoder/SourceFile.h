#pragma once
#include <string>

#include "encoder/FfmpegPointers.h"
#include "encoder/FlvTagSizeRepair.h"
// An opened source: its container read far enough to know the streams, and the video and
// audio stream the encoder uses (of each kind, the one with a decoder that carries the most).

namespace vidmora_encoder {

class SourceFile {
 public:
  // Opens and examines `path`; throws EncoderError when it cannot be read or is not media.
  explicit SourceFile(const std::string& path);

  AVFormatContext* context() const { return inputContext.get(); }
  const std::string& path() const { return sourcePath; }
  // The chosen streams, or nullptr when the source has none of that kind.
  AVStream* videoStream() const { return video; }
  AVStream* audioStream() const { return audio; }

  // The duration the container itself states (in AV_TIME_BASE units), or 0 when it states
  // none: a guess from the bit rate or the demuxer's own end-of-file peek does not count.
  int64_t statedDuration() const;

  // The container's start time in AV_TIME_BASE units, 0 when unknown.
  int64_t startTime() const;

 private:
  std::string sourcePath;
  std::unique_ptr<FlvTagSizeRepair> repair;  // outlives inputContext, which may read through it
  InputContextPtr inputContext;
  AVStream* video = nullptr;
  AVStream* audio = nullptr;
};

}  // namespace vidmora_encoder
