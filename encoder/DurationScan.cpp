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
  const std::vector<SourceStream>& streams = source.streams();
  std::vector<StreamSpan> spans(streams.size());
  int64_t earliest = INT64_MAX;
  int64_t latestEnd = INT64_MIN;
  Demuxer& reading = source.reading();
  SourcePacket packet;
  while (!stopRequested() && reading.read(packet)) {
    const auto index = static_cast<std::size_t>(packet.stream);
    const AVPacket* read = packet.packet.get();
    const int64_t time = read->pts != AV_NOPTS_VALUE ? read->pts : read->dts;
    if (index < spans.size() && time != AV_NOPTS_VALUE &&
        (streams[index].type == AVMEDIA_TYPE_VIDEO || streams[index].type == AVMEDIA_TYPE_AUDIO)) {
      StreamSpan& span = spans[index];
      if (span.lastTime != AV_NOPTS_VALUE && time > span.lastTime)
        span.lastGap = time - span.lastTime;
      span.lastTime = std::max(time, span.lastTime == AV_NOPTS_VALUE ? time : span.lastTime);
      const int64_t length = read->duration > 0 ? read->duration : span.lastGap;
      const AVRational timeBase = streams[index].timeBase;
      earliest = std::min(earliest, av_rescale_q(time, timeBase, AV_TIME_BASE_Q));
      latestEnd = std::max(latestEnd, av_rescale_q(time + length, timeBase, AV_TIME_BASE_Q));
    }
    av_packet_unref(packet.packet.get());
  }
  if (earliest == INT64_MAX) return std::nullopt;
  return ScannedSpan{earliest, latestEnd - earliest};
}

}  // namespace vidmora_encoder
