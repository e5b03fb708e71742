#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "platform/qt/WindowObject.h"
#include "tests/controls/ButtonDialog.h"
#include "tests/controls/ButtonPainting.h"

namespace {

QWidget* Widget(HWND window) { return FindWindowObject(window)->widget; }

class ButtonInputTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create());
    QWidget* window = Widget(dialog.m_hWnd);
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }
  static LRESULT DialogCode(const CWnd& button) {
    return SendMessage(button.m_hWnd, WM_GETDLGCODE, 0, 0);
  }
  // The flat look shows its raised frame only while hovering.
  bool hovering(CWnd& button) {
    return palette.row(PaintedButton(button, 40, 20, 0), 0, 0, 2) == "HH";
  }
  ButtonPalette palette;
  ButtonDialog dialog{nullptr};
};

}  // namespace

TEST_F(ButtonInputTest, BindingMakesTheButtonOwnerDrawnAndKeepsATemplateDefault) {
  EXPECT_EQ(GetWindowLongA(dialog.add.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(GetWindowLongA(dialog.add.m_hWnd, GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(DialogCode(dialog.exit) & DLGC_UNDEFPUSHBUTTON);
}

TEST_F(ButtonInputTest, TabbingOntoAButtonMakesItTheDefaultAndItStaysOwnerDrawn) {
  ::SetFocus(dialog.add.m_hWnd);
  EXPECT_TRUE(DialogCode(dialog.add) & DLGC_DEFPUSHBUTTON);
  QTest::keyClick(Widget(dialog.add.m_hWnd), Qt::Key_Tab);
  ASSERT_EQ(GetFocus(), dialog.exit.m_hWnd);
  EXPECT_TRUE(DialogCode(dialog.exit) & DLGC_DEFPUSHBUTTON);
  EXPECT_FALSE(DialogCode(dialog.exit) & DLGC_UNDEFPUSHBUTTON);
  EXPECT_TRUE(DialogCode(dialog.add) & DLGC_UNDEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(dialog.exit.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(GetWindowLongA(dialog.add.m_hWnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(ButtonInputTest, ADoubleClickIsTwoClicks) {
  // The order of a double click on Windows: down, up, double click, up.
  QWidget* add = Widget(dialog.add.m_hWnd);
  QTest::mousePress(add, Qt::LeftButton);
  QTest::mouseRelease(add, Qt::LeftButton);
  QTest::mouseDClick(add, Qt::LeftButton);
  QTest::mouseRelease(add, Qt::LeftButton);
  EXPECT_EQ(dialog.addClicks, 2);
  MSG doubleClick{dialog.add.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, 0, {0, 0}};
  EXPECT_FALSE(static_cast<CWnd&>(dialog.add).PreTranslateMessage(&doubleClick));
  EXPECT_EQ(doubleClick.message, WM_LBUTTONDOWN);
}

TEST_F(ButtonInputTest, AClickGivesTheButtonTheFocusBeforeTheDialogHearsIt) {
  ::SetFocus(dialog.exit.m_hWnd);
  HWND focusAtClick = nullptr;
  dialog.onAddClicked = [&] { focusAtClick = GetFocus(); };
  SendMessage(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED),
              reinterpret_cast<LPARAM>(dialog.add.m_hWnd));
  EXPECT_EQ(focusAtClick, dialog.add.m_hWnd);
  EXPECT_EQ(dialog.addClicks, 1);
}

TEST_F(ButtonInputTest, DisablingAButtonMovesTheFocusToTheNextTabStop) {
  ::SetFocus(dialog.add.m_hWnd);
  dialog.add.EnableWindow(FALSE);
  EXPECT_EQ(GetFocus(), dialog.exit.m_hWnd);
  // Also when it did not have the focus.
  dialog.iconOnly.EnableWindow(FALSE);
  EXPECT_EQ(GetFocus(), dialog.GetDlgItem(1003));
}

TEST_F(ButtonInputTest, ChecksAreIgnored) {
  EXPECT_EQ(SendMessage(dialog.add.m_hWnd, BM_SETCHECK, BST_CHECKED, 0), 0);
  EXPECT_EQ(SendMessage(dialog.add.m_hWnd, BM_GETCHECK, 0, 0), LRESULT{BST_UNCHECKED});
}

TEST_F(ButtonInputTest, TheFlatLookHoversUntilTheMouseLeavesOrTheFocusGoes) {
  dialog.add.setFlatLook(true, false);
  QWidget* add = Widget(dialog.add.m_hWnd);
  const LPARAM inside = MAKELPARAM(5, 5);
  SendMessage(dialog.add.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, inside);  // dragged in: no hover
  EXPECT_FALSE(hovering(dialog.add));
  SendMessage(dialog.add.m_hWnd, WM_MOUSEMOVE, 0, inside);
  EXPECT_TRUE(hovering(dialog.add));
  SendMessage(dialog.add.m_hWnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(hovering(dialog.add));
  for (UINT ending : {WM_KILLFOCUS, WM_CANCELMODE}) {
    SendMessage(dialog.add.m_hWnd, WM_MOUSEMOVE, 0, inside);
    ASSERT_TRUE(hovering(dialog.add));
    SendMessage(dialog.add.m_hWnd, ending, 0, 0);
    EXPECT_FALSE(hovering(dialog.add)) << ending;
  }
  SendMessage(dialog.add.m_hWnd, WM_MOUSEMOVE, 0, inside);
  SendMessage(dialog.add.m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(hovering(dialog.add));
  SendMessage(dialog.add.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(add->width() + 5), 5));
  EXPECT_FALSE(hovering(dialog.add));
}
