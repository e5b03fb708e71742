#include "platform/qt/WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/WinStyles.h"
#include "platform/WindowCalls.h"
#include "platform/qt/WindowObject.h"

QSize FrameExtra(const WindowObject& window) {
  if (!window.widget || !window.widget->isWindow()) return {0, 0};
  const QSize extra = window.widget->frameGeometry().size() - window.widget->size();
  return extra.expandedTo({0, 0});
}

MINMAXINFO QueryMinMaxInfo(WindowObject& window) {
  MINMAXINFO info{};
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize extra = FrameExtra(window);
  const QSize screenSize = screen != nullptr ? screen->size() : QSize(1 << 14, 1 << 14);
  info.ptMaxSize = {screenSize.width() + extra.width(), screenSize.height() + extra.height()};
  info.ptMaxTrackSize = info.ptMaxSize;
  SendMessage(window.handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info;
}

bool HasSizingBorder(const WindowObject& window) { return window.style & WS_THICKFRAME; }

void ApplyTrackingLimits(WindowObject& window) {
  if (!window.widget) return;
  if (!HasSizingBorder(window)) {
    window.widget->setFixedSize(window.widget->size());
    return;
  }
  const MINMAXINFO info = QueryMinMaxInfo(window);
  const QSize extra = FrameExtra(window);
  window.widget->setMinimumSize(std::max(0, info.ptMinTrackSize.x - extra.width()),
                                std::max(0, info.ptMinTrackSize.y - extra.height()));
}

void SetClientSize(WindowObject& window, QSize size) {
  if (!window.widget) return;
  if (HasSizingBorder(window)) window.widget->resize(size);
  else window.widget->setFixedSize(size);
}

QSize ClampOuterSize(WindowObject& window, QSize outer) {
  const MINMAXINFO info = QueryMinMaxInfo(window);
  return {std::clamp<int>(outer.width(), info.ptMinTrackSize.x,
                          std::max(info.ptMinTrackSize.x, info.ptMaxTrackSize.x)),
          std::clamp<int>(outer.height(), info.ptMinTrackSize.y,
                          std::max(info.ptMinTrackSize.y, info.ptMaxTrackSize.y))};
}

void SendSizeIfChanged(WindowObject& window) {
  if (!window.widget) return;
  const QWidget& widget = *window.widget;
  const WPARAM type = widget.isMinimized()   ? SIZE_MINIMIZED
                      : widget.isMaximized() ? SIZE_MAXIMIZED
                                             : SIZE_RESTORED;
  const SIZE size{widget.width(), widget.height()};
  if (type == window.lastSizeType && size.cx == window.lastSize.cx &&
      size.cy == window.lastSize.cy)
    return;
  window.lastSizeType = type;
  window.lastSize = size;
  SendMessage(window.handle, WM_SIZE, type,
              MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy)));
}

namespace {
QPoint CentredPosition(const WindowObject& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return window.widget->frameGeometry().topLeft();
  const QRect area = screen->availableGeometry();
  const QSize outer = window.widget->size() + FrameExtra(window);
  return {area.x() + (area.width() - outer.width()) / 2,
          area.y() + (area.height() - outer.height()) / 2};
}
}  // namespace

void CentreOnScreen(WindowObject& window) {
  if (!window.widget || !window.widget->isWindow()) return;
  window.widget->move(CentredPosition(window));
  window.centred = true;
}

void FollowFrame(WindowObject& window) {
  if (!window.widget || !window.widget->isWindow()) return;
  QWidget& widget = *window.widget;
  const QSize extra = FrameExtra(window);
  if (extra != window.appliedFrameExtra) {
    window.appliedFrameExtra = extra;
    ApplyTrackingLimits(window);
    if (window.requestedOuterSize.isValid())
      SetClientSize(window, (window.requestedOuterSize - extra).expandedTo({0, 0}));
    if (window.centred) widget.move(CentredPosition(window));
    SendSizeIfChanged(window);
    return;
  }
  if (window.requestedOuterSize.isValid() && widget.size() + extra != window.requestedOuterSize)
    window.requestedOuterSize = QSize();
  if (window.centred && widget.frameGeometry().topLeft() != CentredPosition(window))
    window.centred = false;
}
