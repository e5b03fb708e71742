#include "encoder/ConversionProfile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "encoder/contract/EncoderContract.h"

namespace ec = encoder_contract;

namespace vidmora_encoder {

namespace {
const std::vector<int> kMp3Kbps = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
const std::vector<int> kMp2Kbps = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};

// The frame rates MPEG-1 and MPEG-2 video define.
const std::vector<AVRational> kMpegRates = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001},
                                            {30, 1},       {50, 1}, {60000, 1001}, {60, 1}};

// LAME's algorithm quality 3: its own default (for GStreamer's "standard" too), pinned here.
constexpr int kLameQuality = 3;
constexpr int kNone = FF_COMPRESSION_DEFAULT;

// MPEG-1's sequence header has 12 bits for each side. MPEG-2 has 14, and msmpeg4v2 and wmv2
// pictures carry no size at all (AVI and ASF store 32 bits): the general bound holds there.
constexpr int kMpeg1MaxSide = 4095;

const std::vector<ConversionProfile> kProfiles = {
    {ec::kCodecAvi, "avi", "msmpeg4v2", "libmp3lame", kMp3Kbps, 128, 3, {}, 0, 10.0, kLameQuality,
     kMaxFrameSide, AV_CODEC_ID_MP3, true},
    {ec::kCodecMpeg1, "mpeg", "mpeg1video", "mp2", kMp2Kbps, 192, 3, kMpegRates, 2, 0.5, kNone,
     kMpeg1MaxSide, AV_CODEC_ID_NONE, false},
    {ec::kCodecMpeg2, "vob", "mpeg2video", "mp2", kMp2Kbps, 192, 3, kMpegRates, 2, 0.5, kNone,
     kMaxFrameSide, AV_CODEC_ID_NONE, false},
    {ec::kCodecWmv, "asf", "wmv2", "wmav2", {}, 128, 3, {}, 0, 10.0, kNone, kMaxFrameSide,
     AV_CODEC_ID_NONE, true},
};
}  // namespace

const ConversionProfile& ConversionProfile::forCodec(const std::string& codec) {
  for (const auto& profile : kProfiles)
    if (profile.codec == codec) return profile;
  throw std::logic_error("no profile for codec " + codec);
}

FrameSize roundFrameSize(FrameSize size) {
  auto even = [](int side) { return side < 2 ? 2 : side & ~1; };
  return {even(size.width), even(size.height)};
}

AVRational parseFrameRate(const std::string& text) {
  const double value = std::strtod(text.c_str(), nullptr);
  // The NTSC family: 23.97 (or 23.976), 29.97, 59.94 are N*1000/1001.
  const double whole = std::round(value * 1.001);
  if (std::fabs(value - whole / 1.001) < 0.01 && std::fabs(value - whole) > 0.01)
    return {static_cast<int>(whole) * 1000, 1001};
  AVRational rate{static_cast<int>(std::lround(value * 1000)), 1000};
  av_reduce(&rate.num, &rate.den, rate.num, rate.den, 1 << 20);
  return rate;
}

AVRational nearestAllowedFrameRate(const ConversionProfile& profile, AVRational wanted) {
  if (profile.frameRates.empty()) return wanted;
  AVRational best = profile.frameRates.front();
  for (const AVRational rate : profile.frameRates)
    if (std::fabs(av_q2d(rate) - av_q2d(wanted)) < std::fabs(av_q2d(best) - av_q2d(wanted)))
      best = rate;
  return best;
}

int keyFrameInterval(const ConversionProfile& profile, AVRational rate) {
  return std::max(1, static_cast<int>(std::lround(profile.keyframeSeconds * av_q2d(rate))));
}

AVRational sourceFrameRate(const SourceStream& stream) {
  AVRational rate = stream.frameRate;
  if (rate.num > 0 && rate.den > 0) {
    const double value = av_q2d(rate);
    if (value >= 1 && value <= 120) {
      av_reduce(&rate.num, &rate.den, rate.num, rate.den, 65535);
      return rate;
    }
  }
  return {25, 1};
}

int nearestAudioKbps(const ConversionProfile& profile, int kbps) {
  if (profile.audioKbpsAllowed.empty()) return kbps;
  int best = profile.audioKbpsAllowed.front();
  for (int allowed : profile.audioKbpsAllowed)
    if (std::abs(allowed - kbps) < std::abs(best - kbps)) best = allowed;
  return best;
}

int outputSampleRate(int sourceRate) {
  return sourceRate == 32000 || sourceRate == 44100 || sourceRate == 48000 ? sourceRate : 44100;
}

}  // namespace vidmora_encoder
