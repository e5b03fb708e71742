#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "encoder/ContainerDemuxer.h"
#include "encoder/Demuxer.h"
#include "encoder/SourceInput.h"
#include "encoder/flv/FlvContent.h"
#include "encoder/flv/FlvLayout.h"
// An opened source: what streams it holds, and the video and audio stream the encoder uses
// (of each kind, the one that carries the most). An FLV file, classic or enhanced, is read by
// the encoder's own reader, which looks at its first and last tags for where its media starts
// and ends; a source in another container by libavformat's demuxers.

namespace vidmora_encoder {

class SourceFile {
 public:
  // Opens and examines `path`; throws EncoderError when it cannot be read or is not media,
  // StoppedEarly at a stop.
  explicit SourceFile(const std::string& path);
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  const std::string& path() const { return input.path(); }
  // The file as opened: its size, whether it changed since, the bytes read.
  const SourceInput& file() const { return input; }
  // "flv", or the name libavformat gives another container.
  const char* formatName() const;

  const std::vector<SourceStream>& streams() const;
  // The chosen streams, or nullptr when the source has none of that kind the encoder can
  // decode.
  const SourceStream* videoStream() const { return video; }
  const SourceStream* audioStream() const { return audio; }
  // The stream of `type` that holds the source's content of that kind but which the encoder
  // cannot decode (an unknown codec); nullptr when there is none.
  const SourceStream* undecodableStream(AVMediaType type) const;
  // "the video in SRC is 'xyz1' in an enhanced FLV, which this encoder cannot convert", for the
  // first kind whose content is in such a stream; nothing when there is none.
  std::optional<std::string> undecodableContent() const;

  // The duration the container itself states (in AV_TIME_BASE units), or 0 when it states
  // none: a guess from the bit rate does not count.
  int64_t statedDuration() const;
  // The source's start time in AV_TIME_BASE units, 0 when unknown.
  int64_t startTime() const;

  struct Span {
    int64_t start = 0;     // AV_TIME_BASE units
    int64_t duration = 0;  // AV_TIME_BASE units
  };
  // Where an FLV file's audio and video start and end by their tags' timestamps (restarts and
  // jumps taken out), whatever its metadata says; nothing for other files, or without such
  // tags.
  std::optional<Span> mediaSpan() const;
  // The time (seconds, as the timestamps say) from which an FLV file's last tags run, when it
  // is known: a reading that went to the end has seen a packet at or after it.
  std::optional<double> lastTagsFrom() const;

  // The reading from the source's start that the conversion's decoder goes through.
  Demuxer& reading() { return *first; }
  // Another reading from its start, for a pass over it or a worker that decodes a stretch of
  // it. The file must outlive it. Throws as the constructor does.
  std::unique_ptr<Demuxer> openReading();

 private:
  // The bytes of each stream's packets over the whole file (demuxing only).
  std::vector<int64_t> bytesPerStream();
  // Of the streams of `type`, the one that carries the most (the first of equals).
  const SourceStream* carryingMost(AVMediaType type, const std::vector<int64_t>& bytes) const;

  SourceInput input;
  std::optional<flv::FlvLayout> layout;
  std::optional<flv::FlvContent> flvContent;
  std::vector<SourceStream> containerStreams;
  std::unique_ptr<Demuxer> first;
  ContainerDemuxer* container = nullptr;  // the first reading, when it is libavformat's
  const SourceStream* video = nullptr;
  const SourceStream* audio = nullptr;
  const SourceStream* undecodableVideo = nullptr;
  const SourceStream* undecodableAudio = nullptr;
};

}  // namespace vidmora_encoder
