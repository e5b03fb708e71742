#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/OutputNaming.h"
#include "tests/process/TemporaryFolder.h"

namespace fs = std::filesystem;

namespace {
class OutputNaming : public ::testing::Test {
 protected:
  void SetUp() override { settings.outputFolder = temporary.path(); }
  void touch(const std::string& name, const std::string& content = "old") {
    std::ofstream(folder / name) << content;
  }
  std::string out(const std::string& name) const { return settings.outputFolder + name; }

  TemporaryFolder temporary;
  const fs::path folder = temporary.path();
  ConversionSettings settings = defaultConversionSettings();
};
}  // namespace

TEST_F(OutputNaming, BaseNameLosesFourBytesAfterTheLastSlash) {
  EXPECT_EQ(sourceBaseName("/home/ann/clips/talk.flv"), "talk");
  EXPECT_EQ(sourceBaseName("/home/ann/clips/TALK.FLV"), "TALK");
  EXPECT_EQ(sourceBaseName("/clips/video.mpeg"), "video.");
  EXPECT_EQ(sourceBaseName("/clips/.flv"), "");
  EXPECT_EQ(sourceBaseName("/clips/ab"), "");
  EXPECT_EQ(sourceBaseName("noslash.flv"), "noslash");
  EXPECT_EQ(sourceBaseName("/dir.with.dots/clip"), "");
}

TEST_F(OutputNaming, PlainTargetPerFormatWithLowerCaseExtension) {
  const auto avi = resolveTarget("/clips/TALK.FLV", settings);
  ASSERT_TRUE(avi);
  EXPECT_EQ(avi->path, out("TALK.avi"));
  EXPECT_EQ(avi->outcome, Fresh);
  settings.format = Mpeg;
  EXPECT_EQ(resolveTarget("/clips/talk.flv", settings)->path, out("talk.mpg"));
  settings.format = Wmv;
  EXPECT_EQ(resolveTarget("/clips/talk.flv", settings)->path, out("talk.wmv"));
  settings.format = Avi;
  EXPECT_EQ(resolveTarget("/clips/video.mpeg", settings)->path, out("video..avi"));
}

TEST_F(OutputNaming, AutoRenameTakesTheFirstFreeNumberFillingGaps) {
  touch("talk.avi");
  touch("talk_1.avi");
  auto target = resolveTarget("/clips/talk.flv", settings);
  ASSERT_TRUE(target);
  EXPECT_EQ(target->path, out("talk_2.avi"));
  EXPECT_EQ(target->outcome, Numbered);

  fs::remove(folder / "talk_1.avi");
  touch("talk_2.avi");
  EXPECT_EQ(resolveTarget("/clips/talk.flv", settings)->path, out("talk_1.avi"));

  for (int n = 1; n <= 120; ++n) touch("talk_" + std::to_string(n) + ".avi");
  EXPECT_EQ(resolveTarget("/clips/talk.flv", settings)->path, out("talk_121.avi"));
}

TEST_F(OutputNaming, SameNameFromTwoFoldersUnderEachPolicy) {
  ASSERT_EQ(resolveTarget("/a/talk.flv", settings)->outcome, Fresh);
  touch("talk.avi");  // the first source's output
  EXPECT_EQ(resolveTarget("/b/talk.flv", settings)->path, out("talk_1.avi"));

  settings.existingFilePolicy = Overwrite;
  const auto replaced = resolveTarget("/b/talk.flv", settings);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(replaced->path, out("talk.avi"));
  EXPECT_EQ(replaced->outcome, Replaced);

  settings.existingFilePolicy = Skip;
  EXPECT_FALSE(resolveTarget("/b/talk.flv", settings));
}

TEST_F(OutputNaming, OverwriteLeavesTheOldFileUntilTheEncoderReplacesIt) {
  touch("talk.avi", "precious");
  settings.existingFilePolicy = Overwrite;
  ASSERT_EQ(resolveTarget("/clips/talk.flv", settings)->outcome, Replaced);
  std::ifstream old(folder / "talk.avi");
  std::string content;
  old >> content;
  EXPECT_EQ(content, "precious");
}

TEST_F(OutputNaming, FoldersDoNotCountAsExisting) {
  fs::create_directory(folder / "talk.avi");
  const auto target = resolveTarget("/clips/talk.flv", settings);
  ASSERT_TRUE(target);
  EXPECT_EQ(target->path, out("talk.avi"));
  EXPECT_EQ(target->outcome, Fresh);
}

TEST_F(OutputNaming, UnreadableFilesDoNotCountAsExisting) {
  touch("locked.avi");
  fs::permissions(folder / "locked.avi", fs::perms::none);
  if (access((folder / "locked.avi").c_str(), R_OK) == 0)
    GTEST_SKIP() << "running with rights that read any file";
  EXPECT_EQ(resolveTarget("/clips/locked.flv", settings)->outcome, Fresh);
}

// The names a source may be given under every policy: those a conversion running towards
// them makes the source wait for in a batch of several at once.
TEST_F(OutputNaming, NamesOfASourceAreItsPlainAndNumberedTargets) {
  const std::string source = "/clips/talk.flv";
  EXPECT_EQ(plainTarget(source, settings), out("talk.avi"));
  const struct {
    std::string path;
    bool mayBe;
  } cases[] = {
      {out("talk.avi"), true},         {out("talk_1.avi"), true},
      {out("talk_12.avi"), true},      {out("talk_.avi"), false},
      {out("talk_1_1.avi"), false},    {out("talk_x.avi"), false},
      {out("talks.avi"), false},       {out("talk.mpg"), false},
      {out("sub/talk.avi"), false},    {"/elsewhere/talk.avi", false},
      {out("talk.avi.avi"), false},
  };
  for (const auto& c : cases) EXPECT_EQ(mayBeTargetOf(c.path, source, settings), c.mayBe) << c.path;
  // A source whose own name ends in a number is one of another's numbered names.
  EXPECT_TRUE(mayBeTargetOf(plainTarget("/b/talk_1.flv", settings), source, settings));
  EXPECT_FALSE(mayBeTargetOf(plainTarget(source, settings), "/b/talk_1.flv", settings));
}
