#pragma once
#include "platform/DialogTemplate.h"
#include "platform/WinHandles.h"
// Builds a dialog window and its controls from a template.

struct WindowObject;

// The dialog window, hidden, with its controls in template order; not yet bound to any
// object. Rectangles become pixels with the dialog font's base units.
WindowObject& BuildDialog(const DialogTemplate& dialog, HWND parent);
// The dialog font's base units: the average width of the letters, rounded, and the
// character height, as Windows measures them.
SIZE DialogBaseUnits(const char* fontName, int pointSize);
// Destroys a window and its children: every handle dies at once, the widgets go when the
// toolkit is back in its event loop (or at once with `now`, outside any of their events).
void DestroyWindowTree(WindowObject& window, bool now);
