#pragma once
#include <optional>
#include <string>
#include <vector>

#include "encoder/FfmpegPointers.h"
#include "encoder/FlvTags.h"
#include "encoder/SourceInput.h"
#include "encoder/SourceReader.h"
// An opened source: its container read far enough to know the streams, and the video and
// audio stream the encoder uses (of each kind, the one with a decoder that carries the most).
// An FLV file's tags are looked at first, for where its media starts and ends and whether its
// PreviousTagSize fields can be gone by.

namespace vidmora_encoder {

class SourceFile {
 public:
  // Opens and examines `path`; throws EncoderError when it cannot be read or is not media,
  // StoppedEarly at a stop.
  explicit SourceFile(const std::string& path);
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  AVFormatContext* context() const { return inputContext.get(); }
  const std::string& path() const { return input.path(); }
  // The file as opened: its size, whether it changed since, the bytes read.
  const SourceInput& file() const { return input; }
  // The chosen streams, or nullptr when the source has none of that kind.
  AVStream* videoStream() const { return video; }
  AVStream* audioStream() const { return audio; }

  // The duration the container itself states (in AV_TIME_BASE units), or 0 when it states
  // none: a guess from the bit rate or the demuxer's own end-of-file peek does not count.
  int64_t statedDuration() const;

  // The container's start time in AV_TIME_BASE units, 0 when unknown.
  int64_t startTime() const;

  struct Span {
    int64_t start = 0;     // AV_TIME_BASE units
    int64_t duration = 0;  // AV_TIME_BASE units
  };
  // Where an FLV file's audio and video start and end by their tags' timestamps, whatever its
  // metadata says; nothing for other files, or without such tags.
  std::optional<Span> mediaSpan() const;
  // Another reading of the file from its start, with a demuxer of its own opened as this
  // one was: for a pass over it, or a worker that decodes a stretch of it. The file must
  // outlive it. Throws as the constructor does.
  struct Reading {
    std::unique_ptr<SourceReader> reader;
    InputContextPtr context;  // reads through `reader`
  };
  Reading openReading();

  // The time (seconds, as the timestamps say) from which an FLV file's last tags run, when it
  // is known: a demuxer that read to the end has seen a packet at or after it.
  std::optional<double> lastTagsFrom() const;

 private:
  // Opens a demuxer reading this file from its start; throws as the constructor does.
  InputContextPtr openDemuxer(const SourceReader& reader) const;
  // The bytes of each stream's packets over the whole file (demuxing only).
  std::vector<int64_t> bytesPerStream();

  SourceInput input;
  std::optional<FlvLayout> layout;
  SourceReader reader;  // outlives inputContext, which reads through it
  InputContextPtr inputContext;
  AVStream* video = nullptr;
  AVStream* audio = nullptr;
};

}  // namespace vidmora_encoder
