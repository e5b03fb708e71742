// The probe: "Duration: " figures the program reads, for generated clips and real samples.
#include <gtest/gtest.h>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/ProgramRules.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;
using flv_fixture::ClipSpec;
using flv_fixture::FixtureAudio;

namespace {

struct ClipProbeCase {
  const char* name;
  ClipSpec spec;
  int seconds;
  std::vector<const char*> texts = {};  // that the probe writes as well
  std::string (*executable)() = zandrioPath;
};

class ProbeOfClip : public ::testing::TestWithParam<ClipProbeCase> {};

TEST_P(ProbeOfClip, ReportsDurationExactToTheSecond) {
  const auto& param = GetParam();
  const EncoderRun run = runEncoder(param.executable(), {"-i", clip(param.name, param.spec)});
  EXPECT_EQ(run.exitStatus, 0) << run.errorText;
  EXPECT_EQ(durationByProgramRule(run.errorText), param.seconds) << run.errorText;
  for (const char* text : param.texts)
    EXPECT_NE(run.errorText.find(text), std::string::npos) << text << " in " << run.errorText;
}

INSTANTIATE_TEST_SUITE_P(
    Clips, ProbeOfClip,
    ::testing::Values(
        // A line per stream.
        ClipProbeCase{"probe_mp3_metadata",
                      {.seconds = 3.5},
                      3,
                      {"Video: flv1, yuv420p, 160x120", "Audio: mp3, 44100 Hz, stereo",
                       "start: 0.000000, bitrate: "}},
        ClipProbeCase{"probe_on_quimbel", {.seconds = 3.5}, 3, {}, quimbelPath},
        ClipProbeCase{"probe_mp3_no_metadata", {.seconds = 3.5, .durationMetadata = false}, 3},
        ClipProbeCase{"probe_adpcm_no_metadata",
                      {.seconds = 5.3, .audio = FixtureAudio::Adpcm, .durationMetadata = false},
                      5},
        ClipProbeCase{"probe_video_only_no_metadata",
                      {.seconds = 2.6, .audio = FixtureAudio::None, .durationMetadata = false},
                      2},
        ClipProbeCase{"probe_audio_only", {.seconds = 4.2, .video = false}, 4},
        ClipProbeCase{"probe_exactly_two_no_metadata",
                      {.seconds = 2.0, .fps = 10, .audio = FixtureAudio::None,
                       .durationMetadata = false},
                      2},
        ClipProbeCase{"probe_long_minutes",
                      {.seconds = 61.5, .width = 32, .height = 32, .fps = 2,
                       .audio = FixtureAudio::None, .durationMetadata = false},
                      61},
        // Zero seconds by the program's rule, with the fraction after them.
        ClipProbeCase{"probe_half_second", {.seconds = 0.5}, 0, {"Duration: 00:00:00.5"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Probe, FileThatIsNoVideoFailsWithAClearLine) {
  const std::string path = scratchPath("shopping-list.flv");
  flv_fixture::writeNotVideo(path);
  const EncoderRun run = runEncoder(zandrioPath(), {"-i", path});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(durationByProgramRule(run.errorText), 0);
  EXPECT_NE(run.errorText.find("is not a video file"), std::string::npos) << run.errorText;
}

TEST(Probe, MissingFileFailsWithAClearLine) {
  const EncoderRun run = runEncoder(zandrioPath(), {"-i", scratchPath("no-such-file.flv")});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.errorText.find("cannot read"), std::string::npos) << run.errorText;
}

struct SampleProbeCase {
  const char* file;
  int seconds;  // by the program's rule; -1: the probe must fail
};

class ProbeOfSample : public ::testing::TestWithParam<SampleProbeCase> {};

TEST_P(ProbeOfSample, ReportsItsDurationOrFails) {
  const auto& param = GetParam();
  const EncoderRun run = runEncoder(zandrioPath(), {"-i", samplePath(param.file)},
                                    std::chrono::seconds(20));
  ASSERT_FALSE(run.timedOut);
  ASSERT_EQ(run.signal, 0);
  if (param.seconds < 0) {
    EXPECT_EQ(run.exitStatus, 1) << run.errorText;
    EXPECT_EQ(durationByProgramRule(run.errorText), 0) << run.errorText;
    EXPECT_NE(run.errorText.find("error: "), std::string::npos) << run.errorText;
  } else {
    EXPECT_EQ(run.exitStatus, 0) << run.errorText;
    EXPECT_EQ(durationByProgramRule(run.errorText), param.seconds) << run.errorText;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, ProbeOfSample,
    ::testing::Values(SampleProbeCase{"aac-audio-only.flv", 1},
                      SampleProbeCase{"g711-mulaw-audio-only.flv", 1},
                      SampleProbeCase{"h263-8x8-under-one-second.flv", 0},
                      SampleProbeCase{"h263-declares-16000x16000.flv", 6},
                      SampleProbeCase{"h263-mp3-one-frame.flv", 1},
                      SampleProbeCase{"h263-nellymoser-no-metadata.flv", 6},
                      SampleProbeCase{"h263-video-only.flv", 6},
                      SampleProbeCase{"h264-aac-no-metadata-bad-tag-sizes.flv", 29},
                      SampleProbeCase{"h264-video-only-long-metadata.flv", 5},
                      SampleProbeCase{"header-only-9-bytes.flv", -1},
                      // Metadata 3.09 s, one frame: what it holds is what counts.
                      SampleProbeCase{"vp6-mp3-cut-down-wrong-metadata.flv", 0},
                      // Metadata 14.39 s; half of the file holds 8.25 s.
                      SampleProbeCase{"vp6-mp3-cut-in-half.flv", 8},
                      // Metadata 143.9 s; the file holds 14.49 s.
                      SampleProbeCase{"vp6-mp3-metadata-ten-times-too-long.flv", 14},
                      SampleProbeCase{"vp6-mp3-second.flv", 14},
                      SampleProbeCase{"vp6-mp3-video-damaged-from-2s.flv", 27},
                      SampleProbeCase{"vp6-mp3-video-never-decodes.flv", 27},
                      SampleProbeCase{"vp6-mp3.flv", 27},
                      SampleProbeCase{"vp6-under-one-second.flv", 0},
                      SampleProbeCase{"av1-opus-enhanced.flv", 10},
                      SampleProbeCase{"hevc-aac-enhanced.flv", 3},
                      SampleProbeCase{"hevc-aac-codec-id-12.flv", 3},
                      SampleProbeCase{"vp9-opus-enhanced.flv", 3},
                      SampleProbeCase{"multitrack-hevc-avc-opus.flv", 3},
                      // Timestamps that start again or jump: the seconds the recording holds,
                      // not its first-to-last span nor what its metadata says (10 s, 3620 s).
                      SampleProbeCase{"h264-aac-restarts-at-zero.flv", 20},
                      SampleProbeCase{"h264-aac-jumps-forward.flv", 20},
                      // A codec the encoder cannot convert still has its length.
                      SampleProbeCase{"unknown-video-fourcc.flv", 3}),
    [](const auto& info) { return caseName(info.param.file); });

}  // namespace
