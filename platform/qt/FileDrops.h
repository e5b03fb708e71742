#pragma once
#include <string>
#include <vector>

#include "platform/WinHandles.h"
// The toolkit's drag and drop events on a window that accepts files (WS_EX_ACCEPTFILES),
// and the drops they make.

class QEvent;
class QMimeData;
struct WindowObject;

// The local files of a drag's data (text/uri-list): file URLs only, percent-decoded, in
// order. Other URLs are left out.
std::vector<std::string> DroppedFilePaths(const QMimeData& data);

// A drag entering or moving over the window is accepted as a copy when it brings local
// files and no modal dialog blocks the window, else refused; a drop of local files posts
// WM_DROPFILES with a new drop. True when the event was the window's to handle.
bool DeliverFileDrag(WindowObject& window, QEvent* event);

// A new drop of `window` holding these paths, alive until DragFinish or the window's end.
// Handles are numbers never reused, so a finished drop is never mistaken for a live one.
HDROP NewDrop(HWND window, std::vector<std::string> paths);
// Releases every drop of a window that is going.
void ReleaseDropsOf(HWND window);
