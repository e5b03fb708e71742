#include "platform/Paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/process/TemporaryFolder.h"

namespace {
TEST(GetFullPathNameA, RelativePathsGetTheCurrentFolderAndLoseOnlyDotsAndDoubledSlashes) {
  const TemporaryFolder current;
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(current.path().c_str()), 0);
  const std::string here = current.path();
  const struct {
    const char* given;
    std::string full;
  } cases[] = {
      {"clip.flv", here + "clip.flv"},
      {"./clip.flv", here + "clip.flv"},
      {"in//a/./clip.flv", here + "in/a/clip.flv"},
      {"../clip.flv", here + "../clip.flv"},  // kept: past a symbolic link a cut leads elsewhere
      {"/videos//x/./clip.flv", "/videos/x/clip.flv"},
      {"/videos/../clip.flv", "/videos/../clip.flv"},
      {"folder/", here + "folder/"},
  };
  for (const auto& [given, full] : cases) EXPECT_EQ(GetFullPathNameA(given), full) << given;
  ASSERT_EQ(chdir(previous), 0);
}
}  // namespace
