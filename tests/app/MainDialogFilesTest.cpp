#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/MainDialogHarness.h"

namespace {
// The ways files come in besides the Add button: the command line, a drop from the file
// manager. Both add the files as Add does (MainDialogConversionTest), and a folder as the
// .flv files under it (SourceFolderTest has the rules of the reading).
enum class Route { CommandLine, Drop };

class FilesFromOutside : public MainDialogTest, public testing::WithParamInterface<Route> {};

TEST_P(FilesFromOutside, AreProbedInOrderAndTheUnloadableOnesRefused) {
  shipEncoders();
  const std::string first = testClip("first.flv", 2), spaced = testClip("with space #1.flv", 3);
  // A folder of nested clips, and one without any.
  const std::string folder = output.path() + "shows", empty = output.path() + "empty";
  const std::string nested[] = {folder + "/day 2/Part 1.FLV", folder + "/day 10/a.flv",
                                folder + "/intro.flv"};
  for (const std::string& clip : nested) {
    std::filesystem::create_directories(std::filesystem::path(clip).parent_path());
    std::filesystem::copy_file(first, clip);
  }
  std::filesystem::copy_file(first, folder + "/.trash.flv");
  ASSERT_EQ(mkdir(empty.c_str(), 0755), 0);
  const Strings files{first, notAVideo(), folder, spaced, empty, testClip("blink.flv", 0.5)};
  switch (GetParam()) {
    case Route::CommandLine:
      open(files);
      break;
    case Route::Drop:
      open();
      EXPECT_TRUE(drop(files));
      break;
  }
  const Strings listed{first, nested[0], nested[1], nested[2], spaced};
  pumpUntil([&] { return column(1007, 0).size() + hook.messages.size() == listed.size() + 3; });
  EXPECT_EQ(column(1007, 0), listed);
  EXPECT_EQ(column(1007, 1),
            (Strings{"00:00:02", "00:00:02", "00:00:02", "00:00:02", "00:00:03"}));
  EXPECT_EQ(column(1007, 2), Strings(5, "Ready"));
  EXPECT_EQ(column(1014, 0), listed);
  EXPECT_EQ(hook.messages,
            (Strings{failedToLoad(notAVideo()), failedToLoad(empty), failedToLoad(files[5])}));
  if (GetParam() == Route::Drop) saveShot("main-dropped");
}

std::string RouteName(const testing::TestParamInfo<Route>& info) {
  const char* const names[] = {"CommandLine", "Drop"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Routes, FilesFromOutside,
                         testing::Values(Route::CommandLine, Route::Drop), RouteName);
}  // namespace
