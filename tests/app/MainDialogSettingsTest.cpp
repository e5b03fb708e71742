#include "app/SummaryLine.h"
#include "res/OutputSettingsTemplate.h"
#include "tests/app/MainDialogHarness.h"
#include "tests/app/SettingsDialogDriver.h"
#include "tests/platform/FileDrag.h"
#include "platform/MessageQueue.h"

TEST_F(MainDialogTest, SettingsOkRebuildsTheSummaryLineAndCancelLeavesIt) {
  open();
  whenSettingsDialogOpens(
      [](HWND d) { act(d, {{IDC_FORMAT_WMV}, {IDC_DEFAULT_QUALITY}, {IDOK}}); });
  click(1003);
  const std::string wmv =
      "Output:WMV, Video:500kb/s, Audio:128kb/s, Framerate:29.97f/s, Size: Original";
  EXPECT_EQ(GetWindowTextA(item(1015)), wmv);
  saveShot("main-dialog-after-settings");
  whenSettingsDialogOpens(
      [](HWND d) { act(d, {{IDC_FORMAT_MPEG}, {IDC_DEFAULT_QUALITY}, {IDCANCEL}}); });
  click(1003);
  EXPECT_EQ(GetWindowTextA(item(1015)), wmv);
  EXPECT_TRUE(hook.messages.empty());
}

// Under a modal dialog the main window takes no drops, as it takes no other input; the
// dialog takes none either. Both refuse the drag, so the pointer shows it.
TEST_F(MainDialogTest, DropsAreRefusedWhileAModalDialogIsOpen) {
  shipEncoders();
  open();
  const std::string clip = testClip("a.flv", 2);
  whenSettingsDialogOpens([&](HWND d) {
    EXPECT_FALSE(drop({clip})) << "on the main window";
    EXPECT_FALSE(DropUriList(d, {20, 20}, FileUrl(clip) + "\r\n")) << "on the dialog";
    ::click(d, IDCANCEL);
  });
  click(1003);
  PumpWaitingMessages();
  EXPECT_TRUE(column(1014, 0).empty());
  EXPECT_TRUE(drop({clip})) << "taken again once the dialog is closed";
}
