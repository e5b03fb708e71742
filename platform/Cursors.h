#pragma once
#include "platform/WinHandles.h"
// Mouse cursors: the system's shared cursors, loaded by id and never destroyed.

struct CursorObject;
using HCURSOR = CursorObject*;

constexpr int IDC_ARROW = 32512;
constexpr int IDC_HAND = 32649;

// A system cursor (`instance` null) by its IDC_ id; null for an id that is not one, or for
// any resource of the program itself (the program has no cursor resources).
HCURSOR LoadCursorA(HINSTANCE instance, int cursorId);
// The pointer takes this shape over the window now receiving the mouse (the capture window,
// else the window under the pointer) until it is set again; null hides the pointer there.
// Returns the cursor set before.
HCURSOR SetCursor(HCURSOR cursor);
// The cursor last set with SetCursor, or null.
HCURSOR GetCursor();
