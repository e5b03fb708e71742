// The main dialog's size under a real window manager, which adds its decorations only after
// the window is first shown. Run by under-window-manager.sh on Xvfb with openbox.
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <string>

#include "platform/ModalHook.h"
#include "platform/Profile.h"
#include "platform/qt/WindowObject.h"
#include "tests/app/MainDialogHarness.h"
#include "tests/app/SettingsDialogDriver.h"
#include "tests/platform/TopLevelWindows.h"

namespace {
// What a command printed.
std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

// What xprop reads of a property of a top-level widget's window.
std::string Property(const QWidget& window, const char* name) {
  return Output("xprop -id " + std::to_string(window.winId()) + " " + name);
}

// The window manager lets a fixed-size window be closed, but neither resized nor maximised.
void ExpectFixedSizeActions(const QWidget& window) {
  const std::string actions = Property(window, "_NET_WM_ALLOWED_ACTIONS");
  EXPECT_NE(actions.find("_NET_WM_ACTION_CLOSE"), std::string::npos) << actions;
  EXPECT_EQ(actions.find("_NET_WM_ACTION_RESIZE"), std::string::npos) << actions;
  EXPECT_EQ(actions.find("_NET_WM_ACTION_MAXIMIZE"), std::string::npos) << actions;
}

// The outer size of a top-level widget, decorations included.
QSize OuterSize(const QWidget& window) { return window.frameGeometry().size(); }

std::string SizeText(const QSize& size) {
  return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

// What a shown message box cannot show whole: its text, or its caption beside the window
// icon and the title bar's buttons (openbox's take about 70 pixels); empty when it shows
// both.
std::string Misfit(const QMessageBox& box) {
  const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label == nullptr) return "no text label";
  const QSize hint = label->sizeHint();
  const bool textFits = label->wordWrap()
                            ? label->height() >= label->heightForWidth(label->width())
                            : label->width() >= hint.width() && label->height() >= hint.height();
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const int caption = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle());
  const std::string sizes =
      "box " + SizeText(box.size()) + ", text " + SizeText(label->size()) + " of " + SizeText(hint);
  if (!textFits) return "text cut: " + sizes;
  if (box.width() < caption + 80) return "caption cut: " + sizes;
  return "";
}

class UnderWindowManager : public MainDialogTest {
 protected:
  // Opens the dialog and waits until the window manager has framed it.
  void openFramed() {
    open();
    pumpUntil([&] { return frameKnown(); }, std::chrono::seconds(10));
    ASSERT_TRUE(frameKnown()) << "no window manager framed the window";
  }
  bool frameKnown() {
    RECT client{};
    GetClientRect(dialog->m_hWnd, &client);
    return outerSize().second > client.bottom - client.top;
  }
  // Esc: the exit sequence saves the window metrics.
  std::pair<int, int> closeAndReadSavedSize() {
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    dialog.reset();
    return {static_cast<int>(GetPrivateProfileIntA("Status", "Width", -1, optionFile())),
            static_cast<int>(GetPrivateProfileIntA("Status", "Height", -1, optionFile()))};
  }
};
}  // namespace

TEST_F(UnderWindowManager, EveryStartSavesTheSizeItWasRestoredAt) {
  std::vector<std::pair<int, int>> saved;
  for (int start = 0; start < 10; ++start) {
    if (start == 5) WritePrivateProfileStringA("Status", "Width", "800", optionFile());
    openFramed();
    saved.push_back(closeAndReadSavedSize());
  }
  const std::vector<std::pair<int, int>> first(5, {595, 400}), wider(5, {800, 400});
  EXPECT_EQ(std::vector(saved.begin(), saved.begin() + 5), first);
  EXPECT_EQ(std::vector(saved.begin() + 5, saved.end()), wider);
}

TEST_F(UnderWindowManager, MinimumAndCentringAreAboutTheFramedWindow) {
  openFramed();
  const RECT outer = outerRect();
  EXPECT_EQ(outerSize(), (std::pair{595, 400}));
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_NEAR(outer.left - area.left(), area.right() + 1 - outer.right, 1);
  EXPECT_NEAR(outer.top - area.top(), area.bottom() + 1 - outer.bottom, 1);

  // As a user's drag would, ask the window itself for far less than the minimum.
  FindWindowObject(dialog->m_hWnd)->widget->resize(100, 100);
  pumpFor(std::chrono::seconds(1));
  EXPECT_EQ(outerSize(), (std::pair{595, 400}));
}

// A dialog without a sizing border keeps its size whatever the window manager is asked:
// openbox withdraws resizing and maximising, and refuses a resize request from outside.
TEST_F(UnderWindowManager, OutputSettingsKeepsItsSizeWhenTheWindowManagerIsAskedToResizeIt) {
  openFramed();
  bool checked = false;
  whenSettingsDialogOpens([&](HWND d) {
    QWidget& settings = *FindWindowObject(d)->widget;
    pumpUntil([&] { return OuterSize(settings) != settings.size(); }, std::chrono::seconds(10));
    const QSize client = settings.size(), outer = OuterSize(settings);
    ASSERT_NE(outer, client) << "no window manager framed the dialog";
    ExpectFixedSizeActions(settings);

    std::system(("xdotool windowsize " + std::to_string(settings.winId()) + " 700 700").c_str());
    settings.setWindowState(Qt::WindowMaximized);  // a request the window manager answers
    pumpFor(std::chrono::seconds(1));
    EXPECT_EQ(settings.size(), client);
    EXPECT_EQ(OuterSize(settings), outer);
    ::saveShot(d, "output-settings-after-resize");
    checked = true;
    ::click(d, IDCANCEL);
  });
  click(1003);
  EXPECT_TRUE(checked);
}

// A message box has a close box and a fixed size, and is wide enough for the window
// manager to show its caption whole, however short its text.
TEST_F(UnderWindowManager, MessageBoxesAreFixedAndWideEnoughForTheirCaption) {
  openFramed();
  ModalHook* answering = SetModalHook(nullptr);  // the real message box
  bool checked = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = VisibleTopLevel(QStringLiteral("Please stop converting"));
    ASSERT_NE(box, nullptr);
    pumpUntil([&] { return OuterSize(*box) != box->size(); }, std::chrono::seconds(10));
    EXPECT_EQ(Misfit(static_cast<QMessageBox&>(*box)), "");
    EXPECT_EQ(box->minimumSize(), box->maximumSize());
    ExpectFixedSizeActions(*box);
    checked = true;
    static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
  });
  MessageBoxA(dialog->m_hWnd, "x", "Please stop converting", MB_OK | MB_ICONINFORMATION);
  SetModalHook(answering);
  EXPECT_TRUE(checked);
}

// openbox may hand a new box its first, unlaid-out size back as it frames it: each of twenty
// boxes for a dropped folder that holds no video still shows its caption and text whole.
TEST_F(UnderWindowManager, EveryBoxOfTwentyFolderDropsShowsItsCaptionAndText) {
  shipEncoders();
  openFramed();
  ModalHook* answering = SetModalHook(nullptr);  // the real message boxes
  const std::string folder = output.path() + "no videos here";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  std::vector<std::string> misfits;
  for (int round = 0; round < 20; ++round) {
    bool answered = false;
    std::function<void()> answer = [&] {
      auto* box = static_cast<QMessageBox*>(VisibleTopLevel(QStringLiteral("Warning")));
      if (box == nullptr) {
        QTimer::singleShot(10, answer);
        return;
      }
      // The window manager frames the box meanwhile.
      pumpFor(std::chrono::milliseconds(300));
      if (const std::string misfit = Misfit(*box); !misfit.empty())
        misfits.push_back("drop " + std::to_string(round) + ": " + misfit);
      std::printf("drop %d: box %s\n", round, SizeText(box->size()).c_str());
      answered = true;
      box->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(0, answer);
    ASSERT_TRUE(drop({folder}));
    pumpUntil([&] { return answered; }, std::chrono::seconds(20));
    ASSERT_TRUE(answered) << "no box for drop " << round;
  }
  SetModalHook(answering);
  EXPECT_EQ(misfits, std::vector<std::string>{});
}

// A batch that ends while another window is active asks for the user's attention: the window
// manager marks the window as demanding it; a batch that ends in front does not.
TEST_F(UnderWindowManager, ABatchEndingBehindAnotherWindowDemandsAttention) {
  shipEncoders();
  openFramed();
  SetWindowTextA(item(1043), output.path());
  add({testClip("short.flv", 1.2)});
  QWidget& window = *FindWindowObject(dialog->m_hWnd)->widget;
  for (const bool behind : {false, true}) {
    QWidget elsewhere;
    if (behind) {
      elsewhere.show();
      elsewhere.activateWindow();
    } else {
      SetForegroundWindow(dialog->m_hWnd);
    }
    QWidget* const wanted = behind ? &elsewhere : &window;
    pumpUntil([&] { return QApplication::activeWindow() == wanted; }, std::chrono::seconds(10));
    ASSERT_EQ(QApplication::activeWindow(), wanted) << "behind: " << behind;
    click(1008);
    pumpUntil([&] { return !dialog->converting(); });
    pumpFor(std::chrono::milliseconds(500));
    const std::string state = Property(window, "_NET_WM_STATE");
    EXPECT_EQ(state.find("_NET_WM_STATE_DEMANDS_ATTENTION") != std::string::npos, behind)
        << "behind: " << behind << ", " << state;
  }
}
