#include <gtest/gtest.h>

#include <QIcon>

#include "controls/GreyIcon.h"
#include "platform/qt/GdiQt.h"
#include "res/ButtonIcons.h"
#include "res/ProgramResources.h"
#include "tests/controls/MemoryCanvas.h"

namespace {

// A 2 x 4 icon: red, green, blue, white, black, transparent, and two more transparent.
HICON SampleIcon() {
  QImage image(2, 4, QImage::Format_ARGB32);
  image.fill(0);
  image.setPixel(0, 0, qRgb(255, 0, 0));
  image.setPixel(1, 0, qRgb(0, 255, 0));
  image.setPixel(0, 1, qRgb(0, 0, 255));
  image.setPixel(1, 1, qRgb(255, 255, 255));
  image.setPixel(0, 2, qRgb(0, 0, 0));
  return CreateIconFromImage(image);
}

// A pixel of a bitmap, read back through a memory context.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF pixel = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return pixel;
}

// The colour pixel of an icon, read back through GetIconInfo.
COLORREF IconPixel(HICON icon, int x, int y) {
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  const COLORREF pixel = BitmapPixel(info.hbmColor, x, y);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixel;
}

}  // namespace

TEST(Icons, EveryButtonIconLoadsAt16By16WithATransparentCorner) {
  RegisterButtonIcons();
  for (int id : {137, 138, 139, 140, 144, 145, 146}) {
    HICON icon = LoadImageA(id, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_NE(icon, nullptr) << id;
    EXPECT_EQ(IconImage(icon).size(), QSize(16, 16)) << id;
    EXPECT_EQ(qAlpha(IconImage(icon).pixel(0, 0)), 0) << id;
    DestroyIcon(icon);
  }
  EXPECT_EQ(LoadImageA(999, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR), nullptr);
}

// Of the 4 x 4 blocks of an image, the share that is not one colour: none for a bitmap
// enlarged four times without smoothing.
double DetailedBlocks(const QImage& image) {
  int detailed = 0, blocks = 0;
  for (int y = 0; y + 4 <= image.height(); y += 4)
    for (int x = 0; x + 4 <= image.width(); x += 4, ++blocks) {
      bool uniform = true;
      for (int dy = 0; dy < 4 && uniform; ++dy)
        for (int dx = 0; dx < 4 && uniform; ++dx)
          uniform = image.pixel(x + dx, y + dy) == image.pixel(x, y);
      if (!uniform) ++detailed;
    }
  return blocks > 0 ? static_cast<double>(detailed) / blocks : 0;
}

// The application icon is drawn once as SVG and rendered at build time at each size of the
// desktop's icon theme; a window's icon holds every rendering larger than its own image.
TEST(Icons, TheApplicationIconComesRenderedAtEverySizeAndTheWindowIconCarriesThemAll) {
  RegisterProgramIcons();
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    HICON icon = LoadImageA(IDR_MAINFRAME, IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
    ASSERT_NE(icon, nullptr) << size;
    EXPECT_EQ(IconImage(icon).size(), QSize(size, size));
    EXPECT_EQ(qAlpha(IconImage(icon).pixel(0, 0)), 0) << size;
    if (size >= 64) {
      EXPECT_GT(DetailedBlocks(IconImage(icon)), 0.25) << size << " looks blocky";
    }
    DestroyIcon(icon);
  }
  HICON standard = LoadImageA(IDR_MAINFRAME, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
  ASSERT_NE(standard, nullptr);
  EXPECT_EQ(IconImage(standard).size(), QSize(32, 32));
  QIcon windowIcon;
  AddToWindowIcon(windowIcon, standard);
  EXPECT_EQ(windowIcon.availableSizes(),
            (QList<QSize>{{32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
  DestroyIcon(standard);
}

TEST(Icons, IconInfoGivesTheCentreAsHotSpotAndAMaskOfTheTransparentPixels) {
  HICON icon = SampleIcon();
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  EXPECT_EQ(info.xHotspot, 1u);
  EXPECT_EQ(info.yHotspot, 2u);
  BITMAP mask{};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmBitsPixel, 1);
  EXPECT_EQ(BitmapPixel(info.hbmMask, 0, 2), RGB(0, 0, 0));        // black but opaque
  EXPECT_EQ(BitmapPixel(info.hbmMask, 1, 2), RGB(255, 255, 255));  // transparent
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_FALSE(GetIconInfo(nullptr, &info));
  DestroyIcon(icon);
}

TEST(Icons, GreyIconTakesTheLuminanceAndKeepsTheMask) {
  HICON icon = SampleIcon();
  HICON grey = makeGreyIcon(icon);
  ASSERT_NE(grey, nullptr);
  struct Case {
    int x, y;
    BYTE expected;
  };
  for (const Case& c : {Case{0, 0, 76}, Case{1, 0, 149}, Case{0, 1, 29}, Case{1, 1, 255},
                        Case{0, 2, 0}, Case{1, 2, 0}})
    EXPECT_EQ(IconPixel(grey, c.x, c.y), RGB(c.expected, c.expected, c.expected))
        << c.x << "," << c.y;
  const QImage image = IconImage(grey);
  EXPECT_EQ(qAlpha(image.pixel(0, 2)), 255);  // black stays part of the icon
  EXPECT_EQ(qAlpha(image.pixel(1, 2)), 0);    // transparent stays transparent
  EXPECT_EQ(makeGreyIcon(nullptr), nullptr);
  DestroyIcon(grey);
  DestroyIcon(icon);
}

TEST(Icons, DisabledStateDrawsAnEmbossedSilhouetteClippedToItsBox) {
  QImage image(4, 4, QImage::Format_ARGB32);
  image.fill(qRgb(255, 0, 0));
  HICON icon = CreateIconFromImage(image);
  const COLORREF white = RGB(255, 255, 255);
  MemoryCanvas plain(10, 10, white), disabled(10, 10, white);
  DrawStateA(plain.dc(), nullptr, icon, 2, 2, 3, 10, DST_ICON);
  EXPECT_EQ(plain.at(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(plain.at(5, 2), white);  // clipped at cx = 3
  DrawStateA(disabled.dc(), nullptr, icon, 2, 2, 0, 0, DST_ICON | DSS_DISABLED);
  EXPECT_EQ(disabled.at(2, 2), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(disabled.at(6, 6), GetSysColor(COLOR_BTNHIGHLIGHT));  // the +1/+1 copy
  DestroyIcon(icon);
}
