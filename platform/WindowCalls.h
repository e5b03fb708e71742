#pragma once
#include <string>

#include "platform/WinMessages.h"
// The Windows calls on windows, by their Windows names. All of them belong to the
// user-interface thread, except PostMessage (MessageQueue.h). A call on a handle whose
// window is gone does nothing and returns 0 / FALSE / an empty result.

// Delivers a message at once to the window's procedure: the bound control object's
// WindowProc when one is bound, else the window's default processing.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window's default processing of a message (DefWindowProc): for a message that stands
// for a toolkit event being delivered right now, the toolkit's own handling of that event;
// otherwise what the window's class does with it (text, list rows, button styles, ...).
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

BOOL IsWindow(HWND window);
HWND GetParent(HWND window);
// The child of a dialog with this control id, or null.
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
// The next (or, with previous TRUE, the previous) enabled, visible WS_TABSTOP control of the
// dialog after `control`, wrapping around; null when there is none.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);

BOOL SetWindowTextA(HWND window, const std::string& text);
// The window's text (caption, control text).
std::string GetWindowTextA(HWND window);
BOOL SetDlgItemTextA(HWND dialog, int id, const std::string& text);
std::string GetDlgItemTextA(HWND dialog, int id);

// Enables or disables a window; returns whether it was disabled before.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
// Shows, hides, minimises, maximises or restores; returns whether it was visible.
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
// The window is minimised.
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);

// The outer rectangle in screen coordinates: a top-level window's frame (its decorations
// included where a window manager adds them), a child's own rectangle.
BOOL GetWindowRect(HWND window, RECT* rect);
// The client area: left and top 0, right and bottom its width and height.
BOOL GetClientRect(HWND window, RECT* rect);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL ClientToScreen(HWND window, POINT* point);
// A child: x, y in its parent's client coordinates, width and height of the control.
// A top-level window: the outer rectangle, its size held within WM_GETMINMAXINFO's limits.
// WM_SIZE reaches the window before the call returns when its client size changed.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
// MoveWindow with flags; SWP_FRAMECHANGED repaints the window with its current style.
// `insertAfter` is ignored: the program only ever passes null (top).
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                  UINT flags);

// GWL_STYLE and GWL_EXSTYLE. Changing a button's type to or from BS_OWNERDRAW changes who
// paints it; SS_NOTIFY makes a static report clicks.
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);

// Schedules a repaint (the erase flag is implied: the toolkit always paints whole widgets).
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
// Paints pending invalid areas now.
BOOL UpdateWindow(HWND window);
constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_UPDATENOW = 0x0100;
BOOL RedrawWindow(HWND window, const RECT* rect, void* region, UINT flags);

// The program's active window, null when another program's window is active.
HWND GetForegroundWindow();
// Brings the window to the front and activates it, as far as the window manager lets it.
BOOL SetForegroundWindow(HWND window);

// FlashWindowEx: asks for the user's attention to a window that is not active. Here the
// window manager's urgency hint (its task bar entry flashes) until the window is activated,
// for any flags but FLASHW_STOP, which changes nothing; the count and the timeout are not
// used. Returns whether the window was active.
constexpr DWORD FLASHW_STOP = 0x0;
constexpr DWORD FLASHW_ALL = 0x3;
constexpr DWORD FLASHW_TIMERNOFG = 0xC;
struct FLASHWINFO {
  UINT cbSize;
  HWND hwnd;
  DWORD dwFlags;
  UINT uCount;
  DWORD dwTimeout;
};
BOOL FlashWindowEx(const FLASHWINFO* info);

// Keyboard focus; each returns the window that had it before.
HWND SetFocus(HWND window);
HWND GetFocus();
// The window that receives every mouse message until ReleaseCapture.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
// TME_LEAVE: one WM_MOUSELEAVE when the mouse next leaves hwndTrack.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* request);
// The innermost window of this program under a screen point, or null.
HWND WindowFromPoint(POINT point);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
// Screen size, and the sizes of large (32) and small (16) icons.
int GetSystemMetrics(int index);
