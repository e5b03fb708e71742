#include "engine/SourceFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/process/TemporaryFolder.h"

namespace {

namespace fs = std::filesystem;

class SourceFolderTest : public testing::Test {
 protected:
  void file(const std::string& relative) {
    fs::create_directories(fs::path(root.path() + relative).parent_path());
    std::ofstream(root.path() + relative) << "FLV";
  }
  std::vector<std::string> found(const std::string& relative = "") {
    std::vector<std::string> paths;
    for (const std::string& path : FlvFilesInFolder(root.path() + relative))
      paths.push_back(path.substr(root.path().size()));
    return paths;
  }
  TemporaryFolder root;
};

TEST_F(SourceFolderTest, NestedFilesOfAnyLetterCaseComeInNameOrder) {
  file("b/clip 10.flv");
  file("b/clip 2.FLV");
  file("a.Flv");
  file("C/deeper/still/x.flv");
  file("notes.txt");
  file("b.flv.part");
  file("flv");
  fs::create_directories(root.path() + "empty");
  EXPECT_EQ(found(), (std::vector<std::string>{"a.Flv", "b/clip 2.FLV", "b/clip 10.flv",
                                               "C/deeper/still/x.flv"}));
  // Without the trailing '/', the same paths.
  const std::string bare = root.path().substr(0, root.path().size() - 1);
  EXPECT_EQ(FlvFilesInFolder(bare).front(), root.path() + "a.Flv");
}

TEST_F(SourceFolderTest, HiddenEntriesAndLinksToFoldersAreSkippedLinksToFilesKept) {
  file("shown.flv");
  file(".hidden.flv");
  file(".cache/inside.flv");
  file("sub/real.flv");
  ASSERT_EQ(symlink((root.path() + "sub").c_str(), (root.path() + "sub/loop").c_str()), 0);
  ASSERT_EQ(symlink(root.path().c_str(), (root.path() + "up").c_str()), 0);
  ASSERT_EQ(symlink((root.path() + "shown.flv").c_str(), (root.path() + "alias.flv").c_str()), 0);
  ASSERT_EQ(symlink((root.path() + "gone.flv").c_str(), (root.path() + "dangling.flv").c_str()), 0);
  ASSERT_EQ(mkfifo((root.path() + "pipe.flv").c_str(), 0600), 0);
  EXPECT_EQ(found(), (std::vector<std::string>{"alias.flv", "shown.flv", "sub/real.flv"}));
}

TEST_F(SourceFolderTest, AFolderWithoutFlvFilesOrUnreadableGivesNothing) {
  file("only/text.txt");
  EXPECT_TRUE(found("only").empty());
  EXPECT_TRUE(found("missing").empty());
  EXPECT_TRUE(FlvFilesInFolder("").empty());
}

TEST(NameOrder, LetterCaseAsideNumbersByValue) {
  const std::vector<std::pair<std::string, std::string>> ordered = {
      {"a", "B"},           {"clip 2", "clip 10"}, {"clip 02", "clip 3"},
      {"x9y", "x10a"},      {"abc", "abcd"},       {"Same", "same"},
      {"take 007", "take 7"}, {"a.flv", "a0.flv"}, {"z 1", "z 1 b"},
  };
  for (const auto& [first, second] : ordered) {
    EXPECT_TRUE(ComesBeforeByName(first, second)) << first << " before " << second;
    EXPECT_FALSE(ComesBeforeByName(second, first)) << second << " not before " << first;
  }
  EXPECT_FALSE(ComesBeforeByName("same", "same"));
}

}  // namespace
