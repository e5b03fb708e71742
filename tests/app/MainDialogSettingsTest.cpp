#include "app/SummaryLine.h"
#include "res/OutputSettingsTemplate.h"
#include "tests/app/MainDialogHarness.h"
#include "tests/app/SettingsDialogDriver.h"

TEST_F(MainDialogTest, SettingsOkRebuildsTheSummaryLineAndCancelLeavesIt) {
  open();
  whenSettingsDialogOpens([](HWND d) {
    ::click(d, IDC_FORMAT_WMV);
    ::click(d, IDC_DEFAULT_QUALITY);
    ::click(d, IDOK);
  });
  click(1003);
  const std::string wmv =
      "Output:WMV, Video:500kb/s, Audio:128kb/s, Framerate:29.97f/s, Size: Original";
  EXPECT_EQ(GetWindowTextA(item(1015)), wmv);
  saveShot("main-dialog-after-settings");
  whenSettingsDialogOpens([](HWND d) {
    ::click(d, IDC_FORMAT_MPEG);
    ::click(d, IDC_DEFAULT_QUALITY);
    ::click(d, IDCANCEL);
  });
  click(1003);
  EXPECT_EQ(GetWindowTextA(item(1015)), wmv);
  EXPECT_TRUE(hook.messages.empty());
}
