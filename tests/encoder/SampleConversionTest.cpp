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
};

struct FormatCase {
  const char* codec;
  const char* extension;
  const char* container;
};

const FormatCase kFormats[] = {{"msmpeg4v2", ".avi", "avi"},
                               {"mpeg1video", ".mpg", "mpeg"},
                               {"mpeg2video", ".mpg", "mpeg"},
                               {"wmv2", ".wmv", "asf"}};

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
    EXPECT_NEAR(std::max(facts.videoSeconds, facts.audioSeconds), sample.seconds,
                std::max(0.1, sample.seconds * 0.05));
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"out" + std::string(format.extension)});
  } else {
    EXPECT_EQ(run.exitStatus, 1) << run.errorText;
    EXPECT_NE(run.errorText.find("error: "), std::string::npos) << run.errorText;
    EXPECT_NE(run.errorText.find(sample.refusal), std::string::npos) << run.errorText;
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleConversion,
    ::testing::Combine(::testing::ValuesIn(kSamples), ::testing::ValuesIn(kFormats),
                       ::testing::Bool()),
    [](const auto& info) {
      std::string name = std::get<0>(info.param).file;
      for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return name + "_" + std::get<1>(info.param).codec + (std::get<2>(info.param) ? "_asan" : "");
    });

}  // namespace
