#include <gtest/gtest.h>

#include "controls/ThemeLoader.h"
#include "tests/controls/ButtonDialog.h"
#include "tests/controls/ButtonPainting.h"
#include "tests/controls/FakeThemeLog.h"
#include "tests/controls/RecordingHook.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);  // the stand-in module's face
constexpr COLORREF kGreen = RGB(0, 255, 0);      // magenta under the focus frame

class ThemedButtonTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(log.module, nullptr);
    log.setThemed(TRUE);
    ASSERT_TRUE(dialog.Create());
    log.clear();
  }
  void TearDown() override { log.setThemed(TRUE); }
  void hover(CWnd& button) { SendMessage(button.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }

  ButtonPalette palette;
  FakeThemeLog log;
  ThemeLoader loader{"FakeTheme.dll"};
  ButtonDialog dialog{&loader};
};

}  // namespace

TEST_F(ThemedButtonTest, TheThemeStateFollowsDefaultHoverPressAndDisableInThatOrder) {
  struct Case {
    const char* name;
    bool isDefault;
    bool hovering;
    UINT state;
    const char* calls;
  };
  const Case cases[] = {
      {"normal", false, false, 0, "OPF1C"},
      {"default", true, false, 0, "OPF5C"},
      {"hot default", true, true, 0, "OPF2C"},
      {"pressed default", true, true, ODS_SELECTED, "OPF3C"},
      {"disabled default", true, false, ODS_DISABLED, "OPF4C"},
      {"disabled pressed", false, true, ODS_SELECTED | ODS_DISABLED, "OPF4C"},
  };
  for (const Case& c : cases) {
    ThemedImageButton& button = dialog.exit;
    button.setFlatLook(c.hovering, false);  // hovering exists in the flat look only
    SendMessage(button.m_hWnd, BM_SETSTYLE, c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 0);
    if (c.hovering) hover(button);
    log.clear();
    const PaintedButton painted(button, 40, 20, c.state);
    EXPECT_EQ(log.calls(), c.calls) << c.name;
    SendMessage(button.m_hWnd, WM_MOUSELEAVE, 0, 0);
  }
}

TEST_F(ThemedButtonTest, TheThemePaintsTheWholeFaceAndTheFocusFrameIsThreePixelsIn) {
  SendMessage(dialog.exit.m_hWnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, 0);
  const PaintedButton canvas(dialog.exit, 40, 20, ODS_FOCUS);
  EXPECT_EQ(canvas.at(0, 0), kMagenta);  // no black outline, no classic frame
  EXPECT_EQ(canvas.at(39, 19), kMagenta);
  EXPECT_EQ(canvas.at(3, 3), kGreen);
  EXPECT_EQ(canvas.at(4, 3), kMagenta);
  EXPECT_EQ(canvas.at(2, 2), kMagenta);
}

TEST_F(ThemedButtonTest, ThemingIsAskedAgainAtEveryPaint) {
  log.setThemed(FALSE);
  const PaintedButton classic(dialog.exit, 40, 20, 0);
  EXPECT_EQ(log.calls(), "");
  EXPECT_EQ(palette.row(classic, 0, 0, 3), "HHH");
  log.setThemed(TRUE);
  EXPECT_EQ(PaintedButton(dialog.exit, 40, 20, 0).at(0, 0), kMagenta);
}

TEST(ThemedButtonWithoutModule, PaintsClassicAndReportsNothing) {
  const RecordingHook hook;
  const ButtonPalette palette;
  const ThemeLoader loader("NoSuchTheme.dll");
  ButtonDialog dialog(&loader);
  ASSERT_TRUE(dialog.Create());
  MemoryCanvas canvas(40, 20, RGB(1, 2, 3));
  PaintButton(dialog.exit, canvas.dc(), {0, 0, 40, 20}, ODS_FOCUS);
  EXPECT_EQ(palette.row(canvas, 0, 0, 3), "KKK");
  EXPECT_EQ(palette.row(canvas, 1, 0, 3), "KHH");
  EXPECT_EQ(palette.row(canvas, 4, 3, 6), "CIC");
  // The flat look of a button without a theme draws its hover frame itself.
  dialog.exit.setFlatLook(true, false);
  SendMessage(dialog.exit.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  PaintButton(dialog.exit, canvas.dc(), {0, 0, 40, 20}, 0);
  EXPECT_EQ(palette.row(canvas, 0, 0, 3), "HHH");
  EXPECT_TRUE(hook.messages.empty());
}
