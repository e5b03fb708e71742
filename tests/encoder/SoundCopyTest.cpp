// The source's MP3 goes into an AVI as it is when it fits, byte for byte and in step with the
// picture; where it does not fit, or one of its frames is damaged, it is encoded anew.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;

namespace {

TEST(SoundCopy, TheSourcesMp3FramesGoIntoTheAviByteForByteInStepWithThePicture) {
  const std::string source = samplePath("vp6-mp3.flv");
  const std::string target = scratchPath("copied.avi");
  const EncoderRun run = runEncoder(zandrioPath(), {"-i", source, "-vcodec", "msmpeg4v2", "-y", target});
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  EXPECT_NE(run.errorText.find("with the source's audio as it is"), std::string::npos);
  const MediaFacts from = readMediaFacts(source);
  const MediaFacts to = readMediaFacts(target);
  EXPECT_EQ(to.audioCodec, "mp3");
  EXPECT_EQ(to.audioBytes, from.audioBytes);
  EXPECT_EQ(to.audioHash, from.audioHash);
  // In step: the sound starts where the picture starts, as in the source, within a frame.
  EXPECT_NEAR(to.audioStart - to.videoStart, from.audioStart - from.videoStart, 0.027);
  EXPECT_NEAR(to.audioSeconds, from.audioSeconds, 0.027);
}

// Sound that is not copied: the output's is encoded, so its bytes are not the source's.
struct EncodedCase {
  const char* name;
  std::vector<std::string> options;  // before -y
  bool damageAFrame;  // one MP3 frame header in the middle of the source made invalid
};

class SoundEncodedAnew : public ::testing::TestWithParam<EncodedCase> {};

TEST_P(SoundEncodedAnew, WhereItDoesNotFitOrIsDamaged) {
  std::string source = samplePath("vp6-mp3-second.flv");
  if (GetParam().damageAFrame) {
    std::string bytes = readAll(source);
    const auto frame = bytes.find("\xff\xfb", bytes.size() / 2);  // an MP3 frame's sync
    ASSERT_NE(frame, std::string::npos);
    bytes[frame] = 0;
    source = scratchPath(std::string("damaged-sound-") + GetParam().name + ".flv");
    std::ofstream(source, std::ios::binary) << bytes;
  }
  const std::string target = scratchPath(std::string("encoded-") + GetParam().name + ".avi");
  std::vector<std::string> args = {"-i", source, "-vcodec", "msmpeg4v2"};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  args.insert(args.end(), {"-y", target});
  const EncoderRun run = runEncoder(zandrioPath(), args);
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  EXPECT_EQ(run.errorText.find("as it is"), std::string::npos) << run.errorText;
  const MediaFacts to = readMediaFacts(target);
  EXPECT_EQ(to.audioCodec, "mp3");
  EXPECT_NE(to.audioHash, readMediaFacts(samplePath("vp6-mp3-second.flv")).audioHash);
  EXPECT_NEAR(to.audioSeconds, 14.4, 0.2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SoundEncodedAnew,
    ::testing::Values(EncodedCase{"another_rate", {"-b", "500", "-r", "25.00", "-ab", "128"}, false},
                      EncodedCase{"damaged_frame", {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
