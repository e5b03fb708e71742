#include "platform/Cursors.h"

#include <QCursor>
#include <QWidget>

#include "platform/WindowCalls.h"
#include "platform/qt/WindowObject.h"

struct CursorObject {
  Qt::CursorShape shape;
};

namespace {
CursorObject arrow{Qt::ArrowCursor};
CursorObject hand{Qt::PointingHandCursor};
HCURSOR current = nullptr;

QWidget* MouseWidget() {
  HWND window = GetCapture();
  if (window == nullptr) {
    const QPoint pointer = QCursor::pos();
    window = WindowFromPoint({pointer.x(), pointer.y()});
  }
  WindowObject* object = FindWindowObject(window);
  return object != nullptr ? object->widget.data() : nullptr;
}
}  // namespace

HCURSOR LoadCursorA(HINSTANCE instance, int cursorId) {
  if (instance != nullptr) return nullptr;
  switch (cursorId) {
    case IDC_ARROW: return &arrow;
    case IDC_HAND: return &hand;
    default: return nullptr;
  }
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR previous = current;
  current = cursor;
  if (QWidget* widget = MouseWidget())
    widget->setCursor(cursor != nullptr ? cursor->shape : Qt::BlankCursor);
  return previous;
}

HCURSOR GetCursor() { return current; }
