#include "platform/WindowCalls.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/WinStyles.h"
#include "platform/Wnd.h"
#include "platform/qt/ClassProcedures.h"
#include "platform/qt/EventTranslator.h"
#include "platform/qt/WindowGeometry.h"
#include "platform/qt/WindowObject.h"

namespace {
QWidget* WidgetOf(HWND window) {
  WindowObject* object = FindWindowObject(window);
  return object == nullptr ? nullptr : object->widget.data();
}

HWND HandleOf(const QWidget* widget) {
  WindowObject* object = WindowOfWidget(widget);
  return object == nullptr ? nullptr : object->handle;
}

HWND captureWindow = nullptr;
}  // namespace

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowObject* object = FindWindowObject(window);
  if (object == nullptr) return 0;
  if (object->wnd != nullptr) return DeliverToWnd(*object->wnd, message, wParam, lParam);
  return DefWindowProc(window, message, wParam, lParam);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowObject* object = FindWindowObject(window);
  if (object == nullptr) return 0;
  RunToolkitDefault(*object, message);
  if (FindWindowObject(window) != object) return 0;
  return ClassWindowProc(*object, message, wParam, lParam);
}

BOOL IsWindow(HWND window) { return FindWindowObject(window) != nullptr; }

HWND GetParent(HWND window) {
  WindowObject* object = FindWindowObject(window);
  return object == nullptr ? nullptr : object->parent;
}

HWND GetDlgItem(HWND dialog, int id) {
  WindowObject* object = FindWindowObject(dialog);
  if (object == nullptr) return nullptr;
  for (HWND child : object->children)
    if (WindowObject* control = FindWindowObject(child); control != nullptr && control->id == id)
      return child;
  return nullptr;
}

int GetDlgCtrlID(HWND window) {
  WindowObject* object = FindWindowObject(window);
  return object == nullptr ? 0 : object->id;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  WindowObject* object = FindWindowObject(dialog);
  if (object == nullptr || object->children.empty()) return nullptr;
  std::vector<HWND> order = object->children;
  if (previous) std::reverse(order.begin(), order.end());
  const auto start = std::find(order.begin(), order.end(), control);
  const std::size_t count = order.size();
  const std::size_t first = start == order.end() ? 0 : (start - order.begin()) + 1;
  for (std::size_t step = 0; step < count; ++step) {
    HWND candidate = order[(first + step) % count];
    if (candidate == control) continue;
    WindowObject* child = FindWindowObject(candidate);
    if (child != nullptr && (child->style & WS_TABSTOP) && child->widget &&
        child->widget->isEnabled() && !child->widget->isHidden())
      return candidate;
  }
  return nullptr;
}

BOOL SetWindowTextA(HWND window, const std::string& text) {
  return SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

std::string GetWindowTextA(HWND window) {
  const LRESULT length = SendMessage(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessage(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::max<LRESULT>(0, copied)));
  return text;
}

BOOL SetDlgItemTextA(HWND dialog, int id, const std::string& text) {
  return SetWindowTextA(GetDlgItem(dialog, id), text);
}

std::string GetDlgItemTextA(HWND dialog, int id) { return GetWindowTextA(GetDlgItem(dialog, id)); }

BOOL EnableWindow(HWND window, BOOL enable) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return FALSE;
  const BOOL wasDisabled = !widget->isEnabled();
  widget->setEnabled(enable != FALSE);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
  QWidget* widget = WidgetOf(window);
  return widget != nullptr && widget->isEnabled();
}

BOOL ShowWindow(HWND window, int command) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return FALSE;
  const BOOL wasVisible = !widget->isHidden();
  switch (command) {
    case SW_HIDE: widget->hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE: widget->showMinimized(); break;
    case SW_MAXIMIZE: widget->showMaximized(); break;
    case SW_SHOWNORMAL:
    case SW_RESTORE: widget->isWindow() ? widget->showNormal() : widget->show(); break;
    default: widget->show(); break;
  }
  return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
  QWidget* widget = WidgetOf(window);
  return widget != nullptr && widget->isVisible();
}

BOOL IsIconic(HWND window) {
  QWidget* widget = WidgetOf(window);
  return widget != nullptr && widget->isMinimized();
}

BOOL IsZoomed(HWND window) {
  QWidget* widget = WidgetOf(window);
  return widget != nullptr && widget->isMaximized();
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr || rect == nullptr) return FALSE;
  const QRect outer = widget->isWindow()
                          ? widget->frameGeometry()
                          : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  *rect = {outer.x(), outer.y(), outer.x() + outer.width(), outer.y() + outer.height()};
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr || rect == nullptr) return FALSE;
  *rect = {0, 0, widget->width(), widget->height()};
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr || point == nullptr) return FALSE;
  const QPoint local = widget->mapFromGlobal(QPoint(point->x, point->y));
  *point = {local.x(), local.y()};
  return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr || point == nullptr) return FALSE;
  const QPoint global = widget->mapToGlobal(QPoint(point->x, point->y));
  *point = {global.x(), global.y()};
  return TRUE;
}

// The toolkit repaints moved widgets itself, so `repaint` needs no handling.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags) {
  WindowObject* object = FindWindowObject(window);
  if (object == nullptr || !object->widget) return FALSE;
  QWidget& widget = *object->widget;
  if (widget.isWindow()) {
    if (!(flags & SWP_NOSIZE)) {
      const QSize outer = ClampOuterSize(*object, QSize(width, height));
      object->requestedOuterSize = outer;
      SetClientSize(*object, (outer - FrameExtra(*object)).expandedTo({0, 0}));
    }
    if (!(flags & SWP_NOMOVE)) {
      widget.move(x, y);
      object->centred = false;
    }
  } else {
    const QRect current = widget.geometry();
    const QPoint position = (flags & SWP_NOMOVE) ? current.topLeft() : QPoint(x, y);
    const QSize size = (flags & SWP_NOSIZE) ? current.size() : QSize(width, height);
    widget.setGeometry(QRect(position, size.expandedTo({0, 0})));
  }
  if (flags & SWP_FRAMECHANGED) widget.update();
  // The window hears of its new size before the call returns, shown or not.
  if (FindWindowObject(window) == object) SendSizeIfChanged(*object);
  return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
  WindowObject* object = FindWindowObject(window);
  if (object == nullptr) return 0;
  if (index == GWL_STYLE) return static_cast<LONG>(object->style);
  if (index == GWL_EXSTYLE) return static_cast<LONG>(object->exStyle);
  return 0;
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
  WindowObject* object = FindWindowObject(window);
  if (object == nullptr) return 0;
  DWORD* field = index == GWL_STYLE ? &object->style : index == GWL_EXSTYLE ? &object->exStyle : nullptr;
  if (field == nullptr) return 0;
  const LONG previous = static_cast<LONG>(*field);
  *field = static_cast<DWORD>(value);
  if (object->widget) object->widget->update();
  return previous;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return FALSE;
  if (rect == nullptr) widget->update();
  else widget->update(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
  return TRUE;
}

BOOL UpdateWindow(HWND window) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return FALSE;
  widget->repaint();
  return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, void*, UINT flags) {
  if (flags & RDW_INVALIDATE) InvalidateRect(window, rect, (flags & RDW_ERASE) != 0);
  return (flags & RDW_UPDATENOW) ? UpdateWindow(window) : IsWindow(window);
}

HWND GetForegroundWindow() { return HandleOf(QApplication::activeWindow()); }

BOOL SetForegroundWindow(HWND window) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return FALSE;
  widget->window()->raise();
  widget->window()->activateWindow();
  return TRUE;
}

BOOL FlashWindowEx(const FLASHWINFO* info) {
  QWidget* widget = WidgetOf(info->hwnd);
  if (widget == nullptr) return FALSE;
  const BOOL wasActive = widget->isActiveWindow() ? TRUE : FALSE;
  if (info->dwFlags != FLASHW_STOP) QApplication::alert(widget->window(), 0);
  return wasActive;
}

HWND SetFocus(HWND window) {
  HWND previous = GetFocus();
  if (QWidget* widget = WidgetOf(window)) widget->setFocus(Qt::OtherFocusReason);
  return previous;
}

HWND GetFocus() { return HandleOf(QApplication::focusWidget()); }

HWND SetCapture(HWND window) {
  HWND previous = captureWindow;
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return previous;
  if (QWidget* old = WidgetOf(previous); old != nullptr && old != widget) old->releaseMouse();
  widget->grabMouse();
  captureWindow = window;
  return previous;
}

BOOL ReleaseCapture() {
  if (QWidget* widget = WidgetOf(captureWindow)) widget->releaseMouse();
  captureWindow = nullptr;
  return TRUE;
}

HWND GetCapture() { return IsWindow(captureWindow) ? captureWindow : nullptr; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* request) {
  if (request == nullptr) return FALSE;
  WindowObject* object = FindWindowObject(request->hwndTrack);
  if (object == nullptr) return FALSE;
  object->trackLeave = (request->dwFlags & TME_LEAVE) != 0;
  return TRUE;
}

HWND WindowFromPoint(POINT point) { return HandleOf(QApplication::widgetAt(point.x, point.y)); }

int GetSystemMetrics(int index) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  switch (index) {
    case SM_CXSCREEN: return screen != nullptr ? screen->size().width() : 0;
    case SM_CYSCREEN: return screen != nullptr ? screen->size().height() : 0;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    default: return 0;
  }
}
