#include "controls/GreyIcon.h"

namespace {

BYTE Luminance(COLORREF color) {
  return static_cast<BYTE>(GetRValue(color) * 0.299 + GetGValue(color) * 0.587 +
                           GetBValue(color) * 0.114);
}

// Writes the grey of every non-black pixel of `source` into `target`.
void CopyGrey(HDC source, HDC target, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF pixel = GetPixel(source, x, y);
      if (pixel == 0) continue;
      const BYTE grey = Luminance(pixel);
      SetPixel(target, x, y, RGB(grey, grey, grey));
    }
}

}  // namespace

HICON makeGreyIcon(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return nullptr;
  HICON grey = nullptr;
  HDC source = CreateCompatibleDC(nullptr);
  HDC target = CreateCompatibleDC(nullptr);
  BITMAP colour{};
  if (source != nullptr && target != nullptr &&
      GetObjectA(info.hbmColor, sizeof colour, &colour) != 0) {
    const int width = static_cast<int>(info.xHotspot) * 2;
    const int height = static_cast<int>(info.yHotspot) * 2;
    if (HBITMAP greyBitmap =
            CreateBitmap(width, height, colour.bmPlanes, colour.bmBitsPixel, nullptr)) {
      HGDIOBJ oldSource = SelectObject(source, info.hbmColor);
      HGDIOBJ oldTarget = SelectObject(target, greyBitmap);
      CopyGrey(source, target, width, height);
      SelectObject(source, oldSource);
      SelectObject(target, oldTarget);
      ICONINFO greyInfo{TRUE, 0, 0, info.hbmMask, greyBitmap};
      grey = CreateIconIndirect(&greyInfo);
      DeleteObject(greyBitmap);
    }
  }
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  if (source != nullptr) DeleteDC(source);
  if (target != nullptr) DeleteDC(target);
  return grey;
}
