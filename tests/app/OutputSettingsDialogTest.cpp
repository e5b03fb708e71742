#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "app/OutputSettingsDialog.h"
#include "platform/Resources.h"
#include "platform/WindowCalls.h"
#include "res/OutputSettingsTemplate.h"
#include "res/ProgramResources.h"
#include "tests/app/SettingsDialogDriver.h"

namespace {
using Strings = std::vector<std::string>;

// The texts of the lists and size edits: video, audio, frame rate, width, height, policy.
Strings choiceTexts(HWND d) {
  Strings all;
  for (int id : {IDC_VIDEO_BITRATE, IDC_AUDIO_BITRATE, IDC_FRAME_RATE, IDC_WIDTH, IDC_HEIGHT,
                 IDC_EXISTING_FILE_POLICY})
    all.push_back(text(d, id));
  return all;
}

// The names of the controls of `named` that `holds` is true of.
Strings namesOf(HWND d, bool (*holds)(HWND, int),
                std::initializer_list<std::pair<int, const char*>> named) {
  Strings names;
  for (const auto& [id, name] : named)
    if (holds(d, id)) names.push_back(name);
  return names;
}
Strings checkedButtons(HWND d) {
  return namesOf(d, isChecked,
                 {{IDC_FORMAT_AVI, "AVI"}, {IDC_FORMAT_MPEG, "MPEG"}, {IDC_FORMAT_WMV, "WMV"},
                  {IDC_MPEG1, "MPEG1"}, {IDC_MPEG2, "MPEG2"}, {IDC_DEFAULT_QUALITY, "Default"},
                  {IDC_SIZE_ORIGINAL, "Original"}, {IDC_SIZE_CUSTOM, "Custom"}});
}
// The version buttons, lists and edits that are enabled.
Strings enabledChoices(HWND d) {
  return namesOf(d, isEnabled,
                 {{IDC_MPEG1, "MPEG1"}, {IDC_MPEG2, "MPEG2"}, {IDC_VIDEO_BITRATE, "video"},
                  {IDC_AUDIO_BITRATE, "audio"}, {IDC_FRAME_RATE, "rate"}, {IDC_WIDTH, "width"},
                  {IDC_HEIGHT, "height"}});
}

// The dialog opened modeless, so a test can act between its steps; OK and Cancel end it
// the way they end the modal one.
class OutputSettings : public testing::Test {
 protected:
  void SetUp() override {
    AfxSetResourceHandle(ProgramResources());
    SetModalHook(&hook);
  }
  void TearDown() override { SetModalHook(nullptr); }
  HWND open() {
    dialog.emplace(settings);
    EXPECT_TRUE(dialog->Create());
    return dialog->m_hWnd;
  }
  bool isOpen() { return IsWindow(dialog->m_hWnd); }
  // The dialog's copy of the settings.
  ConversionSettings copy() { return dialog->chosenSettings(); }

  BoxRecorder hook;
  ConversionSettings settings = defaultConversionSettings();
  std::optional<OutputSettingsDialog> dialog;
};

TEST_F(OutputSettings, OpensRightAfterStartUpWithTheStartUpChoices) {
  HWND d = open();
  EXPECT_EQ(GetWindowTextA(d), "Output Settings");
  EXPECT_EQ(checkedButtons(d), (Strings{"AVI", "MPEG2", "Default", "Original"}));
  EXPECT_EQ(enabledChoices(d), Strings{});
  EXPECT_EQ(choiceTexts(d), (Strings{"500", "128", "29.97", "320", "240", "Auto Rename."}));
  saveShot(d, "output-settings-start-up");
}

TEST_F(OutputSettings, TabOrderFollowsTheTemplateAndSkipsDisabledControls) {
  HWND d = open();
  std::vector<int> order;
  HWND first = GetNextDlgTabItem(d, nullptr, FALSE);
  for (HWND control = first; control != nullptr && order.size() < 20;) {
    order.push_back(GetDlgCtrlID(control));
    control = GetNextDlgTabItem(d, control, FALSE);
    if (control == first) break;
  }
  EXPECT_EQ(order, (std::vector<int>{IDC_FORMAT_AVI, IDOK, IDCANCEL, IDC_SIZE_ORIGINAL,
                                     IDC_EXISTING_FILE_POLICY, IDC_RESET, IDC_DEFAULT_QUALITY}));
}

TEST_F(OutputSettings, TheThreeRadioGroupsAreIndependent) {
  HWND d = open();
  act(d, {{IDC_FORMAT_MPEG}, {IDC_MPEG1}, {IDC_SIZE_CUSTOM}});
  EXPECT_EQ(checkedButtons(d), (Strings{"MPEG", "MPEG1", "Default", "Custom"}));
}

TEST_F(OutputSettings, ListsHoldTheirItemsUnsortedInOrder) {
  HWND d = open();
  EXPECT_EQ(items(d, IDC_VIDEO_BITRATE),
            (Strings{"100", "150", "200", "250", "300", "350", "400", "450", "500", "550", "600",
                     "750", "800", "850", "900", "1150", "1500", "1950", "2376"}));
  EXPECT_EQ(items(d, IDC_AUDIO_BITRATE), (Strings{"32", "48", "56", "64", "80", "96", "112", "128",
                                                  "160", "192", "224", "256", "320", "384"}));
  EXPECT_EQ(items(d, IDC_FRAME_RATE),
            (Strings{"10.00", "15.00", "20.00", "23.97", "24.00", "25.00", "29.97", "30.00"}));
  EXPECT_EQ(items(d, IDC_EXISTING_FILE_POLICY), (Strings{"Auto Rename.", "Overwrite.", "Skip."}));
}

TEST_F(OutputSettings, OpensOnTheStoredChoices) {
  settings = mpeg1WithQualityAndSize();
  settings.existingFilePolicy = Skip;
  HWND d = open();
  EXPECT_EQ(checkedButtons(d), (Strings{"MPEG", "MPEG1", "Custom"}));
  EXPECT_EQ(enabledChoices(d),
            (Strings{"MPEG1", "MPEG2", "video", "audio", "rate", "width", "height"}));
  EXPECT_EQ(choiceTexts(d), (Strings{"800", "192", "25.00", "640", "480", "Skip."}));
  saveShot(d, "output-settings-stored");
  click(d, IDOK);
  EXPECT_FALSE(isOpen());
  EXPECT_EQ(copy(), settings);
}

TEST_F(OutputSettings, TextMatchingNoItemExactlyLeavesNoSelectionAndIsKeptByOk) {
  settings.frameRate = "23.976";
  settings.videoBitrate = "500 ";
  HWND d = open();
  EXPECT_EQ(choiceTexts(d), (Strings{"", "128", "", "320", "240", "Auto Rename."}));
  click(d, IDOK);
  EXPECT_EQ(dialog->chosenSettings().frameRate, "23.976");
  EXPECT_EQ(dialog->chosenSettings().videoBitrate, "500 ");
}

TEST_F(OutputSettings, MpegEnablesTheVersionsAndAviOrWmvDisablesThemKeepingTheirMarks) {
  HWND d = open();
  click(d, IDC_FORMAT_MPEG);
  EXPECT_EQ(enabledChoices(d), (Strings{"MPEG1", "MPEG2"}));
  EXPECT_EQ(checkedButtons(d), (Strings{"MPEG", "MPEG2", "Default", "Original"}));
  act(d, {{IDC_MPEG1}, {IDC_FORMAT_AVI}});
  EXPECT_EQ(enabledChoices(d), Strings{});
  EXPECT_EQ(checkedButtons(d), (Strings{"AVI", "MPEG1", "Default", "Original"}));
  click(d, IDC_FORMAT_WMV);
  EXPECT_EQ(enabledChoices(d), Strings{});
  click(d, IDOK);
  // The version is read whatever the format, also from disabled buttons.
  EXPECT_EQ(dialog->chosenSettings().format, Wmv);
  EXPECT_EQ(dialog->chosenSettings().mpegVersion, 1);
}

TEST_F(OutputSettings, DefaultSwitchChangesTheCopyAtOnceAndEnablesTheLists) {
  HWND d = open();
  click(d, IDC_DEFAULT_QUALITY);
  EXPECT_FALSE(dialog->chosenSettings().useDefaultQuality);
  EXPECT_EQ(enabledChoices(d), (Strings{"video", "audio", "rate"}));
  click(d, IDC_DEFAULT_QUALITY);
  EXPECT_TRUE(dialog->chosenSettings().useDefaultQuality);
  EXPECT_EQ(enabledChoices(d), Strings{});
}

TEST_F(OutputSettings, SizeButtonsEnableAndDisableTheEditsKeepingTheirText) {
  HWND d = open();
  click(d, IDC_SIZE_CUSTOM);
  EXPECT_EQ(enabledChoices(d), (Strings{"width", "height"}));
  EXPECT_EQ(checkedButtons(d), (Strings{"AVI", "MPEG2", "Default", "Custom"}));
  act(d, {{IDC_WIDTH, "720"}, {IDC_SIZE_ORIGINAL}});
  EXPECT_EQ(enabledChoices(d), Strings{});
  EXPECT_EQ(text(d, IDC_WIDTH), "720");
  click(d, IDOK);
  EXPECT_EQ(dialog->chosenSettings().sizeMode, SourceSize);
  EXPECT_EQ(dialog->chosenSettings().width, 720);
}

TEST_F(OutputSettings, OkRefusesSizesBelowTenWhateverTheSizeMode) {
  struct Case {
    const char* width;
    const char* height;
    int sizeButton;
    const char* refusal;  // null: accepted
    std::int32_t acceptedWidth;
  };
  const std::int32_t largest = std::numeric_limits<std::int32_t>::max();
  const Case cases[] = {
      {"9", "240", IDC_SIZE_CUSTOM, "Invalid width!", 0},
      {"10", "10", IDC_SIZE_CUSTOM, nullptr, 10},
      {"320", "9", IDC_SIZE_CUSTOM, "Invalid height!", 0},
      {"", "240", IDC_SIZE_ORIGINAL, "Invalid width!", 0},  // emptied, then Original
      {"5", "3", IDC_SIZE_ORIGINAL, "Invalid width!", 0},   // width first, height not read
      {" 12px", "240", IDC_SIZE_CUSTOM, nullptr, 12},
      {"99999999999", "240", IDC_SIZE_CUSTOM, nullptr, largest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.width) + " x " + c.height);
    hook.boxes.clear();
    HWND d = open();
    act(d, {{IDC_SIZE_CUSTOM}, {IDC_WIDTH, c.width}, {IDC_HEIGHT, c.height}, {c.sizeButton},
            {IDOK}});
    if (c.refusal == nullptr) {
      EXPECT_TRUE(hook.boxes.empty());
      EXPECT_FALSE(isOpen());
      EXPECT_EQ(dialog->chosenSettings().width, c.acceptedWidth);
    } else {
      EXPECT_EQ(hook.boxes,
                (std::vector<BoxRecorder::Box>{{c.refusal, "Warning", MB_ICONINFORMATION}}));
      EXPECT_TRUE(isOpen());
      EXPECT_EQ(text(d, IDC_WIDTH), c.width);  // what the user entered stays
      click(d, IDCANCEL);
    }
  }
}

TEST_F(OutputSettings, ResetRestoresTheStartUpChoicesButKeepsTheDefaultSwitch) {
  settings.format = Wmv;
  settings.mpegVersion = 1;
  settings.useDefaultQuality = false;
  settings.videoBitrate = "2376";
  settings.audioBitrate = "32";
  settings.frameRate = "10.00";
  settings.sizeMode = CustomSize;
  settings.width = 1000;
  settings.height = 20;
  settings.existingFilePolicy = Overwrite;
  HWND d = open();
  click(d, IDC_RESET);
  EXPECT_EQ(checkedButtons(d), (Strings{"AVI", "MPEG2", "Original"}));  // Default stays off
  EXPECT_EQ(enabledChoices(d), (Strings{"video", "audio", "rate"}));
  EXPECT_EQ(choiceTexts(d), (Strings{"500", "128", "29.97", "320", "240", "Auto Rename."}));
  click(d, IDOK);
  ConversionSettings expected = defaultConversionSettings();
  expected.useDefaultQuality = false;
  EXPECT_EQ(copy(), expected);
}

TEST_F(OutputSettings, PolicyIsThePositionOfTheChoice) {
  HWND d = open();
  act(d, {{IDC_EXISTING_FILE_POLICY, "Skip."}, {IDOK}});
  EXPECT_EQ(dialog->chosenSettings().existingFilePolicy, Skip);
}
}  // namespace
