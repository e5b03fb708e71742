// Every real sample either converts to a valid file or is refused with a clear line; none
// crashes or hangs the encoder, in the plain build or under AddressSanitizer.
#include <gtest/gtest.h>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;

namespace {

struct SampleCase {
  const char* file;
  bool converts;
};

const SampleCase kSamples[] = {
    {"aac-audio-only.flv", true},
    {"g711-mulaw-audio-only.flv", true},
    {"h263-8x8-under-one-second.flv", true},
    {"h263-mp3-one-frame.flv", true},
    {"h263-nellymoser-no-metadata.flv", true},
    {"h263-video-only.flv", true},
    {"h264-aac-no-metadata-bad-tag-sizes.flv", true},
    {"h264-video-only-long-metadata.flv", true},
    {"header-only-9-bytes.flv", false},
    {"vp6-mp3-cut-down-wrong-metadata.flv", true},
    {"vp6-mp3-second.flv", true},
    {"vp6-mp3.flv", true},
    {"vp6-under-one-second.flv", true},
};

class SampleConversion : public ::testing::TestWithParam<std::tuple<SampleCase, bool>> {};

TEST_P(SampleConversion, ConvertsToAValidFileOrRefusesClearly) {
  const auto& [sample, asan] = GetParam();
  const std::string target =
      scratchPath(std::string(sample.file) + (asan ? ".asan" : "") + ".avi");
  const EncoderRun run =
      runEncoder(asan ? zandrioAsanPath() : zandrioPath(),
                 {"-i", samplePath(sample.file), "-vcodec", "msmpeg4v2", "-y", target},
                 std::chrono::seconds(60));
  ASSERT_FALSE(run.timedOut);
  ASSERT_EQ(run.signal, 0) << run.errorText;
  EXPECT_EQ(run.errorText.find("runtime error"), std::string::npos) << run.errorText;
  if (sample.converts) {
    EXPECT_EQ(run.exitStatus, 0) << run.errorText;
    const MediaFacts facts = readMediaFacts(target);
    EXPECT_TRUE(facts.opened);
    EXPECT_EQ(facts.container, "avi");
    EXPECT_TRUE(!facts.videoCodec.empty() || !facts.audioCodec.empty());
  } else {
    EXPECT_EQ(run.exitStatus, 1) << run.errorText;
    EXPECT_NE(run.errorText.find("error: "), std::string::npos) << run.errorText;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, SampleConversion,
    ::testing::Combine(::testing::ValuesIn(kSamples), ::testing::Bool()),
    [](const auto& info) {
      std::string name = std::get<0>(info.param).file;
      for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return name + (std::get<1>(info.param) ? "_asan" : "");
    });

}  // namespace
