#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/ComboBox.h"
#include "platform/Dialog.h"
#include "platform/DialogButtons.h"
#include "platform/Resources.h"
#include "platform/WinStyles.h"
#include "platform/qt/WindowObject.h"

// Radio button groups, check boxes, drop-down lists, digits-only edits and group boxes.

namespace {
constexpr int kA1 = 21, kA2 = 22, kA3 = 23, kB1 = 31, kB2 = 32, kPlainRadio = 33;
constexpr int kAutoCheck = 41, kPlainCheck = 42, kList = 51, kDigits = 61, kFrame = 71;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kAutoRadio = kChild | BS_AUTORADIOBUTTON;
constexpr DWORD kAutoCheckBox = kChild | WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kDropDownList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

constexpr DialogItemTemplate kItems[] = {
    {kFrame, WC_BUTTON, "Frame", kChild | WS_GROUP | BS_GROUPBOX, 0, 2, 2, 196, 40},
    {kA1, WC_BUTTON, "A1", kAutoRadio | WS_GROUP | WS_TABSTOP, 0, 5, 5, 40, 10},
    {kA2, WC_BUTTON, "A2", kAutoRadio, 0, 50, 5, 40, 10},
    {kA3, WC_BUTTON, "A3", kAutoRadio, 0, 95, 5, 40, 10},
    {IDC_STATIC, WC_STATIC, "B:", kChild | WS_GROUP, 0, 5, 20, 20, 10},
    {kB1, WC_BUTTON, "B1", kAutoRadio | WS_GROUP | WS_TABSTOP, 0, 30, 20, 40, 10},
    {kB2, WC_BUTTON, "B2", kAutoRadio, 0, 75, 20, 40, 10},
    {kPlainRadio, WC_BUTTON, "P", kChild | WS_GROUP | BS_RADIOBUTTON, 0, 120, 20, 40, 10},
    {kAutoCheck, WC_BUTTON, "Auto", kAutoCheckBox, 0, 5, 45, 40, 10},
    {kPlainCheck, WC_BUTTON, "Plain", kChild | BS_CHECKBOX, 0, 50, 45, 40, 10},
    {kList, WC_COMBOBOX, "", kDropDownList, 0, 5, 60, 60, 140},
    {kDigits, WC_EDIT, "", kChild | WS_BORDER | WS_TABSTOP | ES_NUMBER, 0, 70, 60, 50, 14},
};
constexpr DialogTemplate kDialog{600, "Choices", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                                 0, 0, 200, 90, "MS Sans Serif", 8, kItems};
const DialogTemplate* const kDialogs[] = {&kDialog};
const ResourceTable kResources{kDialogs, {}};

// Records each click with the button's check as its handler sees it.
class ChoicesDialog : public CDialog {
 public:
  ChoicesDialog() : CDialog(600) {}
  std::vector<std::string> clicks;

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  void record(int id) {
    clicks.push_back(std::to_string(id) + "=" + std::to_string(IsDlgButtonChecked(m_hWnd, id)));
  }
  void OnA1() { record(kA1); }
  void OnA2() { record(kA2); }
  void OnAutoCheck() { record(kAutoCheck); }
  void OnPlainCheck() { record(kPlainCheck); }
};

const MessageMap* ChoicesDialog::GetThisMessageMap() {
  static const MessageMap map{CDialog::GetThisMessageMap(), {
      ON_BN_CLICKED(kA1, &ChoicesDialog::OnA1),
      ON_BN_CLICKED(kA2, &ChoicesDialog::OnA2),
      ON_BN_CLICKED(kAutoCheck, &ChoicesDialog::OnAutoCheck),
      ON_BN_CLICKED(kPlainCheck, &ChoicesDialog::OnPlainCheck),
  }};
  return &map;
}

class ChoiceControls : public testing::Test {
 protected:
  void SetUp() override {
    AfxSetResourceHandle(&kResources);
    ASSERT_TRUE(dialog.Create());
  }
  HWND item(int id) { return dialog.GetDlgItem(id); }
  QWidget* widget(int id) { return FindWindowObject(item(id))->widget; }
  void click(int id) { SendMessage(item(id), BM_CLICK, 0, 0); }
  std::vector<UINT> checks(std::initializer_list<int> ids) {
    std::vector<UINT> states;
    for (int id : ids) states.push_back(IsDlgButtonChecked(dialog.m_hWnd, id));
    return states;
  }
  ChoicesDialog dialog;
};

using Checks = std::vector<UINT>;

TEST_F(ChoiceControls, AutoRadioButtonsCheckOnlyWithinTheirGroup) {
  click(kB2);
  click(kA2);
  EXPECT_EQ(checks({kA1, kA2, kA3, kB1, kB2}), (Checks{0, 1, 0, 0, 1}));
  QTest::mouseClick(widget(kA3), Qt::LeftButton);
  EXPECT_EQ(checks({kA1, kA2, kA3, kB1, kB2}), (Checks{0, 0, 1, 0, 1}));
  click(kA3);  // a checked radio button stays checked
  EXPECT_EQ(checks({kA3}), (Checks{1}));
  click(kPlainRadio);  // a plain one waits for the program
  EXPECT_EQ(checks({kPlainRadio}), (Checks{0}));
}

TEST_F(ChoiceControls, ClickHandlersSeeTheNewCheck) {
  click(kA1);
  click(kA2);
  click(kAutoCheck);
  click(kAutoCheck);
  click(kPlainCheck);
  EXPECT_EQ(dialog.clicks, (std::vector<std::string>{"21=1", "22=1", "41=1", "41=0", "42=0"}));
}

TEST_F(ChoiceControls, ProgramSetsChecksWithoutTouchingTheRestOfTheGroup) {
  CheckDlgButton(dialog.m_hWnd, kA1, BST_CHECKED);
  CheckDlgButton(dialog.m_hWnd, kA2, BST_CHECKED);
  CheckDlgButton(dialog.m_hWnd, kPlainCheck, BST_CHECKED);
  EXPECT_EQ(checks({kA1, kA2, kPlainCheck}), (Checks{1, 1, 1}));
  CheckRadioButton(dialog.m_hWnd, kA1, kA3, kA3);
  EXPECT_EQ(checks({kA1, kA2, kA3}), (Checks{0, 0, 1}));
  EXPECT_TRUE(dialog.clicks.empty());
}

TEST_F(ChoiceControls, ArrowKeysMoveThroughTheGroupSkippingDisabledButtons) {
  EXPECT_EQ(GetNextDlgGroupItem(dialog.m_hWnd, item(kA3), FALSE), item(kA1));
  EXPECT_EQ(GetNextDlgGroupItem(dialog.m_hWnd, item(kB1), TRUE), item(kB2));
  EnableWindow(item(kA2), FALSE);
  click(kA1);
  QTest::keyClick(widget(kA1), Qt::Key_Down);
  EXPECT_EQ(checks({kA1, kA2, kA3}), (Checks{0, 0, 1}));
  QTest::keyClick(widget(kA3), Qt::Key_Right);
  EXPECT_EQ(checks({kA1, kA2, kA3, kB1}), (Checks{1, 0, 0, 0}));
  EnableWindow(item(kA3), FALSE);
  EXPECT_EQ(GetNextDlgGroupItem(dialog.m_hWnd, item(kA1), FALSE), item(kA1));
}

TEST_F(ChoiceControls, DropDownListKeepsItemsInOrderAndStartsWithoutSelection) {
  CComboBox list;
  ASSERT_TRUE(list.SubclassDlgItem(kList, &dialog));
  EXPECT_EQ(list.AddString("900"), 0);
  EXPECT_EQ(list.AddString("1150"), 1);
  EXPECT_EQ(list.AddString("100"), 2);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetCurSel(), CB_ERR);
  EXPECT_EQ(list.GetLBText(1), "1150");
  EXPECT_EQ(list.GetLBText(3), "");
  EXPECT_EQ(list.SetCurSel(2), 2);
  EXPECT_EQ(list.GetWindowText(), "100");
  EXPECT_EQ(list.SetCurSel(3), CB_ERR);
  EXPECT_EQ(list.GetCurSel(), CB_ERR);
  EXPECT_EQ(list.GetWindowText(), "");
  auto* combo = static_cast<QComboBox*>(widget(kList));
  EXPECT_FALSE(combo->isEditable());
  EXPECT_LT(combo->height(), 40);  // closed, not the dropped height of the template
}

TEST_F(ChoiceControls, DigitsOnlyEditRefusesTypedLettersButTakesSetText) {
  QTest::keyClicks(widget(kDigits), "1a2-3 ");
  EXPECT_EQ(GetDlgItemTextA(dialog.m_hWnd, kDigits), "123");
  SetDlgItemTextA(dialog.m_hWnd, kDigits, "x9");
  EXPECT_EQ(GetDlgItemTextA(dialog.m_hWnd, kDigits), "x9");
}

TEST_F(ChoiceControls, GroupBoxShowsItsTitleAndTakesNoFocus) {
  EXPECT_EQ(GetWindowTextA(item(kFrame)), "Frame");
  EXPECT_EQ(widget(kFrame)->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(SendMessage(item(kFrame), WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}
}  // namespace
