#include <string>
#include <vector>

#include "tests/app/MainDialogHarness.h"

namespace {
// The ways files come in besides the Add button: the command line, a drop from the file
// manager. Both add the files as Add does (MainDialogConversionTest).
enum class Route { CommandLine, Drop };

class FilesFromOutside : public MainDialogTest, public testing::WithParamInterface<Route> {};

TEST_P(FilesFromOutside, AreProbedInOrderAndTheUnloadableOnesRefused) {
  shipEncoders();
  const std::string first = testClip("first.flv", 2), spaced = testClip("with space #1.flv", 3);
  const std::vector<std::string> files{first, notAVideo(), spaced, testClip("blink.flv", 0.5)};
  switch (GetParam()) {
    case Route::CommandLine:
      open(files);
      break;
    case Route::Drop:
      open();
      EXPECT_TRUE(drop(files));
      break;
  }
  pumpUntil([&] { return column(1007, 0).size() + hook.messages.size() == files.size(); });
  EXPECT_EQ(column(1007, 0), (std::vector<std::string>{first, spaced}));
  EXPECT_EQ(column(1007, 1), (std::vector<std::string>{"00:00:02", "00:00:03"}));
  EXPECT_EQ(column(1007, 2), (std::vector<std::string>{"Ready", "Ready"}));
  EXPECT_EQ(column(1014, 0), (std::vector<std::string>{first, spaced}));
  EXPECT_EQ(hook.messages,
            (std::vector<std::string>{"Warning: Failed to load: " + notAVideo() + " (i)",
                                      "Warning: Failed to load: " + files[3] + " (i)"}));
  if (GetParam() == Route::Drop) saveShot("main-dropped");
}

std::string RouteName(const testing::TestParamInfo<Route>& info) {
  const char* const names[] = {"CommandLine", "Drop"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Routes, FilesFromOutside,
                         testing::Values(Route::CommandLine, Route::Drop), RouteName);
}  // namespace
