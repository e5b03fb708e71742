#pragma once
#include "platform/Gdi.h"
#include "platform/WinHandles.h"
// Painting a window from its WM_PAINT handler.

// A device context on the window for this WM_PAINT; without a paint to answer (the
// message was sent by the program) the drawing goes nowhere. Pair with EndPaint.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
