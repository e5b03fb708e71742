#pragma once
#include <cstdint>

#include "platform/WinTypes.h"
// Message parameters, window handles and the records that travel with messages.

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;

// A window: an opaque number, never reused, so a message for a destroyed window is dropped.
struct HWND__;
using HWND = HWND__*;
// The window menu of a top-level window.
struct MenuObject;
using HMENU = MenuObject*;
// The program's resources (dialog templates, icons, strings).
struct ResourceTable;
using HINSTANCE = const ResourceTable*;
// Drawing handles; the drawing calls themselves are declared with the device context.
struct DeviceContext;
using HDC = DeviceContext*;
struct GdiObject;
using HBRUSH = GdiObject*;
using HFONT = GdiObject*;
struct IconObject;
using HICON = IconObject*;
// The files of one drop on a window (WM_DROPFILES), until DragFinish.
struct DropObject;
using HDROP = DropObject*;

constexpr WORD LOWORD(std::uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
  return static_cast<WPARAM>(low) | static_cast<WPARAM>(high) << 16;
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
  return static_cast<LPARAM>(static_cast<DWORD>(low) | static_cast<DWORD>(high) << 16);
}
// Signed client coordinates packed into a mouse message's lParam.
constexpr int GET_X_LPARAM(LPARAM value) { return static_cast<std::int16_t>(LOWORD(value)); }
constexpr int GET_Y_LPARAM(LPARAM value) { return static_cast<std::int16_t>(HIWORD(value)); }

struct SIZE {
  LONG cx;
  LONG cy;
};

// A message as the message loop holds it before dispatch (PreTranslateMessage sees it).
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  POINT pt;  // the mouse position in screen coordinates
};

// WM_GETMINMAXINFO: outer window sizes in pixels.
struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

// WM_NOTIFY: the header of every notification a control sends its parent.
struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};

// WM_DRAWITEM: what an owner-drawn control is to paint.
struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
};

// BeginPaint/EndPaint.
struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
};

// TrackMouseEvent.
struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};
