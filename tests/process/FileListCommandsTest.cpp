#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/FileListCommands.h"
#include "tests/process/FakeMainDialog.h"
#include "tests/process/TemporaryFolder.h"

namespace {

using namespace std::chrono_literals;

// The commands over a fake dialog, with the test child standing in for both encoders: as a
// probe or a conversion it writes its source file's text to standard error and exits 0.
class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.folderBox = root;
    dialog.dispatch = [this](WPARAM wParam, LPARAM lParam) {
      EXPECT_EQ(commands.onEncoderNotify(wParam, lParam), 1);
    };
  }
  std::string clip(const std::string& name, int seconds) {
    std::ofstream(root + name) << "  Duration: 00:00:" << (seconds < 10 ? "0" : "")
                               << seconds << ".00, start: 0.000000\n";
    return root + name;
  }
  void addFiles(std::vector<std::string> paths) {
    dialog.chosenFiles = std::move(paths);
    commands.add();
  }

  TemporaryFolder folder;
  const std::string& root = folder.path();
  FakeMainDialog dialog;
  ConversionSettings settings = defaultConversionSettings();
  EncoderPaths paths{RUNNER_CHILD, RUNNER_CHILD, "", ""};
  ConversionLog log{root + "vidmora.log"};
  FileListCommands commands{dialog, settings, paths, log, dialog.poster(),
                            RunnerStopPauses{1ms, 1ms, 1ms}, 0ms};
};

}  // namespace

TEST_F(Commands, AddWithNothingChosenChangesNothing) {
  addFiles({});
  EXPECT_TRUE(dialog.hidden.empty());
  EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(Commands, ClearDuringAProbeDiscardsPendingRowsAndTheResult) {
  addFiles({clip("a.flv", 5), clip("b.flv", 6)});
  commands.clear();
  dialog.runUntilProbed();
  std::this_thread::sleep_for(50ms);
  dialog.drainMessages();
  EXPECT_TRUE(dialog.hidden.empty());
  EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(Commands, RemoveDeletesEverySelectedRowAndKeepsPendingOnes) {
  for (int i = 1; i <= 5; ++i) dialog.addListedRow("/r" + std::to_string(i), "5", i % 2 == 0);
  dialog.appendPendingRow("/pending");
  commands.remove();
  std::vector<std::string> left;
  for (const auto& row : dialog.hidden) left.push_back(row.path);
  EXPECT_EQ(left, (std::vector<std::string>{"/r1", "/r3", "/r5", "/pending"}));
}

TEST_F(Commands, BrowseEndsTheFolderInExactlyOneSlash) {
  for (const auto& [chosen, shown] : {std::pair{"/media/out", "/media/out/"}, {"/", "/"},
                                      {"/media/out/", "/media/out/"}}) {
    dialog.chosenFolder = chosen;
    commands.browse();
    EXPECT_EQ(dialog.folderBox, shown);
  }
  dialog.chosenFolder = "";  // cancelled
  commands.browse();
  EXPECT_EQ(dialog.folderBox, "/media/out/");
}

TEST_F(Commands, RowsStillPendingWhenABatchEndsAreProbedThen) {
  addFiles({clip("a.flv", 5)});
  dialog.runUntilProbed();
  addFiles({clip("b.flv", 6), clip("c.flv", 7)});
  commands.startOrStop();  // stops the probe of b.flv and converts a.flv
  EXPECT_TRUE(commands.converting());
  dialog.runUntilProbed();
  EXPECT_FALSE(commands.converting());
  EXPECT_EQ(dialog.messages, std::vector<std::string>{"All Flv files have been converted!"});
  EXPECT_EQ(dialog.visiblePaths(), (std::vector<std::string>{root + "a.flv", root + "b.flv",
                                                             root + "c.flv"}));
  EXPECT_EQ(dialog.statuses(), (std::vector<std::string>{"Done", "Ready", "Ready"}));
}
