#pragma once
#include "platform/WinHandles.h"
// Files dropped on a window from the file manager. A window that accepts files gets each
// drop as a posted WM_DROPFILES whose wParam is the drop's HDROP; the handler reads the
// paths with DragQueryFileA and releases the drop with DragFinish.

// Sets (TRUE) or clears the window's WS_EX_ACCEPTFILES. Its children take no drops of their
// own: a file dropped anywhere on the window is the window's.
void DragAcceptFiles(HWND window, BOOL accept);

// With index 0xFFFFFFFF: the number of files. Otherwise file `index`'s full path: with a
// null buffer its length in bytes, else the path copied into `buffer` (cut to size - 1
// bytes, always ended by a NUL) and the number of bytes copied. 0 for an index past the end
// and for a finished drop.
UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size);

// Releases the drop; the handle is dead afterwards (the calls above answer 0 for it). A drop
// that is never finished goes with its window.
void DragFinish(HDROP drop);
