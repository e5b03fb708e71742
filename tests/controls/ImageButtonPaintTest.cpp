#include <gtest/gtest.h>

#include <functional>

#include "controls/GreyIcon.h"
#include "tests/controls/ButtonDialog.h"
#include "tests/controls/ButtonPainting.h"

namespace {

// Runs of letters: Runs({{'H', 2}, {'D', 1}}) is "HHD".
std::string Runs(std::initializer_list<std::pair<char, int>> runs) {
  std::string letters;
  for (const auto& [letter, count] : runs) letters.append(static_cast<size_t>(count), letter);
  return letters;
}

// The smallest rectangle holding every pixel of `area` that `wanted` picks.
RECT Bounds(const MemoryCanvas& canvas, RECT area, const std::function<bool(COLORREF)>& wanted) {
  RECT bounds{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (wanted(canvas.at(x, y))) {
        bounds.left = std::min<LONG>(bounds.left, x), bounds.top = std::min<LONG>(bounds.top, y);
        bounds.right = std::max<LONG>(bounds.right, x + 1);
        bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
      }
  return bounds;
}

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Classic painting: no visual-styles module, the bordered look of the main dialog.
class ClassicButtonTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dialog.Create()); }
  ButtonPalette palette;  // before the dialog: the buttons take their colours at construction
  ButtonDialog dialog{nullptr};
};

}  // namespace

TEST_F(ClassicButtonTest, AtRestTheFrameIsFourLinesOfShading) {
  const PaintedButton canvas(dialog.exit, 40, 20, 0);
  EXPECT_EQ(palette.row(canvas, 0, 0, 40), Runs({{'H', 39}, {'D', 1}}));
  EXPECT_EQ(palette.row(canvas, 1, 0, 40), Runs({{'H', 1}, {'L', 37}, {'S', 1}, {'D', 1}}));
  EXPECT_EQ(palette.row(canvas, 18, 0, 40), Runs({{'H', 1}, {'S', 38}, {'D', 1}}));
  EXPECT_EQ(palette.row(canvas, 19, 0, 40), Runs({{'D', 40}}));
  EXPECT_EQ(palette.column(canvas, 0, 0, 20), Runs({{'H', 19}, {'D', 1}}));
  EXPECT_EQ(palette.column(canvas, 1, 0, 20), Runs({{'H', 1}, {'L', 17}, {'S', 1}, {'D', 1}}));
  EXPECT_EQ(palette.column(canvas, 38, 0, 20), Runs({{'H', 1}, {'S', 18}, {'D', 1}}));
  EXPECT_EQ(palette.row(canvas, 2, 0, 6), "HLCCCC");
}

TEST_F(ClassicButtonTest, FocusAddsABlackOutlineAndAFocusFrameFourPixelsIn) {
  const PaintedButton canvas(dialog.exit, 40, 20, ODS_FOCUS);
  EXPECT_EQ(palette.row(canvas, 0, 0, 40), Runs({{'K', 40}}));
  EXPECT_EQ(palette.column(canvas, 0, 0, 20), Runs({{'K', 20}}));
  EXPECT_EQ(palette.row(canvas, 1, 0, 40), Runs({{'K', 1}, {'H', 37}, {'D', 1}, {'K', 1}}));
  EXPECT_EQ(palette.row(canvas, 19, 0, 40), Runs({{'K', 40}}));
  EXPECT_EQ(palette.row(canvas, 4, 3, 8), "CICIC");
  EXPECT_EQ(palette.column(canvas, 4, 3, 8), "CICIC");
}

TEST_F(ClassicButtonTest, TheDefaultButtonHasTheOutlineButNoFocusFrame) {
  SendMessage(dialog.exit.m_hWnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  const PaintedButton canvas(dialog.exit, 40, 20, 0);
  EXPECT_EQ(palette.row(canvas, 0, 0, 40), Runs({{'K', 40}}));
  EXPECT_EQ(palette.row(canvas, 4, 3, 8), "CCCCC");
}

TEST_F(ClassicButtonTest, PressedTheFrameIsOneShadowLineInsideTheOutline) {
  const PaintedButton pressed(dialog.exit, 40, 20, ODS_SELECTED);
  EXPECT_EQ(palette.row(pressed, 0, 0, 40), Runs({{'S', 40}}));
  EXPECT_EQ(palette.row(pressed, 1, 0, 40), Runs({{'S', 1}, {'C', 38}, {'S', 1}}));
  const PaintedButton focused(dialog.exit, 40, 20, ODS_SELECTED | ODS_FOCUS);
  EXPECT_EQ(palette.row(focused, 0, 0, 40), Runs({{'K', 40}}));
  EXPECT_EQ(palette.row(focused, 1, 0, 40), Runs({{'K', 1}, {'S', 38}, {'K', 1}}));
}

TEST_F(ClassicButtonTest, TheIconSitsEightPixelsInCentredAndMovesWhenPressed) {
  dialog.add.assignIconHandles(RedIcon(), nullptr);
  dialog.iconOnly.assignIconHandles(RedIcon(), nullptr);
  struct Case {
    ThemedImageButton* button;
    int width;
    UINT state;
    RECT icon;
  };
  const Case cases[] = {
      {&dialog.add, 80, 0, {8, 6, 24, 22}},
      {&dialog.add, 80, ODS_SELECTED, {9, 7, 25, 23}},
      // Without a caption: centred, then the same 5 pixels to the right.
      {&dialog.iconOnly, 40, 0, {17, 6, 33, 22}},
  };
  for (const Case& c : cases) {
    const PaintedButton canvas(*c.button, c.width, 28, c.state);
    const RECT red = Bounds(canvas, {0, 0, c.width, 28}, [](COLORREF p) { return p == RGB(255, 0, 0); });
    EXPECT_TRUE(red == c.icon) << c.width << c.state;
    EXPECT_EQ(canvas.count({0, 0, c.width, 28}, RGB(255, 0, 0)), 256);
  }
}

TEST_F(ClassicButtonTest, TheCaptionIsRightOfTheIconAndEmbossedWhenDisabled) {
  dialog.add.assignIconHandles(RedIcon(), nullptr);
  const RECT captionArea{25, 2, 77, 26};
  const COLORREF text = RGB(0, 0, 128), highlight = RGB(255, 255, 255), shadow = RGB(128, 128, 128);
  const PaintedButton enabled(dialog.add, 80, 28, 0);
  EXPECT_GT(enabled.count(captionArea, text), 0);
  EXPECT_EQ(enabled.count({0, 2, 25, 26}, text), 0);
  const PaintedButton disabled(dialog.add, 80, 28, ODS_DISABLED);
  EXPECT_EQ(disabled.count(captionArea, text), 0);
  EXPECT_GT(disabled.count(captionArea, highlight), 0);
  EXPECT_GT(disabled.count(captionArea, shadow), 0);
  EXPECT_EQ(disabled.count({0, 0, 80, 28}, RGB(255, 0, 0)), 0);  // the icon greyed as well
}

TEST_F(ClassicButtonTest, AGreyRestingIconGivesWayToTheColouredOneWhenPressed) {
  HICON red = RedIcon();
  ASSERT_EQ(dialog.add.assignIconHandles(red, makeGreyIcon(red)), 0);
  const COLORREF grey = RGB(76, 76, 76);
  const PaintedButton resting(dialog.add, 80, 28, 0);
  EXPECT_EQ(resting.count({0, 0, 80, 28}, grey), 256);
  const PaintedButton pressed(dialog.add, 80, 28, ODS_SELECTED);
  EXPECT_EQ(pressed.count({0, 0, 80, 28}, RGB(255, 0, 0)), 256);
}

TEST_F(ClassicButtonTest, AMissingIconResourceLeavesTheCaptionAlone) {
  EXPECT_EQ(dialog.add.assignIcons(999, 0), 0);
  const PaintedButton canvas(dialog.add, 80, 28, 0);
  EXPECT_EQ(canvas.count({0, 0, 80, 28}, RGB(255, 0, 0)), 0);
  // The caption is centred on the whole face now.
  const COLORREF face = RGB(192, 192, 192);
  const RECT text = Bounds(canvas, {2, 2, 78, 26}, [&](COLORREF p) { return p != face; });
  EXPECT_NEAR((text.left + text.right) / 2.0, 40, 2);
  EXPECT_NEAR((text.top + text.bottom) / 2.0, 14, 2);
}
