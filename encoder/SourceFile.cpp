#include "encoder/SourceFile.h"

#include <cstdlib>
#include <cstring>

#include "encoder/EncoderError.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

namespace {

// Lets a stop interrupt a read that is under way.
int interruptOnStop(void*) { return stopRequested() ? 1 : 0; }

AVStream* bestDecodableStream(AVFormatContext* context, AVMediaType type) {
  const int index = av_find_best_stream(context, type, -1, -1, nullptr, 0);
  if (index < 0) return nullptr;
  AVStream* stream = context->streams[index];
  if (avcodec_find_decoder(stream->codecpar->codec_id) == nullptr) return nullptr;
  return stream;
}

}  // namespace

SourceFile::SourceFile(const std::string& path) : path_(path) {
  AVFormatContext* context = avformat_alloc_context();
  if (context == nullptr) throw EncoderError("out of memory");
  context->interrupt_callback = {interruptOnStop, nullptr};
  repair_ = FlvTagSizeRepair::forFile(path);
  if (repair_) {
    context->pb = repair_->io();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
  }
  AVDictionary* options = nullptr;
  // Keeps every onMetaData entry, so statedDuration can tell a stated duration from the
  // demuxer's peek at the last tag.
  av_dict_set(&options, "flv_full_metadata", "1", 0);
  int result = avformat_open_input(&context, path.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (result < 0) {
    if (result == AVERROR(ENOENT) || result == AVERROR(EACCES) || result == AVERROR(EISDIR))
      throw EncoderError("cannot read " + path + ": " + errorText(result));
    throw EncoderError(path + " is not a video file the encoder can read (" +
                       errorText(result) + ")");
  }
  context_.reset(context);
  result = avformat_find_stream_info(context, nullptr);
  if (result < 0)
    throw EncoderError(path + " is not a video file the encoder can read (" +
                       errorText(result) + ")");
  video_ = bestDecodableStream(context, AVMEDIA_TYPE_VIDEO);
  audio_ = bestDecodableStream(context, AVMEDIA_TYPE_AUDIO);
}

int64_t SourceFile::statedDuration() const {
  const AVFormatContext* context = context_.get();
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
  const int64_t start = context_->start_time;
  return start == AV_NOPTS_VALUE ? 0 : start;
}

}  // namespace vidmora_encoder
