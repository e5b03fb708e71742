#include "encoder/SourceSurvey.h"

#include <algorithm>
#include <cmath>

#include "encoder/StopSignal.h"
#include "encoder/StreamCoverage.h"

namespace vidmora_encoder {

namespace {

// The most the sound may be away from where the frame before it ends (seconds): the encoding
// path fills a longer gap with silence, which a copy cannot.
constexpr double kAudioGapSeconds = 0.1;

struct VideoWatch {
  const SourceStream* stream;
  double longestGap;
  bool steady = true;
  int64_t lastDecode = AV_NOPTS_VALUE;
  double lastKey = -1e300;
  double last = 0;  // the latest time, seconds as written

  void add(const SourcePacket& from, std::vector<SourceSurvey::KeyFrame>& keys) {
    const AVPacket* packet = from.packet.get();
    // A stretch decoded from a key frame after a change of the parameters would be decoded
    // with the first ones.
    if (from.newParameters != nullptr) steady = false;
    const int64_t decode = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (decode == AV_NOPTS_VALUE || packet->pts == AV_NOPTS_VALUE) {
      steady = false;
      return;
    }
    const double base = av_q2d(stream->timeBase);
    if (lastDecode != AV_NOPTS_VALUE &&
        (decode < lastDecode || (decode - lastDecode) * base > kTimestampJumpSeconds))
      steady = false;
    lastDecode = decode;
    last = std::max(last, packet->pts * base);
    if ((packet->flags & AV_PKT_FLAG_KEY) == 0) return;
    if (!keys.empty() && decode * base - lastKey > longestGap) steady = false;
    lastKey = decode * base;
    keys.push_back({packet->pos, decode});
  }
};

struct AudioWatch {
  const SourceStream* stream = nullptr;
  double start = 0;  // the source's start, seconds
  bool whole = true;
  bool constantRate = true;
  Mp3Header first;
  double expected = -1;  // where the next frame should start, seconds

  void add(const AVPacket* packet) {
    if (!whole) return;
    const Mp3Header header = packet->size >= 4 ? parseMp3Header(packet->data) : Mp3Header{};
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (header.frameBytes != packet->size || time == AV_NOPTS_VALUE) {
      whole = false;
      return;
    }
    const double at = time * av_q2d(stream->timeBase) - start;
    if (expected < 0) {
      first = header;
      expected = 0;
    }
    if (header.sampleRate != first.sampleRate || header.channels != first.channels ||
        std::fabs(at - expected) > kAudioGapSeconds) {
      whole = false;
      return;
    }
    constantRate = constantRate && header.kbps == first.kbps;
    expected = at + static_cast<double>(header.samples) / header.sampleRate;
  }
};

}  // namespace

Mp3Header parseMp3Header(const uint8_t* bytes) {
  static const int kMpeg1Kbps[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
  static const int kMpeg2Kbps[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
  static const int kMpeg1Rates[4] = {44100, 48000, 32000, 0};
  if (bytes[0] != 0xff || (bytes[1] & 0xe0) != 0xe0) return {};
  const int version = (bytes[1] >> 3) & 3;  // 0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1
  const int layer = (bytes[1] >> 1) & 3;    // 1: layer III
  const int rateIndex = (bytes[2] >> 2) & 3;
  const bool mpeg1 = version == 3;
  const int kbps = (mpeg1 ? kMpeg1Kbps : kMpeg2Kbps)[bytes[2] >> 4];
  if (version == 1 || layer != 1 || kbps == 0 || rateIndex == 3) return {};
  Mp3Header header;
  header.sampleRate = kMpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  header.channels = (bytes[3] >> 6) == 3 ? 1 : 2;
  header.samples = mpeg1 ? 1152 : 576;
  header.kbps = kbps;
  const int padding = (bytes[2] >> 1) & 1;
  header.frameBytes = (mpeg1 ? 144000 : 72000) * kbps / header.sampleRate + padding;
  return header;
}

SourceSurvey surveySource(SourceFile& source, bool video, bool mp3, double longestKeyFrameGap) {
  SourceSurvey survey;
  const SourceStream* videoStream = video ? source.videoStream() : nullptr;
  const SourceStream* audioStream = mp3 ? source.audioStream() : nullptr;
  VideoWatch videoWatch{videoStream, longestKeyFrameGap};
  const double start = static_cast<double>(source.startTime()) / AV_TIME_BASE;
  AudioWatch audioWatch;
  audioWatch.stream = audioStream;
  audioWatch.start = start;
  const auto reading = source.openReading();
  SourcePacket packet;
  while (reading->read(packet)) {
    if (videoStream != nullptr && packet.stream == videoStream->index)
      videoWatch.add(packet, survey.videoKeyFrames);
    else if (audioStream != nullptr && packet.stream == audioStream->index)
      audioWatch.add(packet.packet.get());
    av_packet_unref(packet.packet.get());
  }
  if (stopRequested()) throw StoppedEarly();
  survey.videoSeekable = videoStream != nullptr && videoWatch.steady && !survey.videoKeyFrames.empty();
  survey.videoLast = videoWatch.last - start;
  survey.audioCopyable = audioStream != nullptr && audioWatch.whole && audioWatch.expected > 0;
  if (survey.audioCopyable && audioWatch.constantRate) survey.audioKbps = audioWatch.first.kbps;
  return survey;
}

}  // namespace vidmora_encoder
