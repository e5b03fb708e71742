#include <gtest/gtest.h>

#include "controls/AnchorLayout.h"
#include "platform/Resources.h"
#include "tests/platform/TestDialogs.h"

namespace {
// A resizable test dialog without a minimum size, so it can shrink below its attach size.
class AnchorLayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    previous = AfxGetResourceHandle();
    UseTestResources();
    ASSERT_TRUE(dialog.Create());
    dialog.GetWindowRect(&attached);
    layout.attach(&dialog);
  }
  void TearDown() override {
    dialog.EndDialog(IDCANCEL);
    AfxSetResourceHandle(previous);
  }
  void resizeBy(int dx, int dy) {
    dialog.SetWindowPos(nullptr, 0, 0, attached.right - attached.left + dx,
                        attached.bottom - attached.top + dy, SWP_NOMOVE);
    layout.relayout();
  }
  RECT at(int id) {
    RECT rect{};
    GetWindowRect(dialog.GetDlgItem(id), &rect);
    dialog.ScreenToClient(&rect);
    return rect;
  }
  HINSTANCE previous = nullptr;
  TestDialog dialog;
  RECT attached{};
  AnchorLayout layout;
};

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

TEST_F(AnchorLayoutTest, MissingControlsAndParentsAreRefused) {
  AnchorLayout unattached;
  EXPECT_FALSE(unattached.addControlById(kListId, 12));
  EXPECT_FALSE(unattached.addControl(dialog.GetDlgItem(kListId), 12));
  unattached.relayout();  // before attach: nothing happens
  EXPECT_FALSE(layout.addControlById(9999, 1));
  EXPECT_FALSE(layout.addControl(nullptr, 1));
  EXPECT_TRUE(layout.addControlById(kListId, 12));
}

TEST_F(AnchorLayoutTest, EachFlagMovesItsEdgesByTheGrowth) {
  layout.addControlById(kListId, 8 + 4);
  layout.addControlById(kProgressId, 2 + 4);
  layout.addControlById(kSecondButtonId, 1);
  const RECT list = at(kListId), bar = at(kProgressId), button = at(kSecondButtonId);
  const RECT edit = at(kEditId);
  resizeBy(100, 50);
  EXPECT_TRUE(Same(at(kListId), {list.left, list.top, list.right + 100, list.bottom + 50}));
  EXPECT_TRUE(Same(at(kProgressId), {bar.left, bar.top + 50, bar.right + 100, bar.bottom + 50}));
  EXPECT_TRUE(Same(at(kSecondButtonId),
                   {button.left + 100, button.top, button.right + 100, button.bottom}));
  EXPECT_TRUE(Same(at(kEditId), edit));  // not registered
}

TEST_F(AnchorLayoutTest, BelowTheAttachSizeNothingMovesFurther) {
  layout.addControlById(kSecondButtonId, 1 + 2);
  const RECT start = at(kSecondButtonId);
  resizeBy(-60, -40);
  EXPECT_TRUE(Same(at(kSecondButtonId), start));
  resizeBy(0, 0);
  EXPECT_TRUE(Same(at(kSecondButtonId), start));
  resizeBy(80, 30);
  resizeBy(-60, -40);  // from above the floor to below it: back to the attach place exactly
  EXPECT_TRUE(Same(at(kSecondButtonId), start));
}
