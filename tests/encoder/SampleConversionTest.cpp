// Every real sample either converts, with each codec, to a valid file that holds what the
// source holds, or is refused with a clear line and leaves nothing; none crashes or hangs
// the encoder, in the plain build or under AddressSanitizer.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;

namespace {

struct SampleCase {
  const char* file;
  double seconds;  // what its packets really cover (metadata may claim otherwise); 0: refused
  const char* refusal = "";  // what the error line of a refused file says
  // Where given, what the output must hold of each kind on its own (so that one kind cannot
  // pass for the whole), and its frame width (the first picture's, also where it changes).
  double videoSeconds = 0;
  double audioSeconds = 0;
  int width = 0;
};

const SampleCase kSamples[] = {
    {"aac-audio-only.flv", 1.07},
    {"g711-mulaw-audio-only.flv", 1.0},
    {"h263-8x8-under-one-second.flv", 0.16},
    {"h263-declares-16000x16000.flv", 0, "has 16000x16000 frames: at most 8192 pixels on a side"},
    // The frames from 3 s on are refused by the decoder before their memory is taken.
    {"h263-grows-to-16000x16000-at-3s.flv", 0, "only 3.00 s of the 6.60 s of video in"},
    {"h263-mp3-one-frame.flv", 1.07},
    {"h263-nellymoser-no-metadata.flv", 6.7},
    {"h263-video-only.flv", 6.6},
    {"h264-aac-no-metadata-bad-tag-sizes.flv", 29.0},
    {"h264-video-only-long-metadata.flv", 4.5},  // metadata: 5.5 s
    {"header-only-9-bytes.flv", 0, "is not a video file the encoder can read"},
    // The AAC configuration is gone: of its 1 s, one AAC frame can be decoded.
    {"mutated-two-audio-streams.flv", 0, "s of audio in"},
    {"vp6-mp3-cut-down-wrong-metadata.flv", 0.05},  // metadata: 3.09 s
    {"vp6-mp3-cut-in-half.flv", 8.3},                     // metadata: 14.39 s
    {"vp6-mp3-metadata-ten-times-too-long.flv", 14.5},   // metadata: 143.9 s
    {"vp6-mp3-second.flv", 14.5},
    // The sound is whole: it must not hide that the picture stops.
    {"vp6-mp3-video-damaged-from-2s.flv", 0, "only 2.00 s of the 28.06 s of video in"},
    {"vp6-mp3-video-never-decodes.flv", 0, "the frame size of the video in"},
    {"vp6-mp3.flv", 28.0},
    {"vp6-under-one-second.flv", 0.83},
    // The forms today's recorders and servers write: enhanced FLV, HEVC under codec id 12,
    // multitrack, recordings that start again or change size midway.
    {"av1-opus-enhanced.flv", 10.0, "", 10.0, 10.02, 980},
    {"avc1-flac-enhanced.flv", 3.0, "", 3.0, 3.03, 160},
    {"h263-mp3-enhanced-audio.flv", 3.0, "", 3.0, 3.03, 160},
    {"h264-aac-live-server.flv", 11.3, "", 11.3, 11.3, 768},
    {"h264-ac3-enhanced-audio.flv", 3.0, "", 3.0, 3.01, 160},
    {"h264-eac3-enhanced-audio.flv", 3.0, "", 3.0, 3.01, 160},
    {"h264-mp4a-enhanced-audio.flv", 3.0, "", 3.0, 3.04, 160},
    {"hevc-aac-codec-id-12.flv", 3.0, "", 3.0, 3.04, 320},
    {"hevc-aac-enhanced.flv", 3.0, "", 3.0, 3.04, 320},
    {"vp9-opus-enhanced.flv", 3.0, "", 3.0, 3.02, 320},
    {"multitrack-hevc-avc-opus.flv", 3.0, "", 3.0, 3.02, 256},
    {"h264-aac-restarts-at-zero.flv", 20.0, "", 20.0, 20.06, 160},
    {"h264-aac-jumps-forward.flv", 20.0, "", 20.0, 20.06, 160},
    {"h264-aac-size-change.flv", 4.0, "", 4.0, 4.13, 320},
    {"hevc-size-change-enhanced.flv", 4.0, "", 4.0, 4.13, 320},
    {"unknown-video-fourcc.flv", 0,
     "error: the video in SAMPLE is 'xyz1' in an enhanced FLV, which this encoder cannot convert"},
    {"unknown-audio-fourcc.flv", 0,
     "error: the audio in SAMPLE is 'abcd' in an enhanced FLV, which this encoder cannot convert"},
};

// The refusal with the sample's path in place of SAMPLE.
std::string refusalFor(const SampleCase& sample) {
  std::string text = sample.refusal;
  const std::size_t at = text.find("SAMPLE");
  if (at != std::string::npos) text.replace(at, 6, samplePath(sample.file));
  return text;
}

// A kind's seconds agree when within 5 % or a tenth of a second.
void expectSeconds(double held, double expected, const char* kind) {
  if (expected > 0) EXPECT_NEAR(held, expected, std::max(0.1, expected * 0.05)) << kind;
}

class SampleConversion
    : public ::testing::TestWithParam<std::tuple<SampleCase, FormatCase, bool>> {};

TEST_P(SampleConversion, ConvertsWhatTheSourceHoldsOrRefusesClearly) {
  const auto& [sample, format, asan] = GetParam();
  const std::string folder = scratchSubfolder(std::string(sample.file) + "." + format.codec +
                                              (asan ? ".asan" : ""));
  const std::string target = folder + "/out" + format.extension;
  const EncoderRun run =
      runEncoder(encoderFor(format.codec, asan),
                 {"-i", samplePath(sample.file), "-vcodec", format.codec, "-y", target},
                 std::chrono::seconds(60));
  ASSERT_FALSE(run.timedOut);
  ASSERT_EQ(run.signal, 0) << run.errorText;
  EXPECT_EQ(run.errorText.find("runtime error"), std::string::npos) << run.errorText;
  if (sample.seconds > 0) {
    EXPECT_EQ(run.exitStatus, 0) << run.errorText;
    const MediaFacts facts = readMediaFacts(target);
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.container, format.container);
    expectSeconds(std::max(facts.videoSeconds, facts.audioSeconds), sample.seconds, "longer kind");
    expectSeconds(facts.videoSeconds, sample.videoSeconds, "video");
    expectSeconds(facts.audioSeconds, sample.audioSeconds, "audio");
    if (sample.width > 0) EXPECT_EQ(facts.width, sample.width);
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"out" + std::string(format.extension)});
  } else {
    EXPECT_EQ(run.exitStatus, 1) << run.errorText;
    EXPECT_NE(run.errorText.find("error: "), std::string::npos) << run.errorText;
    EXPECT_NE(run.errorText.find(refusalFor(sample)), std::string::npos) << run.errorText;
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleConversion,
    ::testing::Combine(::testing::ValuesIn(kSamples), ::testing::ValuesIn(kFormats),
                       ::testing::Bool()),
    [](const auto& info) {
      return caseName(std::get<0>(info.param).file) + "_" + std::get<1>(info.param).codec +
             (std::get<2>(info.param) ? "_asan" : "");
    });

}  // namespace
