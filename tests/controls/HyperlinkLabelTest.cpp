#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "controls/HyperlinkLabel.h"
#include "platform/Dialog.h"
#include "platform/Resources.h"
#include "platform/WinStyles.h"
#include "platform/qt/WindowObject.h"
#include "tests/controls/RecordingHook.h"

namespace {

constexpr int kLinkId = 1048;
constexpr int kPlainId = 1049;
const DialogItemTemplate kItems[] = {
    {kLinkId, WC_STATIC, "www.vidmora.com", WS_CHILD | WS_VISIBLE, 0, 10, 10, 66, 10},
    {kPlainId, WC_STATIC, "plain", WS_CHILD | WS_VISIBLE, 0, 10, 30, 66, 10},
};
const DialogTemplate kTemplate{600, "Link", WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 120, 50,
                               "MS Sans Serif", 8, kItems};
const DialogTemplate* const kDialogs[] = {&kTemplate};
const ResourceTable kResources{kDialogs, {}};

// A dialog whose static 1048 is a link to `target`, set right after binding.
class LinkDialog : public CDialog {
 public:
  explicit LinkDialog(std::string address) : CDialog(600), target(std::move(address)) {}
  HyperlinkLabel link;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    link.SubclassDlgItem(kLinkId, this);
    if (!target.empty()) link.setLinkTarget(target);
    return TRUE;
  }

 private:
  std::string target;
};

QWidget* Widget(HWND window) { return FindWindowObject(window)->widget; }
QColor TextColour(HWND window) { return Widget(window)->palette().color(QPalette::WindowText); }

class HyperlinkLabelTest : public testing::Test {
 protected:
  explicit HyperlinkLabelTest(std::string target = "https://www.vidmora.com/")
      : dialog(std::move(target)) {}
  void SetUp() override {
    previous = AfxGetResourceHandle();
    AfxSetResourceHandle(&kResources);
    ASSERT_TRUE(dialog.Create());
    label = dialog.link.m_hWnd;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Widget(dialog.m_hWnd)));
  }
  void TearDown() override {
    ReleaseCapture();
    dialog.EndDialog(IDCANCEL);
    AfxSetResourceHandle(previous);
  }
  void moveTo(int x, int y) {
    SendMessage(label, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  }

  HINSTANCE previous = nullptr;
  LinkDialog dialog;
  HWND label = nullptr;
};

class HyperlinkLabelWithoutTarget : public HyperlinkLabelTest {
 protected:
  HyperlinkLabelWithoutTarget() : HyperlinkLabelTest("") {}
};

}  // namespace

TEST_F(HyperlinkLabelTest, BindingMakesAnUnderlinedNotifyingLinkWithAHandCursor) {
  EXPECT_TRUE(GetWindowLongA(label, GWL_STYLE) & SS_NOTIFY);
  LOGFONTA font{};
  ASSERT_EQ(GetObjectA(reinterpret_cast<HFONT>(SendMessage(label, WM_GETFONT, 0, 0)),
                       sizeof font, &font),
            int(sizeof font));
  EXPECT_EQ(font.lfUnderline, 1);
  EXPECT_TRUE(Widget(label)->font().underline());
  EXPECT_FALSE(Widget(dialog.GetDlgItem(kPlainId))->font().underline());
  EXPECT_EQ(SendMessage(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  EXPECT_EQ(TextColour(label), QColor(0, 0, 255));
}

TEST_F(HyperlinkLabelTest, HoverTurnsItRedAtOnceAndTheFirstMoveOutsideTurnsItBlue) {
  moveTo(2, 2);
  EXPECT_EQ(TextColour(label), QColor(255, 0, 0));  // repainted before the call returned
  EXPECT_EQ(GetCapture(), label);
  moveTo(3, 3);
  EXPECT_EQ(GetCapture(), label);
  moveTo(-1, 3);  // reaches the label through the capture
  EXPECT_EQ(TextColour(label), QColor(0, 0, 255));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(HyperlinkLabelTest, AMessageBoxWhileHoveringEndsTheHover) {
  RecordingHook hook;
  moveTo(2, 2);
  MessageBoxA(dialog.m_hWnd, "All Flv files have been converted!", "Confirm", MB_OK);
  EXPECT_EQ(TextColour(label), QColor(0, 0, 255));
  EXPECT_EQ(GetCapture(), nullptr);
  moveTo(2, 2);  // a new hover begins with the next move over it
  EXPECT_EQ(GetCapture(), label);
}

TEST_F(HyperlinkLabelTest, AClickOpensTheAddressMinimisedWithTheOpenVerb) {
  RecordingHook hook;
  QTest::mouseClick(Widget(label), Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_EQ(hook.shellCalls.size(), 1u);
  EXPECT_EQ(hook.shellCalls[0].verb, "open");
  EXPECT_EQ(hook.shellCalls[0].address, "https://www.vidmora.com/");
  EXPECT_EQ(hook.shellCalls[0].showCommand, SW_SHOWMINIMIZED);
  QTest::mouseClick(Widget(dialog.GetDlgItem(kPlainId)), Qt::LeftButton);
  EXPECT_EQ(hook.shellCalls.size(), 1u);
}

TEST_F(HyperlinkLabelWithoutTarget, AClickStillAsksTheShell) {
  RecordingHook hook;
  SendMessage(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED),
              reinterpret_cast<LPARAM>(label));
  ASSERT_EQ(hook.shellCalls.size(), 1u);
  EXPECT_EQ(hook.shellCalls[0].address, "");
}
