#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "platform/Gdi.h"
#include "tests/controls/MemoryCanvas.h"

namespace {
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
const COLORREF wkrb[] = {White, Black, Red, Blue};
}  // namespace

TEST(DeviceContext, FillAndFrameStayInsideTheRectangle) {
  MemoryCanvas canvas(8, 8, White);
  HBRUSH red = CreateSolidBrush(Red);
  HBRUSH black = CreateSolidBrush(Black);
  const RECT rect{1, 1, 6, 6};
  FillRect(canvas.dc(), &rect, red);
  FrameRect(canvas.dc(), &rect, black);
  EXPECT_EQ(canvas.row(1, 0, 8, "wkrb", wkrb), "wkkkkkww");
  EXPECT_EQ(canvas.row(3, 0, 8, "wkrb", wkrb), "wkrrrkww");
  EXPECT_EQ(canvas.column(3, 0, 8, "wkrb", wkrb), "wkrrrkww");
  EXPECT_EQ(FillRect(canvas.dc(), &rect, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
  EXPECT_EQ(canvas.row(3, 0, 8, "wkrb", wkrb), "wkrrrkww");
  DeleteObject(red);
  DeleteObject(black);
}

TEST(DeviceContext, LineToLeavesOutItsEndPointAndMovesOn) {
  MemoryCanvas canvas(6, 6, White);
  HPEN pen = CreatePen(PS_SOLID, 1, Red);
  HGDIOBJ old = SelectObject(canvas.dc(), pen);
  MoveToEx(canvas.dc(), 0, 4, nullptr);
  LineTo(canvas.dc(), 0, 1);
  LineTo(canvas.dc(), 4, 1);
  EXPECT_EQ(canvas.column(0, 0, 6, "wkrb", wkrb), "wrrrrw");
  EXPECT_EQ(canvas.row(1, 0, 6, "wkrb", wkrb), "rrrrww");
  EXPECT_EQ(SelectObject(canvas.dc(), old), pen);
  EXPECT_TRUE(DeleteObject(pen));
}

TEST(DeviceContext, Draw3dRectLightensTopLeftAndDarkensBottomRight) {
  MemoryCanvas canvas(5, 5, White);
  const RECT rect{0, 0, 5, 5};
  Draw3dRect(canvas.dc(), &rect, Red, Blue);
  EXPECT_EQ(canvas.row(0, 0, 5, "wkrb", wkrb), "rrrrb");
  EXPECT_EQ(canvas.row(4, 0, 5, "wkrb", wkrb), "bbbbb");
  EXPECT_EQ(canvas.column(0, 0, 5, "wkrb", wkrb), "rrrrb");
  EXPECT_EQ(canvas.row(2, 0, 5, "wkrb", wkrb), "rwwwb");
}

TEST(DeviceContext, FocusRectInvertsEveryOtherFramePixelAndUndoesItself) {
  MemoryCanvas canvas(8, 6, White);
  const RECT rect{1, 1, 7, 5};
  DrawFocusRect(canvas.dc(), &rect);
  EXPECT_EQ(canvas.row(1, 0, 8, "wkrb", wkrb), "wkwkwkww");
  EXPECT_EQ(canvas.column(1, 0, 6, "wkrb", wkrb), "wkwkww");
  EXPECT_EQ(canvas.row(2, 2, 6, "wkrb", wkrb), "wwww");  // inside untouched
  DrawFocusRect(canvas.dc(), &rect);
  EXPECT_EQ(canvas.count({0, 0, 8, 6}, White), 48);
}

TEST(DeviceContext, CalcRectMeasuresFromTheTopLeftAndWrapsAtTheWidth) {
  MemoryCanvas canvas(200, 100, White);
  RECT single{10, 20, 190, 90};
  const int height = DrawTextA(canvas.dc(), "Add files", -1, &single, DT_CALCRECT | DT_CENTER);
  EXPECT_EQ(single.left, 10);
  EXPECT_EQ(single.top, 20);
  EXPECT_EQ(single.bottom - single.top, height);
  EXPECT_LT(single.right, 190);
  RECT narrow{10, 20, 10 + (single.right - single.left) - 4, 90};
  DrawTextA(canvas.dc(), "Add files", -1, &narrow, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  EXPECT_GE(narrow.bottom - narrow.top, 2 * height);  // wrapped onto a second line
  EXPECT_EQ(canvas.count({0, 0, 200, 100}, White), 200 * 100);  // measuring paints nothing
}

TEST(DeviceContext, PrefixUnderlinesTheNextLetterAndIsNotDrawn) {
  const auto width = [](const char* text, UINT format) {
    MemoryCanvas canvas(10, 10, White);
    RECT rect{0, 0, 300, 50};
    DrawTextA(canvas.dc(), text, -1, &rect, DT_CALCRECT | format);
    return rect.right;
  };
  EXPECT_EQ(width("E&xit", 0), width("Exit", 0));
  EXPECT_EQ(width("a&&b", 0), width("a&b", DT_NOPREFIX));
  EXPECT_GT(width("E&xit", DT_NOPREFIX), width("Exit", 0));

  // The underline adds pixels below the letters.
  const auto inked = [](const char* text) {
    MemoryCanvas canvas(60, 30, White);
    SetBkMode(canvas.dc(), TRANSPARENT);
    SetTextColor(canvas.dc(), Black);
    RECT rect{0, 0, 60, 30};
    DrawTextA(canvas.dc(), text, -1, &rect, DT_LEFT);
    return 60 * 30 - canvas.count({0, 0, 60, 30}, White);
  };
  EXPECT_GT(inked("&x"), inked("x"));
}

TEST(DeviceContext, OpaqueTextFillsItsBackground) {
  MemoryCanvas canvas(80, 30, White);
  SetBkColor(canvas.dc(), Blue);
  SetTextColor(canvas.dc(), Red);
  RECT rect{0, 0, 80, 30};
  DrawTextA(canvas.dc(), "Ok", -1, &rect, DT_LEFT);
  EXPECT_EQ(canvas.at(0, 0), Blue);
  MemoryCanvas clear(80, 30, White);
  SetBkMode(clear.dc(), TRANSPARENT);
  DrawTextA(clear.dc(), "Ok", -1, &rect, DT_LEFT);
  EXPECT_EQ(clear.at(0, 0), White);
}

TEST(DeviceContext, BitmapsBelongToOneMemoryContextAtATime) {
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(4, 3, 1, 32, nullptr);
  EXPECT_EQ(GetPixel(first, 0, 0), CLR_INVALID);  // only the 1 x 1 default bitmap
  HGDIOBJ original = SelectObject(first, bitmap);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(GetPixel(first, 3, 2), Black);  // a new bitmap is all zero
  EXPECT_EQ(GetPixel(first, 4, 2), CLR_INVALID);
  EXPECT_EQ(SetPixel(first, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(first, 1, 1), RGB(1, 2, 3));
  SelectObject(first, original);
  EXPECT_TRUE(DeleteObject(bitmap));
  DeleteDC(first);
  DeleteDC(second);
}

TEST(DeviceContext, GetObjectDescribesBitmapsAndFonts) {
  HBITMAP bitmap = CreateBitmap(16, 12, 1, 32, nullptr);
  BITMAP description{};
  EXPECT_EQ(GetObjectA(bitmap, sizeof description - 1, &description), 0);
  ASSERT_EQ(GetObjectA(bitmap, sizeof description, &description), int(sizeof description));
  EXPECT_EQ(description.bmWidth, 16);
  EXPECT_EQ(description.bmHeight, 12);
  EXPECT_EQ(description.bmBitsPixel, 32);
  DeleteObject(bitmap);

  LOGFONTA font{};
  font.lfHeight = -13;
  font.lfWeight = 700;
  std::snprintf(font.lfFaceName, LF_FACESIZE, "DejaVu Sans");
  HFONT made = CreateFontIndirectA(&font);
  LOGFONTA back{};
  ASSERT_EQ(GetObjectA(made, sizeof back, &back), int(sizeof back));
  EXPECT_EQ(back.lfHeight, -13);
  EXPECT_EQ(back.lfWeight, 700);
  EXPECT_EQ(back.lfUnderline, 0);
  EXPECT_STREQ(back.lfFaceName, "DejaVu Sans");
  DeleteObject(made);
}

TEST(DeviceContext, SystemColoursFollowTheApplicationPalette) {
  const QPalette saved = QApplication::palette();
  QPalette palette = saved;
  palette.setColor(QPalette::Button, QColor(10, 20, 30));
  palette.setColor(QPalette::ButtonText, QColor(40, 50, 60));
  QApplication::setPalette(palette);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(10, 20, 30));
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), RGB(40, 50, 60));
  QApplication::setPalette(saved);
}
