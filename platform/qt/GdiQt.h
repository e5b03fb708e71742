#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

#include "platform/Icons.h"
// The Qt side of the GDI handles, for the platform layer and the visual-styles module only.

class QIcon;
class QWidget;

struct GdiObject {
  enum class Kind { Bitmap, Brush, Pen, Font };
  Kind kind;
  bool stock = false;
  int selections = 0;  // contexts it is selected into
  COLORREF color = 0;  // brush and pen
  bool hollow = false;
  QImage image;        // bitmap, Format_ARGB32
  int bitsPixel = 32;
  QFont font;
};

struct DeviceContext {
  QPainter* painter = nullptr;            // where every drawing goes
  std::unique_ptr<QPainter> ownPainter;   // memory contexts paint their bitmap with it
  QWidget* widget = nullptr;              // the window painted, when there is one
  HGDIOBJ bitmap = nullptr;               // memory contexts only
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ font = nullptr;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  POINT position{0, 0};
};

struct IconObject {
  QImage image;  // Format_ARGB32
  int resourceId = 0;  // the resource it was loaded from, 0 for none
};

inline QColor ToQColor(COLORREF color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}
inline COLORREF ToColorRef(QColor color) {
  return RGB(static_cast<BYTE>(color.red()), static_cast<BYTE>(color.green()),
             static_cast<BYTE>(color.blue()));
}
inline QRect ToQRect(const RECT& rect) {
  return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// A context drawing through `painter` (active, owned by the caller) onto `widget`; the
// painter's font is the context's font. Freed with ReleasePainterDC before the painter ends.
HDC CreatePainterDC(QPainter* painter, QWidget* widget);
void ReleasePainterDC(HDC dc);

// A new font handle for a Qt font, and the Qt font of a handle.
HFONT CreateFontFromQt(const QFont& font);
QFont QtFont(HFONT font);

// A new icon from an image, and the image of an icon.
HICON CreateIconFromImage(const QImage& image);
QImage IconImage(HICON icon);
// Adds an icon to a window's icon, and with it the larger images of the resource it was
// loaded from, for a desktop that asks for larger sizes.
void AddToWindowIcon(QIcon& windowIcon, HICON icon);
