#include "encoder/DurationScan.h"

#include <algorithm>
#include <vector>

#include "encoder/StopSignal.h"

namespace vidmora_encoder {

namespace {
struct StreamSpan {
  int64_t lastTime = AV_NOPTS_VALUE;  // stream time base
  int64_t lastGap = 0;
};
}  // namespace

std::optional<ScannedSpan> scanPacketSpan(SourceFile& source) {
  AVFormatContext* context = source.context();
  std::vector<StreamSpan> spans(context->nb_streams);
  int64_t earliest = INT64_MAX;
  int64_t latestEnd = INT64_MIN;
  PacketPtr packet = allocatePacket();
  while (!stopRequested() && av_read_frame(context, packet.get()) >= 0) {
    const AVStream* stream = context->streams[packet->stream_index];
    const AVMediaType type = stream->codecpar->codec_type;
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if ((type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) && time != AV_NOPTS_VALUE &&
        static_cast<std::size_t>(packet->stream_index) < spans.size()) {
      StreamSpan& span = spans[packet->stream_index];
      if (span.lastTime != AV_NOPTS_VALUE && time > span.lastTime)
        span.lastGap = time - span.lastTime;
      span.lastTime = std::max(time, span.lastTime == AV_NOPTS_VALUE ? time : span.lastTime);
      const int64_t length = packet->duration > 0 ? packet->duration : span.lastGap;
      const AVRational timeBase = stream->time_base;
      earliest = std::min(earliest, av_rescale_q(time, timeBase, AV_TIME_BASE_Q));
      latestEnd = std::max(latestEnd, av_rescale_q(time + length, timeBase, AV_TIME_BASE_Q));
    }
    av_packet_unref(packet.get());
  }
  if (earliest == INT64_MAX) return std::nullopt;
  return ScannedSpan{earliest, latestEnd - earliest};
}

}  // namespace vidmora_encoder
