#include <QTest>
#include <QTimer>
#include <QWidget>

#include "controls/WebAddress.h"
#include "platform/WinStyles.h"
#include "tests/app/MainDialogHarness.h"
#include "tests/controls/RecordingHook.h"
#include "tests/platform/TopLevelWindows.h"

TEST_F(MainDialogTest, TheSevenCommandButtonsAreImageButtonsAndBrowseStaysPlain) {
  open();
  for (int id : {1000, 1001, 1002, 1003, 1004, 1008, 1059}) {
    EXPECT_EQ(GetWindowLongA(item(id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << id;
    EXPECT_TRUE(SendMessage(item(id), WM_GETDLGCODE, 0, 0) &
                (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        << id;
  }
  EXPECT_EQ(GetWindowLongA(item(1044), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  saveShot("main-dialog-buttons");
}

TEST_F(MainDialogTest, TheLinkAndMoreDownloadsOpenTheMakersAddress) {
  open();
  RecordingHook shell;
  EXPECT_TRUE(GetWindowLongA(item(1048), GWL_STYLE) & SS_NOTIFY);
  SendMessage(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(1048, STN_CLICKED),
              reinterpret_cast<LPARAM>(item(1048)));
  click(1059);
  ASSERT_EQ(shell.shellCalls.size(), 2u);
  EXPECT_EQ(shell.shellCalls[0].verb, "open");
  EXPECT_EQ(shell.shellCalls[0].showCommand, SW_SHOWMINIMIZED);
  EXPECT_EQ(shell.shellCalls[1].verb, "");
  EXPECT_EQ(shell.shellCalls[1].showCommand, SW_SHOWNORMAL);
  for (const auto& call : shell.shellCalls) EXPECT_EQ(call.address, WebAddress().address());
  EXPECT_TRUE(shell.messages.empty());
}

TEST_F(MainDialogTest, TheAboutCommandRunsTheAboutBoxUntilItIsClosed) {
  open();
  bool shown = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = VisibleTopLevel("About");
    shown = box != nullptr && box->isModal();
    if (box != nullptr) QTest::keyClick(box, Qt::Key_Escape);
  });
  SendMessage(dialog->m_hWnd, WM_SYSCOMMAND, 16, 0);  // returns when the box is closed
  EXPECT_TRUE(shown);
  EXPECT_EQ(VisibleTopLevel("About"), nullptr);
  EXPECT_TRUE(isOpen());
  SendMessage(dialog->m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);  // the others as before
  EXPECT_TRUE(IsIconic(dialog->m_hWnd));
}
