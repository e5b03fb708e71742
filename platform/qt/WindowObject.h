#pragma once
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/WinMessages.h"
// The window behind a handle: its widget, class, styles, bound object and the state the
// Windows calls keep for it. Lives on the user-interface thread only.

class CWnd;
class QEvent;
class QEventLoop;
struct MenuObject;

enum class WindowKind { Dialog, Button, Static, Edit, ListView, Progress, ComboBox };

struct WindowObject {
  HWND handle = nullptr;
  WindowKind kind = WindowKind::Dialog;
  QPointer<QWidget> widget;
  CWnd* wnd = nullptr;  // the bound object
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  bool trackLeave = false;  // TrackMouseEvent(TME_LEAVE) is pending
  // WM_SETFONT's font (the sender's), else the font made for WM_GETFONT (the window's own).
  HFONT font = nullptr;
  bool ownsFont = false;
  WPARAM lastSizeType = SIZE_RESTORED;
  SIZE lastSize{-1, -1};  // the client size of the last WM_SIZE
  // Top-level windows. A window manager adds its decorations only after the first show, so
  // what is about the outer size is worked out again whenever they change: the outer size
  // the program asked for (kept until the window is resized otherwise), the minimum
  // tracking size, and the centring (kept until the window is moved otherwise).
  QSize requestedOuterSize;
  QSize appliedFrameExtra;  // the decorations the above were last worked out for
  bool centred = false;

  // The toolkit event being delivered as a message right now (nested deliveries stack),
  // the message standing for it, and whether its default processing has run.
  QEvent* event = nullptr;
  UINT eventMessage = 0;
  bool eventDefaultDone = false;

  // Dialogs.
  std::vector<HWND> children;  // in template order
  std::unique_ptr<MenuObject> systemMenu;
  QEventLoop* modalLoop = nullptr;
  INT_PTR result = 0;
  bool ended = false;
  int defaultId = 0;  // the template's default push button, else IDOK
  HWND defaultButton = nullptr;  // the push button showing the default state
  HICON icons[2] = {nullptr, nullptr};

  // List views.
  std::vector<int> columnFormats;
  DWORD extendedStyle = 0;

  WindowObject();
  ~WindowObject();
};

// A new handle for a window object; the object must stay alive until UnregisterWindow.
HWND RegisterWindow(WindowObject& window);
// The handle is dead from now on: the object is unbound from its CWnd and forgotten.
void UnregisterWindow(WindowObject& window);
// The live window behind a handle, or null.
WindowObject* FindWindowObject(HWND handle);
// The window a widget (or the nearest of its ancestors) stands for, or null.
WindowObject* WindowOfWidget(const QWidget* widget);
// The top-level dialog a window belongs to (itself for a dialog), or null.
WindowObject* DialogOf(WindowObject& window);
