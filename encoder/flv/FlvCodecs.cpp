#include "encoder/flv/FlvCodecs.h"

#include <cctype>
#include <cstdio>

namespace vidmora_encoder::flv {

namespace {

struct Named {
  uint32_t value;
  AVCodecID codec;
  const char* name;
};

// The legacy VideoCodecId values, with 12 for HEVC as CDNs write it.
constexpr Named kLegacyVideo[] = {
    {2, AV_CODEC_ID_FLV1, "Sorenson H.263"}, {3, AV_CODEC_ID_FLASHSV, "Screen Video"},
    {4, AV_CODEC_ID_VP6F, "On2 VP6"},        {5, AV_CODEC_ID_VP6A, "On2 VP6 with alpha"},
    {6, AV_CODEC_ID_FLASHSV2, "Screen Video 2"}, {7, AV_CODEC_ID_H264, "H.264"},
    {12, AV_CODEC_ID_HEVC, "HEVC"},
};
constexpr Named kVideoFourCcs[] = {
    {fourCc("avc1"), AV_CODEC_ID_H264, "H.264"}, {fourCc("hvc1"), AV_CODEC_ID_HEVC, "HEVC"},
    {fourCc("av01"), AV_CODEC_ID_AV1, "AV1"},    {fourCc("vp09"), AV_CODEC_ID_VP9, "VP9"},
    {fourCc("vp08"), AV_CODEC_ID_VP8, "VP8"},
};
// The legacy SoundFormat values (PCM's two and MP3's two told apart by the flags below).
constexpr Named kLegacyAudio[] = {
    {0, AV_CODEC_ID_PCM_S16LE, "PCM"},         {1, AV_CODEC_ID_ADPCM_SWF, "ADPCM"},
    {2, AV_CODEC_ID_MP3, "MP3"},               {3, AV_CODEC_ID_PCM_S16LE, "PCM"},
    {4, AV_CODEC_ID_NELLYMOSER, "Nellymoser"}, {5, AV_CODEC_ID_NELLYMOSER, "Nellymoser"},
    {6, AV_CODEC_ID_NELLYMOSER, "Nellymoser"}, {7, AV_CODEC_ID_PCM_ALAW, "G.711 A-law"},
    {8, AV_CODEC_ID_PCM_MULAW, "G.711 mu-law"}, {10, AV_CODEC_ID_AAC, "AAC"},
    {11, AV_CODEC_ID_SPEEX, "Speex"},          {14, AV_CODEC_ID_MP3, "MP3"},
};
constexpr Named kAudioFourCcs[] = {
    {fourCc("Opus"), AV_CODEC_ID_OPUS, "Opus"}, {fourCc("fLaC"), AV_CODEC_ID_FLAC, "FLAC"},
    {fourCc("ac-3"), AV_CODEC_ID_AC3, "AC-3"},  {fourCc("ec-3"), AV_CODEC_ID_EAC3, "E-AC-3"},
    {fourCc("mp4a"), AV_CODEC_ID_AAC, "AAC"},   {fourCc(".mp3"), AV_CODEC_ID_MP3, "MP3"},
};

template <std::size_t N>
const Named* find(const Named (&table)[N], uint32_t value) {
  for (const Named& entry : table)
    if (entry.value == value) return &entry;
  return nullptr;
}

// "'xyz1'", with a byte that is no printable character written as \xNN.
std::string quoteFourCc(uint32_t value) {
  std::string text = "'";
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto byte = static_cast<unsigned char>(value >> shift);
    if (std::isprint(byte) != 0) {
      text += static_cast<char>(byte);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      text += escaped;
    }
  }
  return text + "'";
}

std::string describe(const Named* known, bool enhanced, uint32_t codec, const char* legacyKind) {
  if (enhanced)
    return known ? std::string(known->name) + " (" + quoteFourCc(codec) + ")"
                 : quoteFourCc(codec) + " in an enhanced FLV";
  return known ? std::string(known->name)
               : std::string("FLV ") + legacyKind + " " + std::to_string(codec);
}

}  // namespace

AVCodecID videoCodecId(const VideoData& video) {
  const Named* known = video.enhanced ? find(kVideoFourCcs, video.codec)
                                      : find(kLegacyVideo, video.codec);
  return known ? known->codec : AV_CODEC_ID_NONE;
}

AVCodecID audioCodecId(const AudioData& audio) {
  const Named* known = audio.enhanced ? find(kAudioFourCcs, audio.codec)
                                      : find(kLegacyAudio, audio.codec);
  if (known == nullptr) return AV_CODEC_ID_NONE;
  // 8-bit PCM is unsigned; 16-bit PCM of either format is little-endian in practice.
  if (!audio.enhanced && (audio.codec == 0 || audio.codec == 3) && audio.sampleBits == 8)
    return AV_CODEC_ID_PCM_U8;
  return known->codec;
}

bool isNalCodec(AVCodecID codec) { return codec == AV_CODEC_ID_H264 || codec == AV_CODEC_ID_HEVC; }

std::string describeVideoCodec(const VideoData& video) {
  const Named* known = video.enhanced ? find(kVideoFourCcs, video.codec)
                                      : find(kLegacyVideo, video.codec);
  return describe(known, video.enhanced, video.codec, "video codec");
}

std::string describeAudioCodec(const AudioData& audio) {
  const Named* known = audio.enhanced ? find(kAudioFourCcs, audio.codec)
                                      : find(kLegacyAudio, audio.codec);
  return describe(known, audio.enhanced, audio.codec, "sound format");
}

SoundFlags soundFlags(const AudioData& audio) {
  if (audio.enhanced) return {};
  SoundFlags flags{44100 << audio.rateIndex >> 3, audio.channels, audio.sampleBits};
  switch (audio.codec) {
    case 4: return {16000, 1, 16};  // Nellymoser 16 kHz mono
    case 5: return {8000, 1, 16};   // Nellymoser 8 kHz mono
    case 7:
    case 8: return {8000, flags.channels, 16};  // G.711: always 8 kHz, whatever the flags say
    case 11: return {16000, 1, 16};  // Speex: always 16 kHz mono
    case 14: return {8000, flags.channels, 16};  // MP3 8 kHz
    default: return flags;
  }
}

}  // namespace vidmora_encoder::flv
