// Failures: one clear line, a non-zero exit, the target as it was, no temporary file left;
// damaged input never crashes or hangs the encoder (also under AddressSanitizer).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;

namespace {

class FailingConversion : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratchSubfolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    target = folder + "/target.avi";
    std::ofstream(target) << "the user's earlier file";
  }
  // Runs `executable` (zandrio unless given) into target and checks the failure's common marks.
  void expectFailure(const std::vector<std::string>& args, const std::string& message,
                     const std::string& executable = zandrioPath()) {
    const EncoderRun run = runEncoder(executable, args, std::chrono::seconds(20));
    EXPECT_EQ(run.exitStatus, 1) << run.errorText;
    EXPECT_NE(run.errorText.find("error: " + message), std::string::npos) << run.errorText;
    EXPECT_EQ(readAll(target), "the user's earlier file");
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"target.avi"});
  }
  std::string folder;
  std::string target;
};

TEST_F(FailingConversion, GarbageInputKeepsTheExistingTarget) {
  const std::string source = scratchPath("garbage.flv");
  flv_fixture::writeNotVideo(source);
  expectFailure({"-i", source, "-vcodec", "msmpeg4v2", "-y", target}, source + " is not a video");
}

// A size the codec would take but no machine should: refused before anything is encoded.
TEST_F(FailingConversion, OversizedFrameKeepsTheExistingTarget) {
  expectFailure({"-i", clip("failure_source", {.seconds = 1.0}), "-vcodec", "msmpeg4v2", "-s",
                 "16000x16000", "-y", target},
                "cannot encode 16000x16000 video as msmpeg4v2: it holds at most 8192 pixels on a "
                "side");
}

// Memory that runs out is said to be that, wherever it ran out (here libavcodec's MPEG-video
// encoder, which answers a picture it cannot allocate with a bare -1). Small thread stacks keep
// the threads' share of the address space small on any number of cores.
TEST_F(FailingConversion, MemoryThatRunsOutIsSaidSo) {
  expectFailure({"-c", "ulimit -s 2048 && ulimit -v 600000 && exec \"$0\" \"$@\"", zandrioPath(),
                 "-i", samplePath("h263-video-only.flv"), "-vcodec", "msmpeg4v2", "-s",
                 "8192x8192", "-y", target},
                "out of memory\n", "/bin/sh");
}

TEST_F(FailingConversion, FileWithoutStreamsKeepsTheExistingTarget) {
  expectFailure({"-i", samplePath("header-only-9-bytes.flv"), "-vcodec", "msmpeg4v2", "-y",
                 target},
                samplePath("header-only-9-bytes.flv"));
}

// What is at the target when the run starts and is no file that could be read back is never
// replaced: the run fails before converting, and leaves it as it was. A symbolic link is no
// regular file, wherever it points, and what it points to is never touched either.
enum class AtTarget { Folder, DanglingLink, LinkToFile };

struct UnreplaceableCase {
  const char* name;
  AtTarget what;
};

class UnreplaceableTarget : public ::testing::TestWithParam<UnreplaceableCase> {};

TEST_P(UnreplaceableTarget, FailsAtOnceAndTouchesNothing) {
  const std::string folder = scratchSubfolder(std::string("unreplaceable_") + GetParam().name);
  const std::string target = folder + "/target.avi";
  const std::string pointedTo = scratchPath(std::string("pointed_to_by_") + GetParam().name);
  if (GetParam().what == AtTarget::Folder) {
    std::filesystem::create_directory(target);
  } else {
    if (GetParam().what == AtTarget::LinkToFile) std::ofstream(pointedTo) << "the user's file";
    std::filesystem::create_symlink(pointedTo, target);
  }
  const EncoderRun run = runEncoder(
      zandrioPath(), {"-i", clip("failure_source", {.seconds = 1.0}), "-vcodec", "msmpeg4v2",
                      "-y", target});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.errorText.find("error: cannot replace " + target +
                               ": it is not a regular file; it was left as it is"),
            std::string::npos)
      << run.errorText;
  EXPECT_EQ(run.errorText.find("Output: "), std::string::npos) << run.errorText;
  EXPECT_EQ(std::filesystem::symlink_status(target).type(),
            GetParam().what == AtTarget::Folder ? std::filesystem::file_type::directory
                                                : std::filesystem::file_type::symlink);
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"target.avi"});
  if (GetParam().what == AtTarget::LinkToFile) {
    EXPECT_EQ(std::filesystem::read_symlink(target), pointedTo);
    EXPECT_EQ(readAll(pointedTo), "the user's file");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnreplaceableTarget,
    ::testing::Values(UnreplaceableCase{"folder", AtTarget::Folder},
                      UnreplaceableCase{"dangling_link", AtTarget::DanglingLink},
                      UnreplaceableCase{"link_to_file", AtTarget::LinkToFile}),
    [](const auto& info) { return std::string(info.param.name); });

// A thread that cannot be created (here: a stack size the address space cannot hold) is a
// failure like any other. An audio-only source, so that no codec starts threads first.
TEST(Failure, ThreadThatCannotStartGivesTheErrorLineAndLeavesNothing) {
  const std::string folder = scratchSubfolder("no_threads");
  const EncoderRun run = runEncoder(
      "/bin/sh", {"-c", "ulimit -s 4000000 && ulimit -v 1500000 && exec \"$0\" \"$@\"",
                  zandrioPath(), "-i", clip("failure_audio_only", {.seconds = 1.0, .video = false}),
                  "-vcodec", "msmpeg4v2", "-y", folder + "/out.avi"});
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exitStatus, 1) << run.errorText;
  EXPECT_NE(run.errorText.find("error: cannot start"), std::string::npos) << run.errorText;
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{});
}

// A tag whose size runs past the end of the file is damaged: the reading finds its way to the
// next whole tag, so that it loses that tag alone, not the rest of the file after it.
TEST(Failure, ATagSizeRunningPastTheEndLosesThatTagAlone) {
  const std::string source = scratchPath("size-past-the-end.flv");
  std::string bytes = readAll(samplePath("h263-nellymoser-no-metadata.flv"));
  bytes.replace(17816 + 5, 3, "\xff\xff\xf0");  // the size of the tag 1.04 s in
  std::ofstream(source, std::ios::binary) << bytes;
  const std::string folder = scratchSubfolder("size_past_the_end");
  const std::string target = folder + "/out.avi";
  const EncoderRun run = runEncoder(zandrioPath(), {"-i", source, "-vcodec", "msmpeg4v2", "-y", target});
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  const MediaFacts facts = readMediaFacts(target);
  EXPECT_GT(facts.videoSeconds, 6.5);
  EXPECT_GT(facts.audioSeconds, 6.5);
}

TEST(Failure, UnwritableTargetFolderIsReported) {
  const EncoderRun run = runEncoder(
      zandrioPath(), {"-i", clip("failure_source", {.seconds = 1.0}), "-vcodec", "msmpeg4v2", "-y",
                      scratchPath("no-such-folder/out.avi")});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.errorText.find("error: cannot create"), std::string::npos) << run.errorText;
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
};

class UsageRefusal : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageRefusal, ExitsWithStatusTwoAndTheUsage) {
  const EncoderRun run = runEncoder(zandrioPath(), GetParam().args);
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_NE(run.errorText.find("usage: zandrio -i SOURCE"), std::string::npos) << run.errorText;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageRefusal,
    ::testing::Values(UsageCase{"nothing", {}},
                      UsageCase{"wmv2_on_zandrio", {"-i", "a.flv", "-vcodec", "wmv2", "-y", "a.wmv"}},
                      UsageCase{"no_target", {"-i", "a.flv", "-vcodec", "msmpeg4v2"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Damaged input under both builds: a non-zero exit or a valid output, never a crash or a hang.
struct DamagedCase {
  const char* name;
  bool asan;
};

class DamagedInput : public ::testing::TestWithParam<DamagedCase> {
 protected:
  // A scratch path of this build's own.
  std::string path(const char* stem, const char* extension) {
    return scratchPath(stem + std::string("_") + GetParam().name + extension);
  }
  // Runs this build with `args`: it must end by itself, not by a signal.
  EncoderRun runThisBuild(const std::vector<std::string>& args) {
    const EncoderRun run = runEncoder(GetParam().asan ? zandrioAsanPath() : zandrioPath(), args,
                                      std::chrono::seconds(30));
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.signal, 0) << run.errorText;
    return run;
  }
  EncoderRun convert(const std::string& source, const std::string& target) {
    return runThisBuild({"-i", source, "-vcodec", "mpeg2video", "-y", target});
  }
};

TEST_P(DamagedInput, TruncatedClipConvertsWhatItHas) {
  const std::string source = path("truncated", ".flv");
  flv_fixture::makeClip(source, {.seconds = 4.0});
  flv_fixture::truncateFile(source, 0.5);
  const std::string target = path("truncated", ".mpg");
  const EncoderRun run = convert(source, target);
  EXPECT_LT(run.seconds, 15);
  EXPECT_EQ(run.exitStatus, 0) << run.errorText;
  const MediaFacts facts = readMediaFacts(target);
  EXPECT_GT(facts.videoSeconds, 0.5);
  EXPECT_LT(facts.videoSeconds, 3.5);
}

TEST_P(DamagedInput, ProbeOfTruncatedClipEnds) {
  const std::string source = path("cut_probe", ".flv");
  flv_fixture::makeClip(source, {.seconds = 3.0, .durationMetadata = false});
  flv_fixture::truncateFile(source, 0.3);
  const EncoderRun run = runThisBuild({"-i", source});
  EXPECT_EQ(run.exitStatus, 0) << run.errorText;
}

TEST_P(DamagedInput, CorruptedBytesNeverCrash) {
  const std::string source = path("corrupt", ".flv");
  flv_fixture::makeClip(source, {.seconds = 3.0});
  {
    std::fstream file(source, std::ios::binary | std::ios::in | std::ios::out);
    const auto size = std::filesystem::file_size(source);
    unsigned state = 12345;
    for (int i = 0; i < 400; ++i) {
      state = state * 1103515245 + 12345;
      file.seekp(static_cast<std::streamoff>(200 + state % (size - 200)));
      file.put(static_cast<char>(state >> 16));
    }
  }
  const EncoderRun run = convert(source, path("corrupt", ".mpg"));
  EXPECT_TRUE(run.exitStatus == 0 || run.exitStatus == 1) << run.errorText;
  EXPECT_EQ(run.errorText.find("runtime error"), std::string::npos) << run.errorText;
}

TEST_P(DamagedInput, GarbageFailsQuickly) {
  const std::string source = path("random", ".flv");
  {
    std::ofstream file(source, std::ios::binary);
    file << "FLV\x01\x05";
    unsigned state = 99;
    for (int i = 0; i < 50000; ++i) {
      state = state * 1103515245 + 12345;
      file.put(static_cast<char>(state >> 16));
    }
  }
  const EncoderRun run = convert(source, path("random", ".mpg"));
  EXPECT_EQ(run.exitStatus, 1) << run.errorText;
  EXPECT_LT(run.seconds, 10);
}

INSTANTIATE_TEST_SUITE_P(Builds, DamagedInput,
                         ::testing::Values(DamagedCase{"plain", false}, DamagedCase{"asan", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
