// Progress lines as the program reads them, and the SIGTERM stop.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/encoder/ProgramRules.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;
using flv_fixture::ClipSpec;

namespace {

// Long enough, scaled up to 640x480, for the conversion to last a second or more.
const ClipSpec kLongSource{.seconds = 20.0, .width = 320, .height = 240, .fps = 25};

std::vector<std::string> slowConversion(const std::string& target) {
  return {"-i", clip("progress_source", kLongSource), "-vcodec", "mpeg2video", "-b", "2376",
          "-r", "29.97", "-ab", "128", "-s", "640x480", "-y", target};
}

TEST(Progress, TimeFiguresParseIncreaseAndEndAtTheDuration) {
  const EncoderRun run = runEncoder(zandrioPath(), slowConversion(scratchPath("progress.mpg")));
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  const std::vector<int> figures = timeFiguresByProgramRule(run.chunks);
  ASSERT_GE(figures.size(), 2u) << run.errorText;
  for (std::size_t i = 1; i < figures.size(); ++i) EXPECT_GE(figures[i], figures[i - 1]);
  EXPECT_NEAR(figures.back(), kLongSource.seconds, 1.0);
}

TEST(Progress, EveryLineIsWrittenWhole) {
  const EncoderRun run = runEncoder(zandrioPath(), slowConversion(scratchPath("whole.mpg")));
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  for (const auto& chunk : run.chunks) {
    const auto at = chunk.find("time=");
    if (at == std::string::npos) continue;
    EXPECT_EQ(chunk.rfind("frame=", at), 0u) << chunk;
    EXPECT_NE(chunk.find("kbits/s\n", at), std::string::npos) << chunk;
  }
}

TEST(Progress, SigtermFinishesAShorterValidFileUnderTheTargetName) {
  const std::string target = scratchPath("stopped.mpg");
  EncoderProcess process(zandrioPath(), slowConversion(target));
  ASSERT_TRUE(process.waitForText("time=", std::chrono::seconds(20)));
  process.terminate();
  const EncoderRun run = process.finish(std::chrono::seconds(20));
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.signal, 0);
  EXPECT_NE(run.exitStatus, 0);
  EXPECT_LT(run.seconds, 10);
  const MediaFacts facts = readMediaFacts(target);
  ASSERT_TRUE(facts.opened);
  EXPECT_EQ(facts.videoCodec, "mpeg2video");
  EXPECT_GT(facts.videoSeconds, 0);
  EXPECT_LT(facts.videoSeconds, kLongSource.seconds - 1);
  for (const auto& entry : std::filesystem::directory_iterator(scratchFolder()))
    EXPECT_NE(entry.path().extension(), ".part") << "left behind: " << entry.path();
}

}  // namespace
