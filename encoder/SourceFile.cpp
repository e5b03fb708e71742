#include "encoder/SourceFile.h"

#include "encoder/EncoderError.h"
#include "encoder/StopSignal.h"
#include "encoder/flv/FlvDemuxer.h"

namespace vidmora_encoder {

namespace {

// Read ahead per block by a reading of an FLV file.
constexpr std::size_t kWindowBytes = 256 << 10;

// Where the first tag of an FLV file is, by its header; nothing when the source does not start
// as an FLV file. A stream's first bytes stay in `window`.
std::optional<int64_t> firstTagOf(flv::InputWindow& window) {
  const uint8_t* bytes = window.at(0, flv::kFileHeaderBytes);
  if (bytes == nullptr) return std::nullopt;
  const auto header = flv::readFileHeader(bytes, static_cast<std::size_t>(window.available(0)));
  if (!header) return std::nullopt;
  return int64_t{header->dataOffset} + flv::kFieldBytes;
}

}  // namespace

SourceFile::SourceFile(const std::string& path) : input(path) {
  auto window = std::make_unique<flv::InputWindow>(input, kWindowBytes);
  if (const auto firstTag = firstTagOf(*window)) {
    layout = flv::examineFlvTags(input);
    flvContent = flv::discoverFlvContent(*window, *firstTag, layout && layout->tagSizesWrong);
    if (!flvContent->anyTag)
      throw EncoderError(path + " is not a video file the encoder can read (it holds no tags)");
    first = std::make_unique<flv::FlvDemuxer>(std::move(window), *flvContent);
  } else {
    if (!input.seekable())
      throw EncoderError(path + " is not a video file the encoder can read (not an FLV stream)");
    auto reading = std::make_unique<ContainerDemuxer>(input);
    container = reading.get();
    containerStreams = reading->streams();
    first = std::move(reading);
  }
  // A damaged or spliced file can show a stream of a kind more than once, each with a codec
  // of its own; the content is in the one that carries the most.
  std::vector<int64_t> bytes;
  int videos = 0, audios = 0;
  for (const SourceStream& stream : streams()) {
    videos += stream.type == AVMEDIA_TYPE_VIDEO;
    audios += stream.type == AVMEDIA_TYPE_AUDIO;
  }
  if (videos > 1 || audios > 1) bytes = bytesPerStream();
  for (const auto& [type, chosen, undecodable] :
       {std::tuple{AVMEDIA_TYPE_VIDEO, &video, &undecodableVideo},
        std::tuple{AVMEDIA_TYPE_AUDIO, &audio, &undecodableAudio}}) {
    const SourceStream* most = carryingMost(type, bytes);
    if (most == nullptr) continue;
    (most->decodable ? *chosen : *undecodable) = most;
  }
}

SourceFile::~SourceFile() = default;

const char* SourceFile::formatName() const { return container ? container->formatName() : "flv"; }

const std::vector<SourceStream>& SourceFile::streams() const {
  return flvContent ? flvContent->streams : containerStreams;
}

const SourceStream* SourceFile::undecodableStream(AVMediaType type) const {
  return type == AVMEDIA_TYPE_VIDEO ? undecodableVideo : undecodableAudio;
}

std::optional<std::string> SourceFile::undecodableContent() const {
  for (const auto& [stream, kind] : {std::pair{undecodableVideo, "video"}, std::pair{undecodableAudio, "audio"}})
    if (stream != nullptr)
      return std::string("the ") + kind + " in " + path() + " is " + stream->codecText +
             ", which this encoder cannot convert";
  return std::nullopt;
}

std::unique_ptr<Demuxer> SourceFile::openReading() {
  if (flvContent)
    return std::make_unique<flv::FlvDemuxer>(std::make_unique<flv::InputWindow>(input, kWindowBytes),
                                             *flvContent);
  return std::make_unique<ContainerDemuxer>(input);
}

std::vector<int64_t> SourceFile::bytesPerStream() {
  std::vector<int64_t> bytes(streams().size());
  if (!input.seekable()) return bytes;  // a stream can be read once only
  const auto second = openReading();
  SourcePacket packet;
  while (second->read(packet)) {
    const auto index = static_cast<std::size_t>(packet.stream);
    if (index < bytes.size()) bytes[index] += packet.packet->size;
    av_packet_unref(packet.packet.get());
  }
  if (stopRequested()) throw StoppedEarly();
  return bytes;
}

const SourceStream* SourceFile::carryingMost(AVMediaType type, const std::vector<int64_t>& bytes) const {
  const SourceStream* best = nullptr;
  int64_t bestBytes = -1;
  for (const SourceStream& stream : streams()) {
    if (stream.type != type) continue;
    const auto index = static_cast<std::size_t>(stream.index);
    const int64_t carried = index < bytes.size() ? bytes[index] : 0;
    // Of equals, one the encoder can decode.
    if (carried > bestBytes || (carried == bestBytes && !best->decodable && stream.decodable)) {
      best = &stream;
      bestBytes = carried;
    }
  }
  return best;
}

int64_t SourceFile::statedDuration() const {
  if (container) return container->statedDuration();
  const double stated = flvContent->metadata ? flvContent->metadata->duration.value_or(0) : 0;
  return stated > 0 && stated < 1e9 ? static_cast<int64_t>(stated * AV_TIME_BASE) : 0;
}

int64_t SourceFile::startTime() const {
  if (container) return container->startTime();
  return flvContent->startMs.value_or(0) * (AV_TIME_BASE / 1000);
}

std::optional<SourceFile::Span> SourceFile::mediaSpan() const {
  if (!layout || !layout->startMs || !layout->endMs) return std::nullopt;
  const int64_t start = *layout->startMs * (AV_TIME_BASE / 1000);
  const int64_t end = *layout->endMs * (AV_TIME_BASE / 1000);
  return Span{start, std::max<int64_t>(0, end - start)};
}

std::optional<double> SourceFile::lastTagsFrom() const {
  if (!layout || !layout->lastTagsFromMs) return std::nullopt;
  return *layout->lastTagsFromMs / 1000.0;
}

}  // namespace vidmora_encoder
