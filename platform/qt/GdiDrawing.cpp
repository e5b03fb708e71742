#include <cstdlib>
#include <cstring>

#include "platform/qt/GdiQt.h"

namespace {

void FillPixels(HDC dc, int x, int y, int width, int height, COLORREF color) {
  if (dc->painter == nullptr || width <= 0 || height <= 0) return;
  dc->painter->fillRect(x, y, width, height, ToQColor(color));
}

bool Paints(HBRUSH brush) {
  return brush != nullptr && brush->kind == GdiObject::Kind::Brush && !brush->hollow;
}

int QtTextFlags(UINT format) {
  int flags = format & DT_CENTER ? Qt::AlignHCenter : format & DT_RIGHT ? Qt::AlignRight
                                                                        : Qt::AlignLeft;
  if (format & DT_SINGLELINE) {
    flags |= Qt::TextSingleLine;
    flags |= format & DT_VCENTER ? Qt::AlignVCenter : format & DT_BOTTOM ? Qt::AlignBottom
                                                                         : Qt::AlignTop;
  } else {
    flags |= Qt::AlignTop;
  }
  if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
  if (!(format & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;
  return flags;
}

}  // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (dc == nullptr || rect == nullptr || !Paints(brush)) return 0;
  FillPixels(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
             brush->color);
  return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (dc == nullptr || rect == nullptr || !Paints(brush)) return 0;
  const int width = rect->right - rect->left, height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0) return 0;
  FillPixels(dc, rect->left, rect->top, width, 1, brush->color);
  FillPixels(dc, rect->left, rect->bottom - 1, width, 1, brush->color);
  FillPixels(dc, rect->left, rect->top, 1, height, brush->color);
  FillPixels(dc, rect->right - 1, rect->top, 1, height, brush->color);
  return 1;
}

void Draw3dRect(HDC dc, const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
  const int x = rect->left, y = rect->top;
  const int width = rect->right - rect->left, height = rect->bottom - rect->top;
  FillPixels(dc, x, y, width - 1, 1, topLeft);
  FillPixels(dc, x, y, 1, height - 1, topLeft);
  FillPixels(dc, x + width - 1, y, 1, height, bottomRight);
  FillPixels(dc, x, y + height - 1, width, 1, bottomRight);
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  if (dc == nullptr || rect == nullptr || dc->painter == nullptr) return FALSE;
  const int left = rect->left, top = rect->top;
  const int right = rect->right - 1, bottom = rect->bottom - 1;
  if (right < left || bottom < top) return FALSE;
  QPainter* painter = dc->painter;
  painter->save();
  painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  // Every other pixel of the frame, each frame pixel visited once.
  const auto invert = [&](int x, int y) {
    if ((x - left + y - top) % 2 == 0) painter->fillRect(x, y, 1, 1, Qt::white);
  };
  for (int x = left; x <= right; ++x) {
    invert(x, top);
    if (bottom != top) invert(x, bottom);
  }
  for (int y = top + 1; y < bottom; ++y) {
    invert(left, y);
    if (right != left) invert(right, y);
  }
  painter->restore();
  return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
  if (dc == nullptr) return FALSE;
  if (previous != nullptr) *previous = dc->position;
  dc->position = {x, y};
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  if (dc == nullptr) return FALSE;
  const COLORREF color = dc->pen != nullptr ? dc->pen->color : RGB(0, 0, 0);
  // Bresenham from the current position; the end point itself is not drawn.
  int cx = dc->position.x, cy = dc->position.y;
  const int dx = std::abs(x - cx), dy = -std::abs(y - cy);
  const int sx = cx < x ? 1 : -1, sy = cy < y ? 1 : -1;
  int error = dx + dy;
  while (cx != x || cy != y) {
    FillPixels(dc, cx, cy, 1, 1, color);
    const int doubled = 2 * error;
    if (doubled >= dy) error += dy, cx += sx;
    if (doubled <= dx) error += dx, cy += sy;
  }
  dc->position = {x, y};
  return TRUE;
}

int DrawTextA(HDC dc, const char* text, int length, RECT* rect, UINT format) {
  if (dc == nullptr || text == nullptr || rect == nullptr) return 0;
  const QString string = QString::fromLocal8Bit(
      text, length < 0 ? static_cast<qsizetype>(std::strlen(text)) : length);
  const int flags = QtTextFlags(format);
  const QRect frame = ToQRect(*rect);
  const QRect bounds =
      dc->painter != nullptr
          ? dc->painter->boundingRect(frame, flags, string)
          : QFontMetrics(QtFont(dc->font)).boundingRect(frame, flags, string);
  if (format & DT_CALCRECT) {
    rect->right = rect->left + bounds.width();
    rect->bottom = rect->top + bounds.height();
    return bounds.height();
  }
  if (dc->painter == nullptr) return bounds.height();
  if (dc->bkMode == OPAQUE) dc->painter->fillRect(bounds & frame, ToQColor(dc->bkColor));
  dc->painter->setPen(ToQColor(dc->textColor));
  dc->painter->drawText(frame, flags, string);
  return bounds.height();
}
