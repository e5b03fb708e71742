// Progress lines as the program reads them, and the SIGTERM stop.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <fstream>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/encoder/ProgramRules.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;
using flv_fixture::ClipSpec;

namespace {

// Long enough, scaled up to 640x480, for the conversion to last a second or more.
const ClipSpec kLongSource{.seconds = 20.0, .width = 320, .height = 240, .fps = 25};

std::vector<std::string> slowConversion(const std::string& target,
                                        const std::string& source = clip("progress_source",
                                                                         kLongSource)) {
  return {"-i", source, "-vcodec", "mpeg2video", "-b", "2376",
          "-r", "29.97", "-ab", "128", "-s", "640x480", "-y", target};
}

// Each line is written whole, in one read; its time figures increase and end at the duration.
TEST(Progress, LinesAreWholeAndTimeFiguresIncreaseToTheDuration) {
  const EncoderRun run = runEncoder(zandrioPath(), slowConversion(scratchPath("progress.mpg")));
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  for (const auto& chunk : run.chunks) {
    const auto at = chunk.find("time=");
    if (at == std::string::npos) continue;
    EXPECT_EQ(chunk.rfind("frame=", at), 0u) << chunk;
    EXPECT_NE(chunk.find("kbits/s\n", at), std::string::npos) << chunk;
  }
  const std::vector<int> figures = timeFiguresByProgramRule(run.chunks);
  ASSERT_GE(figures.size(), 2u) << run.errorText;
  for (std::size_t i = 1; i < figures.size(); ++i) EXPECT_GE(figures[i], figures[i - 1]);
  EXPECT_NEAR(figures.back(), kLongSource.seconds, 1.0);
}

// A stop at the largest frame size, where every frame takes long: the run ends by itself,
// with a valid shorter output under a target name that was free, or with the file that was
// at the target untouched; nothing else is left in the folder.
class Stop : public ::testing::TestWithParam<std::tuple<FormatCase, bool>> {};

TEST_P(Stop, At4kEndsWithAValidOutputOrTheOldFileAndNothingElse) {
  const auto& [format, targetExisted] = GetParam();
  const std::string folder = scratchSubfolder(std::string("stop_") + format.codec +
                                              (targetExisted ? "_existing" : "_free"));
  const std::string target = folder + "/stopped" + format.extension;
  if (targetExisted) std::ofstream(target) << "the user's earlier file";
  EncoderProcess process(encoderFor(format.codec),
                         {"-i", clip("progress_source", kLongSource), "-vcodec", format.codec,
                          "-s", "3840x2160", "-y", target});
  ASSERT_TRUE(process.waitForFrames(std::chrono::seconds(30)));
  process.terminate();
  const EncoderRun run = process.finish(std::chrono::seconds(60));
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 3) << run.errorText;
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"stopped" + std::string(format.extension)});
  if (targetExisted) {
    EXPECT_EQ(readAll(target), "the user's earlier file");
    EXPECT_NE(run.errorText.find("was kept as it was"), std::string::npos) << run.errorText;
  } else {
    const MediaFacts facts = readMediaFacts(target);
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.videoCodec, format.codec);
    EXPECT_EQ(facts.width, 3840);
    EXPECT_GT(facts.videoPackets, 0);
    EXPECT_LT(facts.videoSeconds, kLongSource.seconds - 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, Stop, ::testing::Combine(::testing::ValuesIn(kFormats), ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).codec) +
             (std::get<1>(info.param) ? "_existing" : "_free");
    });

// A killed encoder cannot clean up: its output had no name yet, so nothing of it remains.
TEST(Kill, MidRunLeavesNothingButTheFileThatWasThere) {
  const std::string folder = scratchSubfolder("killed");
  const std::string target = folder + "/killed.mpg";
  std::ofstream(target) << "the user's earlier file";
  EncoderProcess process(zandrioPath(), slowConversion(target));
  ASSERT_TRUE(process.waitForText("time=", std::chrono::seconds(20)));
  process.kill();
  const EncoderRun run = process.finish(std::chrono::seconds(20));
  EXPECT_EQ(run.signal, SIGKILL);
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"killed.mpg"});
  EXPECT_EQ(readAll(target), "the user's earlier file");
}

// A source that never gives a byte (a FIFO nobody writes to) holds a probe or a conversion
// only until a stop: the run ends with the stop's status and leaves nothing.
struct WaitingSourceCase {
  const char* name;
  bool conversion;
};

class StopWhileTheSourceWaits : public ::testing::TestWithParam<WaitingSourceCase> {};

TEST_P(StopWhileTheSourceWaits, EndsWithTheStopsStatus) {
  const std::string folder = scratchSubfolder(std::string("fifo_") + GetParam().name);
  const std::string source = folder + "/nobody-writes.flv";
  ASSERT_EQ(::mkfifo(source.c_str(), 0600), 0);
  std::vector<std::string> args = {"-i", source};
  if (GetParam().conversion)
    args.insert(args.end(), {"-vcodec", "msmpeg4v2", "-y", folder + "/out.avi"});
  EncoderProcess process(zandrioPath(), args);
  // Long enough for the run to be waiting in the source, not starting up.
  EXPECT_FALSE(process.waitForText("Duration", std::chrono::milliseconds(700)));
  process.terminate();
  const EncoderRun run = process.finish(std::chrono::seconds(10));
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 3) << run.errorText;
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"nobody-writes.flv"});
}

INSTANTIATE_TEST_SUITE_P(Runs, StopWhileTheSourceWaits,
                         ::testing::Values(WaitingSourceCase{"probe", false},
                                           WaitingSourceCase{"conversion", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A source cut short or rewritten while it converts fails the run: what was read is part of
// one file and part of another, or less than it held. Nothing is left.
struct ChangedSourceCase {
  const char* name;
  void (*change)(const std::string& path);
};

class SourceChangedWhileConverting : public ::testing::TestWithParam<ChangedSourceCase> {};

TEST_P(SourceChangedWhileConverting, FailsAndLeavesNothing) {
  const std::string folder = scratchSubfolder(std::string("changed_") + GetParam().name);
  const std::string source = folder + "/source.flv";
  flv_fixture::makeClip(source, kLongSource);
  EncoderProcess process(zandrioPath(), slowConversion(folder + "/out.mpg", source));
  ASSERT_TRUE(process.waitForText("time=", std::chrono::seconds(20)));
  GetParam().change(source);
  const EncoderRun run = process.finish(std::chrono::seconds(60));
  EXPECT_EQ(run.exitStatus, 1) << run.errorText;
  EXPECT_NE(run.errorText.find("error: " + source + " changed while it was being converted"),
            std::string::npos)
      << run.errorText;
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"source.flv"});
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SourceChangedWhileConverting,
    ::testing::Values(
        ChangedSourceCase{"cut_short", [](const std::string& path) {
                            flv_fixture::truncateFile(path, 0.5);
                          }},
        ChangedSourceCase{"rewritten_in_place",
                          [](const std::string& path) {
                            std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
                            file.seekp(100);
                            file.put('\x55');
                          }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
