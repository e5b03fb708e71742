#include "encoder/ContainerDemuxer.h"

#include "encoder/EncoderError.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

namespace {

// Lets a stop interrupt a read that is under way.
int interruptOnStop(void*) { return stopRequested() ? 1 : 0; }

void throwIfUnreadable(int result, const std::string& path) {
  if (result == AVERROR_EXIT && stopRequested()) throw StoppedEarly();
  if (result < 0)
    throw EncoderError(path + " is not a video file the encoder can read (" + errorText(result) + ")");
}

}  // namespace

ContainerDemuxer::ContainerDemuxer(SourceInput& input) : reader(input) {
  AVFormatContext* opened = avformat_alloc_context();
  if (opened == nullptr) throw EncoderError("out of memory");
  opened->interrupt_callback = {interruptOnStop, nullptr};
  opened->pb = reader.io();
  opened->flags |= AVFMT_FLAG_CUSTOM_IO;
  // On failure the context is freed by the call.
  throwIfUnreadable(avformat_open_input(&opened, input.path().c_str(), nullptr, nullptr), input.path());
  context.reset(opened);
  throwIfUnreadable(avformat_find_stream_info(opened, nullptr), input.path());
}

bool ContainerDemuxer::read(SourcePacket& into) {
  if (stopRequested() || av_read_frame(context.get(), into.packet.get()) < 0) return false;
  into.stream = into.packet->stream_index;
  into.newParameters = nullptr;
  return true;
}

void ContainerDemuxer::seek(int64_t position) {
  throwIfFailed(av_seek_frame(context.get(), -1, position, AVSEEK_FLAG_BYTE),
                "cannot read the source at byte " + std::to_string(position));
}

std::vector<SourceStream> ContainerDemuxer::streams() const {
  std::vector<SourceStream> streams;
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    AVStream* from = context->streams[i];
    SourceStream stream;
    stream.index = static_cast<int>(i);
    stream.type = from->codecpar->codec_type;
    throwIfFailed(avcodec_parameters_copy(stream.parameters.get(), from->codecpar), "out of memory");
    stream.timeBase = from->time_base;
    stream.frameRate = from->avg_frame_rate.num > 0 ? from->avg_frame_rate
                                                   : av_guess_frame_rate(context.get(), from, nullptr);
    stream.codecText = avcodec_get_name(from->codecpar->codec_id);
    stream.decodable = avcodec_find_decoder(from->codecpar->codec_id) != nullptr;
    streams.push_back(std::move(stream));
  }
  return streams;
}

int64_t ContainerDemuxer::statedDuration() const {
  if (context->duration == AV_NOPTS_VALUE || context->duration <= 0 ||
      context->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
    return 0;
  return context->duration;
}

int64_t ContainerDemuxer::startTime() const {
  return context->start_time == AV_NOPTS_VALUE ? 0 : context->start_time;
}

}  // namespace vidmora_encoder
