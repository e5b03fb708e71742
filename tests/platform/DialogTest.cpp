#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include "TestDialogs.h"
#include "platform/Menus.h"
#include "platform/ModalHook.h"
#include "platform/MessageQueue.h"
#include "platform/Resources.h"
#include "platform/WinStyles.h"
#include "platform/qt/DialogBuilder.h"
#include "platform/qt/WindowObject.h"

namespace {
QWidget* Widget(HWND window) { return FindWindowObject(window)->widget; }

class DialogTest : public testing::Test {
 protected:
  void SetUp() override {
    UseTestResources();
    ASSERT_TRUE(dialog.Create());
  }
  HWND Item(int id) { return dialog.GetDlgItem(id); }
  TestDialog dialog;
};

TEST_F(DialogTest, ControlsSitWhereTheirDialogUnitsPutThem) {
  const SIZE base = DialogBaseUnits("MS Sans Serif", 8);
  RECT client{};
  dialog.GetClientRect(&client);
  EXPECT_EQ(client.right, (200 * base.cx + 2) / 4);
  EXPECT_EQ(client.bottom, (140 * base.cy + 4) / 8);
  RECT button{};
  GetWindowRect(Item(kSecondButtonId), &button);
  dialog.ScreenToClient(&button);
  EXPECT_EQ(button.left, (60 * base.cx + 2) / 4);
  EXPECT_EQ(button.top, (25 * base.cy + 4) / 8);
  EXPECT_EQ(button.right - button.left, (50 * base.cx + 2) / 4);
  EXPECT_EQ(GetDlgCtrlID(Item(kListId)), kListId);
  EXPECT_EQ(GetWindowTextA(Item(kFirstButtonId)), "&First");
}

TEST_F(DialogTest, InitialisationBindsTheDataExchangeMembers) {
  EXPECT_NE(std::find(dialog.events.begin(), dialog.events.end(), "init"), dialog.events.end());
  EXPECT_EQ(dialog.first.m_hWnd, Item(kFirstButtonId));
  EXPECT_EQ(dialog.edit.m_hWnd, Item(kEditId));
}

TEST_F(DialogTest, AControlIsBoundOnlyOnce) {
  CButton other;
  EXPECT_FALSE(other.SubclassDlgItem(kFirstButtonId, &dialog));
  EXPECT_FALSE(dialog.first.SubclassDlgItem(kSecondButtonId, &dialog));
  EXPECT_TRUE(other.SubclassDlgItem(kSecondButtonId, &dialog));
  EXPECT_FALSE(other.SubclassDlgItem(9999, &dialog));
}

TEST_F(DialogTest, ClicksReachTheTableAfterTheReflectedNotification) {
  SendMessage(Item(kFirstButtonId), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.first.reflectedClicks, 1);
  EXPECT_EQ(dialog.events.back(), "first");
  dialog.first.swallowClicks = true;
  SendMessage(Item(kFirstButtonId), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.first.reflectedClicks, 2);
  EXPECT_EQ(std::count(dialog.events.begin(), dialog.events.end(), "first"), 1);
  QTest::mouseClick(Widget(Item(kSecondButtonId)), Qt::LeftButton);
  EXPECT_EQ(dialog.events.back(), "second");
}

TEST_F(DialogTest, DisabledButtonsDoNotClick) {
  EnableWindow(Item(kSecondButtonId), FALSE);
  SendMessage(Item(kSecondButtonId), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.events.back(), "init");
}

TEST_F(DialogTest, NotifyingStaticReportsClicks) {
  QTest::mouseClick(Widget(Item(kNotifyStaticId)), Qt::LeftButton);
  EXPECT_EQ(dialog.events.back(), "static");
}

TEST_F(DialogTest, EnterInAnEditIsOkAndOnAButtonClicksIt) {
  QTest::keyClick(Widget(Item(kEditId)), Qt::Key_Return);
  EXPECT_EQ(dialog.events.back(), "ok");
  EXPECT_FALSE(IsWindow(dialog.m_hWnd));
  EXPECT_EQ(dialog.first.m_hWnd, nullptr);
}

TEST_F(DialogTest, EnterOnAPushButtonClicksIt) {
  QTest::keyClick(Widget(Item(kSecondButtonId)), Qt::Key_Return);
  EXPECT_EQ(dialog.events.back(), "second");
  EXPECT_TRUE(IsWindow(dialog.m_hWnd));
}

TEST_F(DialogTest, EscapeIsCancelWhereverTheFocusIs) {
  QTest::keyClick(Widget(Item(kListId)), Qt::Key_Escape);
  EXPECT_EQ(dialog.events.back(), "cancel");
  EXPECT_FALSE(IsWindow(dialog.m_hWnd));
}

TEST_F(DialogTest, CloseBecomesAPostedCancel) {
  SendMessage(dialog.m_hWnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(dialog.m_hWnd));
  PumpWaitingMessages();
  EXPECT_EQ(dialog.events.back(), "cancel");
  EXPECT_FALSE(IsWindow(dialog.m_hWnd));
}

TEST_F(DialogTest, SystemCommandsMinimiseAndRestore) {
  SendMessage(dialog.m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(dialog.m_hWnd));
  SendMessage(dialog.m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(dialog.m_hWnd));
}

TEST_F(DialogTest, WindowMenuListsTheStandardItemsThenTheAppendedOnes) {
  HMENU menu = GetSystemMenu(dialog.m_hWnd, FALSE);
  ASSERT_NE(menu, nullptr);
  AppendMenuA(menu, MF_SEPARATOR, 0, "");
  AppendMenuA(menu, MF_STRING, 16, "&About");
  ASSERT_EQ(GetMenuItemCount(menu), 7);
  EXPECT_EQ(GetMenuItemID(menu, 0), SC_RESTORE);
  EXPECT_EQ(GetMenuItemID(menu, 4), SC_CLOSE);
  EXPECT_EQ(GetMenuItemID(menu, 5), 0u);
  EXPECT_EQ(GetMenuItemID(menu, 6), 16u);
  EXPECT_EQ(GetMenuStringA(menu, 6), "&About");
  EXPECT_EQ(GetSystemMenu(Item(kEditId), FALSE), nullptr);
}

TEST_F(DialogTest, SetWindowPosSendsSizeAtOnce) {
  SetWindowPos(dialog.m_hWnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE);
  RECT outer{}, client{};
  GetWindowRect(dialog.m_hWnd, &outer);
  GetClientRect(dialog.m_hWnd, &client);
  EXPECT_EQ(outer.right - outer.left, 400);
  EXPECT_EQ(outer.bottom - outer.top, 300);
  EXPECT_EQ(dialog.events.back(),
            "size " + std::to_string(client.right) + "x" + std::to_string(client.bottom));
}

TEST_F(DialogTest, StylesReadBackAndOwnerDrawnButtonsPaintThroughDrawItem) {
  EXPECT_TRUE(GetWindowLongA(Item(kEditId), GWL_STYLE) & WS_TABSTOP);
  dialog.first.ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
  EXPECT_EQ(dialog.first.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
  Widget(Item(kFirstButtonId))->grab();
  EXPECT_GE(dialog.first.drawItems, 1);
}

TEST_F(DialogTest, ProgressBarTakesTheFull32BitRangeAndHoldsThePosition) {
  CProgressCtrl bar;
  ASSERT_TRUE(bar.SubclassDlgItem(kProgressId, &dialog));
  bar.SetRange32(0, 400000);
  int lower = -1, upper = -1;
  bar.GetRange(lower, upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 400000);
  bar.SetPos(300000);
  EXPECT_EQ(bar.GetPos(), 300000);
  bar.SetPos(500000);
  EXPECT_EQ(bar.GetPos(), 400000);
}

TEST_F(DialogTest, DestroyedWindowsAnswerNothing) {
  const HWND edit = Item(kEditId);
  dialog.EndDialog(IDCANCEL);
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(SendMessage(edit, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_EQ(GetWindowTextA(edit), "");
}

// Posts to itself during initialisation; the modal loop must deliver it.
class SelfPostingDialog : public TestDialog {
 protected:
  BOOL OnInitDialog() override {
    PostMessage(WM_TEST_NOTIFY, 0, 42);
    return TestDialog::OnInitDialog();
  }
};

TEST(ModalDialogTest, PostedMessagesReachTheModalLoop) {
  UseTestResources();
  SelfPostingDialog dialog;
  dialog.endOnNotify = 7;
  EXPECT_EQ(dialog.DoModal(), 7);
  EXPECT_EQ(dialog.notifications, std::vector<LPARAM>{42});
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalDialogTest, ModalDialogIsTheApplicationsModalWindow) {
  UseTestResources();
  TestDialog dialog;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    modal = QApplication::activeModalWidget() == Widget(dialog.m_hWnd);
    dialog.EndDialog(3);
  });
  EXPECT_EQ(dialog.DoModal(), 3);
  EXPECT_TRUE(modal);
}

// A window manager may hand a new window its first, unlaid-out size (100x30) back just
// before a layout request: the box is laid out for its text again all the same.
TEST(ModalDialogTest, AMessageBoxGivenItsFirstSizeBackIsLaidOutForItsTextAgain) {
  QSize shown, after;
  QTimer::singleShot(0, [&] {
    auto* box = static_cast<QMessageBox*>(QApplication::activeModalWidget());
    shown = box->size();
    box->windowHandle()->resize(100, 30);  // as the window manager's reply would
    QApplication::processEvents();
    QEvent layoutRequest(QEvent::LayoutRequest);
    QApplication::sendEvent(box, &layoutRequest);
    after = box->size();
    box->button(QMessageBox::Ok)->click();
  });
  MessageBoxA(nullptr, "Failed to load: /home/me/Videos/no videos here", "Warning",
              MB_OK | MB_ICONINFORMATION);
  EXPECT_GT(shown.width(), 300);
  EXPECT_EQ(after, shown);
}

TEST(ModalDialogTest, MissingTemplateGivesMinusOne) {
  AfxSetResourceHandle(nullptr);
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(), -1);
}
}  // namespace
