#include "tests/controls/MemoryCanvas.h"

namespace {
char Letter(COLORREF colour, const std::string& legend, const COLORREF* colours) {
  for (std::size_t i = 0; i < legend.size(); ++i)
    if (colours[i] == colour) return legend[i];
  return '?';
}
}  // namespace

MemoryCanvas::MemoryCanvas(int width, int height, COLORREF background)
    : context(CreateCompatibleDC(nullptr)), bitmap(CreateBitmap(width, height, 1, 32, nullptr)) {
  previous = SelectObject(context, bitmap);
  HBRUSH brush = CreateSolidBrush(background);
  const RECT all{0, 0, width, height};
  FillRect(context, &all, brush);
  DeleteObject(brush);
}

MemoryCanvas::~MemoryCanvas() {
  SelectObject(context, previous);
  DeleteObject(bitmap);
  DeleteDC(context);
}

int MemoryCanvas::count(RECT area, COLORREF colour) const {
  int pixels = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) pixels += at(x, y) == colour;
  return pixels;
}

std::string MemoryCanvas::row(int y, int fromX, int toX, const std::string& legend,
                              const COLORREF* colours) const {
  std::string letters;
  for (int x = fromX; x < toX; ++x) letters += Letter(at(x, y), legend, colours);
  return letters;
}

std::string MemoryCanvas::column(int x, int fromY, int toY, const std::string& legend,
                                 const COLORREF* colours) const {
  std::string letters;
  for (int y = fromY; y < toY; ++y) letters += Letter(at(x, y), legend, colours);
  return letters;
}
