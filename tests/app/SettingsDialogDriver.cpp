#include "tests/app/SettingsDialogDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "app/SettingsCommand.h"
#include "platform/ComboBox.h"
#include "platform/DialogButtons.h"
#include "platform/MessageQueue.h"
#include "platform/qt/WindowObject.h"
#include "res/OutputSettingsTemplate.h"
#include "tests/platform/TopLevelWindows.h"

int BoxRecorder::messageBox(HWND, const std::string& text, const std::string& caption,
                              UINT type) {
  boxes.push_back({text, caption, type});
  return IDOK;
}

void click(HWND dialog, int id) { SendMessage(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool pick(HWND dialog, int id, const std::string& wanted) {
  HWND list = GetDlgItem(dialog, id);
  for (LRESULT index = 0, count = SendMessage(list, CB_GETCOUNT, 0, 0); index < count; ++index) {
    SendMessage(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (GetWindowTextA(list) == wanted) return true;
  }
  return false;
}

std::vector<std::string> items(HWND dialog, int id) {
  HWND list = GetDlgItem(dialog, id);
  std::vector<std::string> all;
  for (LRESULT index = 0, count = SendMessage(list, CB_GETCOUNT, 0, 0); index < count; ++index) {
    const LRESULT length = SendMessage(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    SendMessage(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                reinterpret_cast<LPARAM>(buffer.data()));
    all.emplace_back(buffer.data());
  }
  return all;
}

std::string text(HWND dialog, int id) { return GetDlgItemTextA(dialog, id); }
void type(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text); }
bool isChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool isEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }

void act(HWND dialog, const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    if (step.value == nullptr) click(dialog, step.id);
    else if (step.id == IDC_WIDTH || step.id == IDC_HEIGHT) type(dialog, step.id, step.value);
    else EXPECT_TRUE(pick(dialog, step.id, step.value)) << step.value;
  }
}

ConversionSettings mpeg1WithQualityAndSize() {
  ConversionSettings settings = defaultConversionSettings();
  settings.format = Mpeg;
  settings.mpegVersion = 1;
  settings.useDefaultQuality = false;
  settings.videoBitrate = "800";
  settings.audioBitrate = "192";
  settings.frameRate = "25.00";
  settings.sizeMode = CustomSize;
  settings.width = 640;
  settings.height = 480;
  return settings;
}

void chooseMpeg1WithQualityAndSize(HWND dialog) {
  act(dialog, {{IDC_FORMAT_MPEG}, {IDC_MPEG1}, {IDC_DEFAULT_QUALITY}, {IDC_VIDEO_BITRATE, "800"},
               {IDC_AUDIO_BITRATE, "192"}, {IDC_FRAME_RATE, "25.00"}, {IDC_SIZE_CUSTOM},
               {IDC_WIDTH, "640"}, {IDC_HEIGHT, "480"}});
}

void saveShot(HWND window, const std::string& name) {
  const char* folder = std::getenv("VIDMORA_SHOTS");
  WindowObject* object = FindWindowObject(window);
  if (folder == nullptr || object == nullptr) return;
  PumpWaitingMessages();
  object->widget->grab().save(QString::fromStdString(std::string(folder) + "/" + name + ".png"));
}

namespace {
// The shown Output Settings dialog, or null.
HWND openSettingsDialog() {
  QWidget* widget = VisibleTopLevel(QStringLiteral("Output Settings"));
  WindowObject* window = widget != nullptr ? WindowOfWidget(widget) : nullptr;
  return window != nullptr ? window->handle : nullptr;
}
}  // namespace

void whenSettingsDialogOpens(std::function<void(HWND)> steps) {
  QTimer::singleShot(0, [steps = std::move(steps)] {
    HWND dialog = openSettingsDialog();
    if (dialog == nullptr) {
      ADD_FAILURE() << "the Output Settings dialog is not open";
      return;
    }
    steps(dialog);
    PumpWaitingMessages();  // a close box's Cancel arrives posted
    if (openSettingsDialog() == dialog) {
      ADD_FAILURE() << "the steps left the dialog open";
      click(dialog, IDCANCEL);
    }
  });
}

bool runSettingsCommand(ConversionSettings& settings, const std::function<void(HWND)>& steps) {
  whenSettingsDialogOpens(steps);
  return editSettings(nullptr, settings);
}
