#pragma once
#include <string>

#include "platform/Gdi.h"
// A memory context with a 32-bit bitmap of its own, for tests that read painted pixels.
class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height, COLORREF background);
  ~MemoryCanvas();
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;

  HDC dc() const { return context; }
  COLORREF at(int x, int y) const { return GetPixel(context, x, y); }
  // The number of pixels of `colour` in `area`.
  int count(RECT area, COLORREF colour) const;
  // One row (or column) of pixels as letters from `legend` ('?' for a colour not in it).
  std::string row(int y, int fromX, int toX, const std::string& legend,
                  const COLORREF* colours) const;
  std::string column(int x, int fromY, int toY, const std::string& legend,
                     const COLORREF* colours) const;

 private:
  HDC context;
  HBITMAP bitmap;
  HGDIOBJ previous;
};
