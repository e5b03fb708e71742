#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SettingsCommand.h"
#include "app/SummaryLine.h"
#include "engine/BatchDriver.h"
#include "platform/Resources.h"
#include "platform/WindowCalls.h"
#include "res/OutputSettingsTemplate.h"
#include "res/ProgramResources.h"
#include "tests/app/SettingsDialogDriver.h"
#include "tests/process/TemporaryFolder.h"

namespace {
class SettingsCommand : public testing::Test {
 protected:
  void SetUp() override {
    AfxSetResourceHandle(ProgramResources());
    SetModalHook(&hook);
    settings.outputFolder = "/kept/folder/";
  }
  void TearDown() override { SetModalHook(nullptr); }

  BoxRecorder hook;
  ConversionSettings settings = defaultConversionSettings();
};

TEST_F(SettingsCommand, OkWritesEveryChoiceBackButNotTheOutputFolder) {
  EXPECT_TRUE(runSettingsCommand(settings, [](HWND d) {
    chooseMpeg1WithQualityAndSize(d);
    act(d, {{IDC_EXISTING_FILE_POLICY, "Overwrite."}, {IDOK}});
  }));
  ConversionSettings expected = mpeg1WithQualityAndSize();
  expected.existingFilePolicy = Overwrite;
  expected.outputFolder = "/kept/folder/";
  EXPECT_EQ(settings, expected);
}

TEST_F(SettingsCommand, CancelAndTheCloseBoxChangeNothing) {
  settings.format = Wmv;
  settings.useDefaultQuality = false;
  const ConversionSettings before = settings;
  const std::string line = summaryLineText(settings);
  EXPECT_FALSE(runSettingsCommand(
      settings, [](HWND d) { act(d, {{IDC_RESET}, {IDC_DEFAULT_QUALITY}, {IDCANCEL}}); }));
  EXPECT_FALSE(runSettingsCommand(settings, [](HWND d) {
    chooseMpeg1WithQualityAndSize(d);
    SendMessage(d, WM_CLOSE, 0, 0);
  }));
  EXPECT_EQ(settings, before);
  EXPECT_EQ(summaryLineText(settings), line);
}

TEST_F(SettingsCommand, RefusedOkKeepsTheDialogOpenUntilCorrected) {
  EXPECT_TRUE(runSettingsCommand(settings, [](HWND d) {
    act(d, {{IDC_SIZE_CUSTOM}, {IDC_WIDTH, "9"}, {IDOK}, {IDC_WIDTH, "10"}, {IDC_HEIGHT, "10"},
            {IDOK}});
  }));
  EXPECT_EQ(hook.boxes,
            (std::vector<BoxRecorder::Box>{{"Invalid width!", "Warning", MB_ICONINFORMATION}}));
  EXPECT_EQ(settings.sizeMode, CustomSize);
  EXPECT_EQ(settings.width, 10);
  EXPECT_EQ(settings.height, 10);
}

TEST_F(SettingsCommand, EveryOpeningShowsTheCurrentSettings) {
  runSettingsCommand(settings, [](HWND d) { act(d, {{IDC_FORMAT_WMV}, {IDOK}}); });
  runSettingsCommand(settings, [](HWND d) { act(d, {{IDC_FORMAT_AVI}, {IDCANCEL}}); });
  runSettingsCommand(settings, [](HWND d) {
    EXPECT_TRUE(isChecked(d, IDC_FORMAT_WMV));
    click(d, IDCANCEL);
  });
}

TEST_F(SettingsCommand, SummaryLineShowsTheChoicesMade) {
  struct Case {
    void (*steps)(HWND);
    const char* line;
  };
  const Case cases[] = {
      {[](HWND) {}, "Output:AVI, Size: Original"},
      {chooseMpeg1WithQualityAndSize,
       "Output:MPEG1, Video:800kb/s, Audio:192kb/s, Framerate:25.00f/s, Size: 640x480"},
      {[](HWND d) { act(d, {{IDC_FORMAT_WMV}, {IDC_DEFAULT_QUALITY}}); },
       "Output:WMV, Video:500kb/s, Audio:128kb/s, Framerate:29.97f/s, Size: Original"},
  };
  for (const Case& c : cases) {
    ConversionSettings chosen = defaultConversionSettings();
    EXPECT_TRUE(runSettingsCommand(chosen, [&c](HWND d) {
      c.steps(d);
      click(d, IDOK);
    }));
    EXPECT_EQ(summaryLineText(chosen), c.line);
  }
}

// The main dialog as a batch sees it, with one listed source of 60 seconds.
class OneRowView : public FileList, public BatchView, public MessageBoxes {
 public:
  explicit OneRowView(std::string folder) : folder(std::move(folder)) {}
  int visibleRowCount() override { return 1; }
  int hiddenRowCount() override { return 1; }
  std::string sourcePath(int) override { return "/in/clip.flv"; }
  std::string durationText(int) override { return "60"; }
  void setDurationText(int, const std::string&) override {}
  void insertVisibleRow(int, const std::string&, const std::string&, const std::string&) override {}
  void setStatus(int, const std::string&) override {}
  void setStatusTip(int, const std::string&) override {}
  void deleteHiddenRow(int) override {}
  std::string outputFolderText() override { return folder; }
  void enableBatchControls(bool) override {}
  void setStartCaption(const std::string&) override {}
  void setProgressRange(std::int32_t) override {}
  void setProgressPosition(std::int32_t) override {}
  void showMessage(const std::string&, const std::string&, bool) override {}

 private:
  std::string folder;
};

class RecordingRunner : public EncoderRunner {
 public:
  std::vector<std::string> commands;
  void Stop() override {}
  bool StartProbe(const EncoderCommand&) override { return false; }
  bool StartConversion(const EncoderCommand& command) override {
    commands.push_back(command);
    return true;
  }
  std::uint32_t jobNumber() const override { return 1; }
  int processId() const override { return 0; }
  std::string failureLine() const override { return {}; }
};

TEST_F(SettingsCommand, ChoicesReachTheNextConversionsCommandLine) {
  TemporaryFolder output;
  OneRowView view(output.path());
  RecordingRunner runner;
  const std::string encoder = "/sys/zandrio.dll", companion = "/sys/quimbel.dll";
  ConversionLog log(output.path() + "vidmora.log");
  BatchDriver batch(view, view, view, runner, settings, encoder, companion, log,
                    std::chrono::milliseconds(0));
  ASSERT_TRUE(runSettingsCommand(settings, [](HWND d) {
    chooseMpeg1WithQualityAndSize(d);
    click(d, IDOK);
  }));
  batch.startBatch();
  ASSERT_EQ(runner.commands.size(), 1u);
  EXPECT_EQ(runner.commands[0],
            "\"/sys/zandrio.dll\" -i \"/in/clip.flv\" -vcodec mpeg1video -b 800 "
            "-r 25.00 -ab 192 -s 640x480 -y \"" +
                output.path() + "clip.mpg\"");
}
}  // namespace
