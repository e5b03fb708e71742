#include "platform/Painting.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <map>
#include <memory>

#include "platform/qt/GdiQt.h"
#include "platform/qt/WindowObject.h"

namespace {
struct PaintSession {
  QImage scratch;  // the target when there is no paint to answer
  std::unique_ptr<QPainter> painter;
  HDC dc = nullptr;
};
std::map<HWND, std::unique_ptr<PaintSession>>& Sessions() {
  static std::map<HWND, std::unique_ptr<PaintSession>> sessions;
  return sessions;
}
}  // namespace

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
  WindowObject* object = FindWindowObject(window);
  if (object == nullptr || !object->widget || paint == nullptr || Sessions().count(window))
    return nullptr;
  QWidget* widget = object->widget;
  auto session = std::make_unique<PaintSession>();
  if (object->event != nullptr && object->event->type() == QEvent::Paint) {
    session->painter = std::make_unique<QPainter>(widget);
  } else {
    session->scratch = QImage(widget->size().expandedTo({1, 1}), QImage::Format_ARGB32);
    session->painter = std::make_unique<QPainter>(&session->scratch);
  }
  session->dc = CreatePainterDC(session->painter.get(), widget);
  *paint = {session->dc, TRUE, {0, 0, widget->width(), widget->height()}};
  HDC dc = session->dc;
  Sessions()[window] = std::move(session);
  return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) {
  const auto found = Sessions().find(window);
  if (found == Sessions().end()) return FALSE;
  ReleasePainterDC(found->second->dc);
  Sessions().erase(found);
  return TRUE;
}
