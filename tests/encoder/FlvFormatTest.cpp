// The FLV reader's structures read from bytes laid out as the format's tables lay them out:
// legacy and ex-header video and audio tags, multitrack messages (the track wanted, else the
// first), and data cut short anywhere, which must be refused rather than read past; the
// onMetaData figures, also from an array cut short.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "encoder/flv/FlvCodecs.h"
#include "encoder/flv/FlvFormat.h"
#include "encoder/flv/Metadata.h"

using namespace vidmora_encoder::flv;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes text(const char* characters) { return Bytes(characters, characters + std::strlen(characters)); }

struct VideoCase {
  const char* name;
  Bytes data;
  int wantedTrack;  // -1: none wanted
  bool read;
  uint32_t codec = 0;
  PacketKind kind = PacketKind::Other;
  int32_t compositionMs = 0;
  uint32_t payloadOffset = 0;
  int trackId = 0;
  int tracks = 1;
};

// Two tracks of a ManyTracksManyCodecs message of coded frames: hvc1 track 0, avc1 track 5,
// each with a composition time before its two bytes of picture.
const Bytes kTwoTracks = Bytes{0x96, 0x21} + text("hvc1") + Bytes{0, 0, 0, 5, 0, 0, 1, 0xa, 0xb} +
                         text("avc1") + Bytes{5, 0, 0, 5, 0, 0, 2, 0xc, 0xd};

const VideoCase kVideo[] = {
    {"legacy_avc_frame", {0x17, 1, 0, 0, 0x21, 9, 9}, -1, true, 7, PacketKind::CodedFrames, 33, 5},
    {"legacy_avc_negative_composition", {0x27, 1, 0xff, 0xff, 0xfe, 9}, -1, true, 7,
     PacketKind::CodedFrames, -2, 5},
    {"legacy_avc_sequence_header", {0x17, 0, 0, 0, 0, 1}, -1, true, 7, PacketKind::SequenceStart, 0, 5},
    {"legacy_hevc_id_12", {0x1c, 1, 0, 0, 0x28, 9}, -1, true, 12, PacketKind::CodedFrames, 40, 5},
    {"legacy_avc_cut_short", {0x17, 1, 0}, -1, false},
    {"legacy_vp6_adjustment_kept_out", {0x14, 0x12, 9, 9}, -1, true, 4, PacketKind::CodedFrames, 0, 2},
    {"legacy_command_frame", {0x52, 0}, -1, true, 2, PacketKind::Other},
    {"ex_hevc_coded_frames", Bytes{0x91} + text("hvc1") + Bytes{0, 0, 0x10, 7}, -1, true,
     fourCc("hvc1"), PacketKind::CodedFrames, 16, 8},
    {"ex_hevc_coded_frames_x", Bytes{0xa3} + text("hvc1") + Bytes{7}, -1, true, fourCc("hvc1"),
     PacketKind::CodedFrames, 0, 5},
    {"ex_av1_frames_carry_no_composition", Bytes{0x91} + text("av01") + Bytes{7}, -1, true,
     fourCc("av01"), PacketKind::CodedFrames, 0, 5},
    {"ex_sequence_start", Bytes{0x90} + text("vp09") + Bytes{1, 2}, -1, true, fourCc("vp09"),
     PacketKind::SequenceStart, 0, 5},
    {"ex_command_frame", {0xd1, 0}, -1, true, 0, PacketKind::Other},
    {"ex_metadata", Bytes{0xd4} + text("hvc1") + Bytes{2}, -1, true, fourCc("hvc1"), PacketKind::Other, 0, 5},
    {"ex_fourcc_cut_short", Bytes{0x91} + text("hv"), -1, false},
    {"ex_composition_cut_short", Bytes{0x91} + text("hvc1") + Bytes{0}, -1, false},
    {"multitrack_first_track", kTwoTracks, -1, true, fourCc("hvc1"), PacketKind::CodedFrames, 1, 13, 0, 2},
    {"multitrack_track_wanted", kTwoTracks, 5, true, fourCc("avc1"), PacketKind::CodedFrames, 2, 26, 5, 2},
    {"multitrack_track_missing_gives_first", kTwoTracks, 9, true, fourCc("hvc1"),
     PacketKind::CodedFrames, 1, 13, 0, 2},
    {"multitrack_track_size_past_the_end",
     Bytes{0x96, 0x21} + text("hvc1") + Bytes{0, 0, 0, 9, 0, 0, 1}, -1, false},
    {"multitrack_one_track_shared_fourcc", Bytes{0x96, 0x03} + text("av01") + Bytes{4, 7, 7}, -1,
     true, fourCc("av01"), PacketKind::CodedFrames, 0, 7, 4, 1},
};

class FlvVideoData : public ::testing::TestWithParam<VideoCase> {};

TEST_P(FlvVideoData, ReadsTheHeaderUpToThePayloadOrRefusesIt) {
  const VideoCase& c = GetParam();
  const auto wanted = c.wantedTrack >= 0 ? std::optional<int>(c.wantedTrack) : std::nullopt;
  const auto video = readVideoData(c.data.data(), c.data.size(), wanted);
  ASSERT_EQ(video.has_value(), c.read);
  if (!c.read) return;
  EXPECT_EQ(video->kind, c.kind);
  if (c.kind == PacketKind::Other) return;
  EXPECT_EQ(video->codec, c.codec);
  EXPECT_EQ(video->compositionMs, c.compositionMs);
  EXPECT_EQ(video->payload.offset, c.payloadOffset);
  EXPECT_LE(video->payload.offset + video->payload.size, c.data.size());
  EXPECT_EQ(video->trackId, c.trackId);
  EXPECT_EQ(video->tracks, c.tracks);
}

INSTANTIATE_TEST_SUITE_P(Layouts, FlvVideoData, ::testing::ValuesIn(kVideo),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FlvAudioData, LegacyAndExHeadersAndMultitrack) {
  const Bytes aacFrame{0xaf, 1, 9, 9};
  auto audio = readAudioData(aacFrame.data(), aacFrame.size());
  ASSERT_TRUE(audio);
  EXPECT_EQ(audio->codec, 10u);
  EXPECT_EQ(audio->kind, PacketKind::CodedFrames);
  EXPECT_EQ(audio->payload.offset, 2u);
  EXPECT_EQ(audioCodecId(*audio), AV_CODEC_ID_AAC);

  const Bytes pcm8{0x30, 9};  // PCM little-endian, 8 bits, mono
  audio = readAudioData(pcm8.data(), pcm8.size());
  ASSERT_TRUE(audio);
  EXPECT_EQ(audioCodecId(*audio), AV_CODEC_ID_PCM_U8);

  const Bytes opusStart = Bytes{0x90} + text("Opus") + text("OpusHead");
  audio = readAudioData(opusStart.data(), opusStart.size());
  ASSERT_TRUE(audio);
  EXPECT_TRUE(audio->enhanced);
  EXPECT_EQ(audio->kind, PacketKind::SequenceStart);
  EXPECT_EQ(audioCodecId(*audio), AV_CODEC_ID_OPUS);
  EXPECT_EQ(audio->payload.offset, 5u);

  const Bytes oneTrack = Bytes{0x95, 0x01} + text("ac-3") + Bytes{3, 7, 7};
  audio = readAudioData(oneTrack.data(), oneTrack.size());
  ASSERT_TRUE(audio);
  EXPECT_EQ(audio->trackId, 3);
  EXPECT_EQ(audio->payload.offset, 7u);
  EXPECT_EQ(audio->payload.size, 2u);
  EXPECT_EQ(audioCodecId(*audio), AV_CODEC_ID_AC3);

  for (const Bytes& cut : {Bytes{0xaf}, Bytes{0x91} + text("Op"), Bytes{0x95}, Bytes{0x95, 0x21}})
    EXPECT_FALSE(readAudioData(cut.data(), cut.size())) << cut.size() << " bytes";
}

TEST(FlvCodecs, NameWhatTheyCannotConvert) {
  const Bytes unknown = Bytes{0x91} + text("xyz1") + Bytes{0, 0, 0, 7};
  const auto video = readVideoData(unknown.data(), unknown.size());
  ASSERT_TRUE(video);
  EXPECT_EQ(videoCodecId(*video), AV_CODEC_ID_NONE);
  EXPECT_EQ(describeVideoCodec(*video), "'xyz1' in an enhanced FLV");
  const Bytes legacy{0x1d, 9};  // codec id 13: no codec
  EXPECT_EQ(describeVideoCodec(*readVideoData(legacy.data(), legacy.size())), "FLV video codec 13");
  const Bytes odd = Bytes{0x90, 'a', 0x01, 'c', 'd'};
  EXPECT_EQ(describeAudioCodec(*readAudioData(odd.data(), odd.size())), "'a\\x01cd' in an enhanced FLV");
}

// onMetaData as an ECMA array: a string, then the array with a count and its properties,
// ended by an empty name and the object-end marker.
Bytes number(const char* name, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  Bytes bytes{0, static_cast<uint8_t>(std::strlen(name))};
  bytes = bytes + text(name) + Bytes{0};
  for (int shift = 56; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(bits >> shift));
  return bytes;
}

TEST(FlvMetadata, KeepsTheFiguresReadBeforeDamage) {
  const Bytes head = Bytes{2, 0, 10} + text("onMetaData") + Bytes{8, 0, 0, 0, 3};
  // A nested object and a string are passed over on the way to the figures.
  const Bytes nested = Bytes{0, 4} + text("keys") + Bytes{3, 0, 1, 'a', 5, 0, 0, 9} +
                       Bytes{0, 4} + text("tool") + Bytes{2, 0, 2, 'x', 'y'};
  const Bytes whole = head + nested + number("duration", 12.5) + number("framerate", 29.97) +
                      Bytes{0, 0, 9};
  auto metadata = readMetadata(whole.data(), whole.size());
  ASSERT_TRUE(metadata);
  EXPECT_DOUBLE_EQ(metadata->duration.value_or(0), 12.5);
  EXPECT_DOUBLE_EQ(metadata->frameRate.value_or(0), 29.97);

  const Bytes cut(whole.begin(), whole.end() - 12);  // inside the frame rate
  metadata = readMetadata(cut.data(), cut.size());
  ASSERT_TRUE(metadata);
  EXPECT_DOUBLE_EQ(metadata->duration.value_or(0), 12.5);
  EXPECT_FALSE(metadata->frameRate);

  const Bytes other = Bytes{2, 0, 10} + text("onCuePoint") + Bytes{8, 0, 0, 0, 0, 0, 0, 9};
  EXPECT_FALSE(readMetadata(other.data(), other.size()));
}

}  // namespace
