#include <gtest/gtest.h>

#include <thread>

#include "TestDialogs.h"
#include "platform/Kernel.h"
#include "platform/MessageQueue.h"
#include "platform/ModalHook.h"

namespace {
void PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) {
    PumpWaitingMessages();
    Sleep(2);
  }
}

// A worker thread that posts WM_TEST_NOTIFY with 1, 2 and 3 to `window`, after `delay` ms.
std::thread PostOneTwoThree(HWND window, DWORD delay = 0) {
  return std::thread([window, delay] {
    Sleep(delay);
    for (LPARAM value = 1; value <= 3; ++value) PostMessage(window, WM_TEST_NOTIFY, 0, value);
  });
}

// A message box that stays open, running its own loop, until the dialog has heard from
// the worker.
class WaitingMessageBox : public ModalHook {
 public:
  explicit WaitingMessageBox(const TestDialog& dialog) : waitedFor(dialog) {}
  int messageBox(HWND, const std::string& text, const std::string& caption, UINT type) override {
    shown.push_back(caption + ": " + text + " " + std::to_string(type));
    PumpUntil([&] { return waitedFor.notifications.size() >= 3; });
    return IDOK;
  }
  std::vector<std::string> shown;

 private:
  const TestDialog& waitedFor;
};

class PostMessageTest : public testing::Test {
 protected:
  void SetUp() override {
    UseTestResources();
    ASSERT_TRUE(dialog.Create());
  }
  TestDialog dialog;
};

TEST_F(PostMessageTest, WorkerThreadMessagesArriveInOrder) {
  PostOneTwoThree(dialog.m_hWnd).join();
  PumpUntil([&] { return dialog.notifications.size() == 3; });
  EXPECT_EQ(dialog.notifications, (std::vector<LPARAM>{1, 2, 3}));
}

TEST_F(PostMessageTest, WorkerThreadMessagesArriveWhileAMessageBoxIsOpen) {
  WaitingMessageBox box(dialog);
  SetModalHook(&box);
  const HWND window = dialog.m_hWnd;
  std::thread worker = PostOneTwoThree(window, 20);
  MessageBoxA(window, "Please wait", "Warning", MB_ICONINFORMATION);
  worker.join();
  SetModalHook(nullptr);
  EXPECT_EQ(box.shown, std::vector<std::string>{"Warning: Please wait 64"});
  EXPECT_EQ(dialog.notifications, (std::vector<LPARAM>{1, 2, 3}));
}

// The handler of the first message runs a modal dialog; the messages queued before it and the
// one posted from inside it still arrive in the order they were posted.
TEST_F(PostMessageTest, OrderHoldsWhenAHandlerRunsAModalDialog) {
  const HWND window = dialog.m_hWnd;
  TestDialog modal;
  modal.endOnNotify = IDOK;
  modal.onInit = [](TestDialog& self) { PostMessage(self.m_hWnd, WM_TEST_NOTIFY, 0, 99); };
  dialog.onNotify = [&](LPARAM value) {
    if (value != 1) return;
    PostMessage(window, WM_TEST_NOTIFY, 0, 4);
    modal.DoModal();
  };
  PostOneTwoThree(window).join();
  PumpUntil([&] { return dialog.notifications.size() == 4; });
  EXPECT_EQ(dialog.notifications, (std::vector<LPARAM>{1, 2, 3, 4}));
  EXPECT_EQ(modal.notifications, std::vector<LPARAM>{99});
}

TEST_F(PostMessageTest, MessagesForAClosedWindowAreDropped) {
  const HWND window = dialog.m_hWnd;
  PostMessage(window, WM_TEST_NOTIFY, 0, 1);
  dialog.EndDialog(IDCANCEL);
  PumpWaitingMessages();
  EXPECT_TRUE(dialog.notifications.empty());
  EXPECT_FALSE(IsWindow(window));
}
}  // namespace
