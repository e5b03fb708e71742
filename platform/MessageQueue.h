#pragma once
#include "platform/WinHandles.h"
// Posted messages: the one way another thread reaches a window.

// Queues a message for the window and returns at once; callable from any thread. The
// user-interface thread delivers it (as SendMessage would) from its message loop, also from
// the nested loop of a modal dialog or message box. A message whose window is gone by then
// is dropped. Messages posted from one thread arrive in the order they were posted.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// PeekMessage/PumpMessage until nothing is waiting: handles every message and event that
// is pending now (posted messages, input, repaints), then returns. User-interface thread.
void PumpWaitingMessages();
