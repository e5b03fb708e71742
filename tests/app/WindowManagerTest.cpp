// The main dialog's size under a real window manager, which adds its decorations only after
// the window is first shown. Run by under-window-manager.sh on Xvfb with openbox.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/Profile.h"
#include "platform/qt/WindowObject.h"
#include "tests/app/MainDialogHarness.h"

namespace {
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

class UnderWindowManager : public MainDialogTest {
 protected:
  // Opens the dialog and waits until the window manager has framed it.
  void openFramed() {
    open();
    pumpUntil([&] { return frameKnown(); }, std::chrono::seconds(10));
    ASSERT_TRUE(frameKnown()) << "no window manager framed the window";
    pumpUntil([] { return false; }, std::chrono::seconds(0));
  }
  bool frameKnown() {
    RECT client{};
    GetClientRect(dialog->m_hWnd, &client);
    return Height(outerRect()) > Height(client);
  }
  // Esc: the exit sequence saves the window metrics.
  SIZE closeAndReadSavedSize() {
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    dialog.reset();
    return {static_cast<LONG>(GetPrivateProfileIntA("Status", "Width", -1, optionFile())),
            static_cast<LONG>(GetPrivateProfileIntA("Status", "Height", -1, optionFile()))};
  }
};
}  // namespace

TEST_F(UnderWindowManager, EveryStartSavesTheSizeItWasRestoredAt) {
  std::vector<std::pair<int, int>> saved;
  for (int start = 0; start < 10; ++start) {
    if (start == 5) WritePrivateProfileStringA("Status", "Width", "800", optionFile());
    openFramed();
    const SIZE size = closeAndReadSavedSize();
    saved.emplace_back(size.cx, size.cy);
  }
  const std::vector<std::pair<int, int>> first(5, {595, 400}), wider(5, {800, 400});
  EXPECT_EQ(std::vector(saved.begin(), saved.begin() + 5), first);
  EXPECT_EQ(std::vector(saved.begin() + 5, saved.end()), wider);
}

TEST_F(UnderWindowManager, MinimumAndCentringAreAboutTheFramedWindow) {
  openFramed();
  const RECT outer = outerRect();
  EXPECT_EQ(Width(outer), 595);
  EXPECT_EQ(Height(outer), 400);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_NEAR(outer.left - area.left(), area.right() + 1 - outer.right, 1);
  EXPECT_NEAR(outer.top - area.top(), area.bottom() + 1 - outer.bottom, 1);

  // As a user's drag would, ask the window itself for far less than the minimum.
  FindWindowObject(dialog->m_hWnd)->widget->resize(100, 100);
  pumpUntil([] { return false; }, std::chrono::seconds(1));
  EXPECT_EQ(Width(outerRect()), 595);
  EXPECT_EQ(Height(outerRect()), 400);
}
