#include "encoder/SourceFile.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "encoder/EncoderError.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

namespace {

// Lets a stop interrupt a read that is under way.
int interruptOnStop(void*) { return stopRequested() ? 1 : 0; }

std::vector<AVStream*> decodableStreams(AVFormatContext* context, AVMediaType type) {
  std::vector<AVStream*> streams;
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    AVStream* stream = context->streams[i];
    if (stream->codecpar->codec_type == type &&
        avcodec_find_decoder(stream->codecpar->codec_id) != nullptr)
      streams.push_back(stream);
  }
  return streams;
}

// The stream of `candidates` that carries the most bytes (the first of equals).
AVStream* carryingMost(const std::vector<AVStream*>& candidates,
                       const std::vector<int64_t>& bytes) {
  AVStream* best = nullptr;
  int64_t bestBytes = -1;
  for (AVStream* stream : candidates) {
    const auto index = static_cast<std::size_t>(stream->index);
    const int64_t carried = index < bytes.size() ? bytes[index] : 0;
    if (carried > bestBytes) {
      best = stream;
      bestBytes = carried;
    }
  }
  return best;
}

}  // namespace

SourceFile::SourceFile(const std::string& path)
    : input(path),
      layout(examineFlvTags(input)),
      reader(input),
      inputContext(openDemuxer(reader)) {
  const auto videos = decodableStreams(inputContext.get(), AVMEDIA_TYPE_VIDEO);
  const auto audios = decodableStreams(inputContext.get(), AVMEDIA_TYPE_AUDIO);
  // A damaged or spliced file can show a stream of a kind more than once, each with a codec
  // of its own; the content is in the one that carries the most.
  std::vector<int64_t> bytes;
  if (videos.size() > 1 || audios.size() > 1) bytes = bytesPerStream();
  video = carryingMost(videos, bytes);
  audio = carryingMost(audios, bytes);
}

InputContextPtr SourceFile::openDemuxer(const SourceReader& from) const {
  const std::string& path = input.path();
  AVFormatContext* context = avformat_alloc_context();
  if (context == nullptr) throw EncoderError("out of memory");
  context->interrupt_callback = {interruptOnStop, nullptr};
  context->pb = from.io();
  context->flags |= AVFMT_FLAG_CUSTOM_IO;
  AVDictionary* options = nullptr;
  // Keeps every onMetaData entry, so statedDuration can tell a stated duration from the
  // demuxer's peek at the last tag.
  av_dict_set(&options, "flv_full_metadata", "1", 0);
  // Some writers get every PreviousTagSize field wrong; the demuxer, which checks them, would
  // give up on the whole file.
  if (layout && layout->tagSizesWrong) av_dict_set(&options, "flv_ignore_prevtag", "1", 0);
  int result = avformat_open_input(&context, path.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (result == AVERROR_EXIT && stopRequested()) throw StoppedEarly();
  if (result < 0)
    throw EncoderError(path + " is not a video file the encoder can read (" +
                       errorText(result) + ")");
  InputContextPtr opened(context);
  result = avformat_find_stream_info(context, nullptr);
  if (result == AVERROR_EXIT && stopRequested()) throw StoppedEarly();
  if (result < 0)
    throw EncoderError(path + " is not a video file the encoder can read (" +
                       errorText(result) + ")");
  return opened;
}

SourceFile::Reading SourceFile::openReading() {
  Reading reading;
  reading.reader = std::make_unique<SourceReader>(input);
  reading.context = openDemuxer(*reading.reader);
  return reading;
}

std::vector<int64_t> SourceFile::bytesPerStream() {
  std::vector<int64_t> bytes;
  if (!input.seekable()) return bytes;  // a stream can be read once only
  const Reading second = openReading();
  PacketPtr packet = allocatePacket();
  while (!stopRequested() && av_read_frame(second.context.get(), packet.get()) >= 0) {
    const auto index = static_cast<std::size_t>(packet->stream_index);
    if (index >= bytes.size()) bytes.resize(index + 1);
    bytes[index] += packet->size;
    av_packet_unref(packet.get());
  }
  return bytes;
}

int64_t SourceFile::statedDuration() const {
  const AVFormatContext* context = inputContext.get();
  if (context->duration == AV_NOPTS_VALUE || context->duration <= 0) return 0;
  if (std::strcmp(context->iformat->name, "flv") == 0) {
    const AVDictionaryEntry* stated = av_dict_get(context->metadata, "duration", nullptr, 0);
    if (stated == nullptr || std::strtod(stated->value, nullptr) <= 0) return 0;
    return context->duration;
  }
  if (context->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) return 0;
  return context->duration;
}

int64_t SourceFile::startTime() const {
  const int64_t start = inputContext->start_time;
  return start == AV_NOPTS_VALUE ? 0 : start;
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
