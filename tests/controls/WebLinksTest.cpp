#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "controls/AboutBox.h"
#include "controls/WebAddress.h"
#include "platform/Resources.h"
#include "res/ProgramResources.h"
#include "tests/controls/RecordingHook.h"
#include "tests/platform/TopLevelWindows.h"

TEST(WebLinks, TheAddressIsAWebAddressOfTheMaker) {
  const std::string address = WebAddress().address();
  EXPECT_EQ(address.rfind("https://", 0), 0u);
  EXPECT_NE(address.find("vidmora"), std::string::npos);
  EXPECT_EQ(WebAddress().address(), address);
}

TEST(WebLinks, MoreDownloadsOpensTheAddressInANormalWindow) {
  RecordingHook hook;
  WebAddress().openDownloads();
  ASSERT_EQ(hook.shellCalls.size(), 1u);
  EXPECT_EQ(hook.shellCalls[0].verb, "");  // the default action
  EXPECT_EQ(hook.shellCalls[0].address, WebAddress().address());
  EXPECT_EQ(hook.shellCalls[0].showCommand, SW_SHOWNORMAL);
}

TEST(WebLinks, TheAboutBoxShowsNameIconAndOkAndBlocksUntilClosed) {
  const HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(ProgramResources());
  RegisterProgramIcons();
  QStringList texts;
  bool hasIcon = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = VisibleTopLevel("About");
    ASSERT_NE(box, nullptr);
    for (QLabel* label : box->findChildren<QLabel*>()) {
      texts << label->text();
      hasIcon = hasIcon || !label->pixmap().isNull();
    }
    QTest::keyClick(box, Qt::Key_Return);  // the default button, OK
  });
  AboutBox box;
  EXPECT_EQ(box.DoModal(), IDOK);
  EXPECT_TRUE(texts.contains("Vidmora v1.5"));
  EXPECT_TRUE(hasIcon);
  EXPECT_EQ(VisibleTopLevel("About"), nullptr);
  AfxSetResourceHandle(previous);
}
