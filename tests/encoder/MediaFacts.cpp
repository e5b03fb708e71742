#include "tests/encoder/MediaFacts.h"

#include <cstdlib>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace encoder_test {

MediaFacts readMediaFacts(const std::string& path) {
  MediaFacts facts;
  AVFormatContext* context = nullptr;
  if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return facts;
  if (avformat_find_stream_info(context, nullptr) < 0) {
    avformat_close_input(&context);
    return facts;
  }
  facts.opened = true;
  facts.container = context->iformat->name;
  facts.duration = context->duration > 0 ? context->duration / double(AV_TIME_BASE) : 0;
  const int video = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const int audio = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (video >= 0) {
    const AVStream* stream = context->streams[video];
    facts.videoCodec = avcodec_get_name(stream->codecpar->codec_id);
    facts.width = stream->codecpar->width;
    facts.height = stream->codecpar->height;
    const AVRational rate =
        stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    facts.frameRate = rate.den > 0 ? av_q2d(rate) : 0;
  }
  if (audio >= 0) {
    facts.audioCodec = avcodec_get_name(context->streams[audio]->codecpar->codec_id);
    facts.sampleRate = context->streams[audio]->codecpar->sample_rate;
  }
  int64_t videoBytes = 0;
  double videoFirst = 1e18, videoEnd = 0, audioFirst = 1e18, audioEnd = 0;
  uint64_t hash = 14695981039346656037ull;
  AVPacket* packet = av_packet_alloc();
  while (av_read_frame(context, packet) >= 0) {
    const AVStream* stream = context->streams[packet->stream_index];
    const double base = av_q2d(stream->time_base);
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (time != AV_NOPTS_VALUE) {
      double length = packet->duration * base;
      if (packet->stream_index == video && length <= 0 && facts.frameRate > 0)
        length = 1 / facts.frameRate;
      const double start = time * base;
      if (packet->stream_index == video) {
        videoFirst = std::min(videoFirst, start);
        videoEnd = std::max(videoEnd, start + length);
      } else if (packet->stream_index == audio) {
        audioFirst = std::min(audioFirst, start);
        audioEnd = std::max(audioEnd, start + length);
      }
    }
    if (packet->stream_index == video) {
      ++facts.videoPackets;
      videoBytes += packet->size;
    } else if (packet->stream_index == audio) {
      facts.audioBytes += packet->size;
      for (int i = 0; i < packet->size; ++i)  // FNV-1a
        hash = (hash ^ packet->data[i]) * 1099511628211ull;
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  if (videoEnd > videoFirst) facts.videoSeconds = videoEnd - videoFirst;
  if (audioEnd > audioFirst) facts.audioSeconds = audioEnd - audioFirst;
  facts.audioHash = facts.audioBytes > 0 ? hash : 0;
  facts.audioStart = audioFirst < 1e18 ? audioFirst : 0;
  facts.videoStart = videoFirst < 1e18 ? videoFirst : 0;
  if (facts.videoSeconds > 0) facts.videoKbps = videoBytes * 8 / facts.videoSeconds / 1000;
  avformat_close_input(&context);
  return facts;
}

namespace {

// One demux-only reading; with `byTagSizes`, the tags are walked by their own sizes: a wrong
// PreviousTagSize makes the demuxer search for the next tag instead, and lose every packet of
// a file where all of them are wrong, while a tag cut short throws the walk off for good.
SourceFacts::Reading demuxedFacts(const std::string& path, bool byTagSizes) {
  constexpr double kLargestGapSeconds = 1.0;
  SourceFacts::Reading facts;
  AVFormatContext* context = nullptr;
  AVDictionary* options = nullptr;
  if (byTagSizes) av_dict_set(&options, "flv_ignore_prevtag", "1", 0);
  const int opened = avformat_open_input(&context, path.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) return facts;
  std::map<int, std::vector<double>> times;  // by stream index
  std::map<int, int64_t> bytes;
  double first = 1e300, last = -1e300;
  AVPacket* packet = av_packet_alloc();
  while (av_read_frame(context, packet) >= 0) {
    const AVStream* stream = context->streams[packet->stream_index];
    const AVMediaType type = stream->codecpar->codec_type;
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if ((type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) &&
        avcodec_find_decoder(stream->codecpar->codec_id) != nullptr && time != AV_NOPTS_VALUE) {
      const double seconds = time * av_q2d(stream->time_base);
      times[packet->stream_index].push_back(seconds);
      bytes[packet->stream_index] += packet->size;
      first = std::min(first, seconds);
      last = std::max(last, seconds);
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  // Of each kind, the stream that carries the most.
  auto covered = [&](AVMediaType type) {
    int chosen = -1;
    for (const auto& [index, carried] : bytes)
      if (context->streams[index]->codecpar->codec_type == type &&
          (chosen < 0 || carried > bytes[chosen]))
        chosen = index;
    if (chosen < 0) return 0.0;
    std::vector<double>& stream = times[chosen];
    std::sort(stream.begin(), stream.end());
    double seconds = 0;
    for (std::size_t i = 1; i < stream.size(); ++i) {
      const double gap = stream[i] - stream[i - 1];
      if (gap <= kLargestGapSeconds) seconds += gap;
    }
    return seconds;
  };
  facts.videoSeconds = covered(AVMEDIA_TYPE_VIDEO);
  facts.audioSeconds = covered(AVMEDIA_TYPE_AUDIO);
  facts.span = last > first ? last - first : 0;
  avformat_close_input(&context);
  return facts;
}

double statedDuration(const std::string& path) {
  AVFormatContext* context = nullptr;
  if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return 0;
  const AVDictionaryEntry* stated = av_dict_get(context->metadata, "duration", nullptr, 0);
  const double seconds = stated != nullptr ? std::strtod(stated->value, nullptr) : 0;
  avformat_close_input(&context);
  return seconds;
}

}  // namespace

SourceFacts readSourceFacts(const std::string& path) {
  return {demuxedFacts(path, false), demuxedFacts(path, true), statedDuration(path)};
}

}  // namespace encoder_test
