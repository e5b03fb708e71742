#pragma once
#include <QPalette>
#include <string>

#include "platform/Wnd.h"
#include "tests/controls/MemoryCanvas.h"
// Painting buttons into memory for the button tests, with system colours that tell every
// part of a button apart.

// Sets a palette whose button colours are all different; the previous one comes back at
// destruction. Letters of a painted row: C face, H highlight, L 3D light, S shadow,
// D dark shadow, T text, K black, R red, M magenta, I the face inverted.
class ButtonPalette {
 public:
  ButtonPalette();
  ~ButtonPalette();
  // The pixels of canvas row y (or column x) from..to as letters, '?' for other colours.
  std::string row(const MemoryCanvas& canvas, int y, int from, int to) const;
  std::string column(const MemoryCanvas& canvas, int x, int from, int to) const;

 private:
  QPalette saved;
};

// Paints `button` into `dc` through its dialog's WM_DRAWITEM, as the platform does for a
// paint, with the item rectangle and ODS_ state given.
void PaintButton(CWnd& button, HDC dc, RECT rect, UINT state);
// A button painted into a memory canvas of width x height (background RGB(1, 2, 3)).
class PaintedButton : public MemoryCanvas {
 public:
  PaintedButton(CWnd& button, int width, int height, UINT state)
      : MemoryCanvas(width, height, RGB(1, 2, 3)) {
    PaintButton(button, dc(), {0, 0, width, height}, state);
  }
};

// A 16 x 16 icon of pure red (the caller owns it).
HICON RedIcon();
