#include <QGuiApplication>
#include <QPalette>
#include <cassert>
#include <cstring>

#include "platform/qt/GdiQt.h"

namespace {

GdiObject* NewObject(GdiObject::Kind kind) {
  auto* object = new GdiObject;
  object->kind = kind;
  return object;
}

GdiObject* StockObject(GdiObject::Kind kind, bool hollow) {
  GdiObject* object = NewObject(kind);
  object->stock = true;
  object->hollow = hollow;
  return object;
}

// The bitmap every memory context starts with; it is never painted on.
HBITMAP DefaultBitmap() {
  static GdiObject* bitmap = [] {
    GdiObject* object = StockObject(GdiObject::Kind::Bitmap, false);
    object->image = QImage(1, 1, QImage::Format_ARGB32);
    object->image.fill(0);
    object->bitsPixel = 1;
    return object;
  }();
  return bitmap;
}

HPEN DefaultPen() {
  static GdiObject* pen = StockObject(GdiObject::Kind::Pen, false);
  return pen;
}

HBRUSH DefaultBrush() {
  static GdiObject* brush = [] {
    GdiObject* object = StockObject(GdiObject::Kind::Brush, false);
    object->color = RGB(255, 255, 255);
    return object;
  }();
  return brush;
}

// The painter of a memory context paints its selected bitmap, unless that is the default.
void RestartMemoryPainter(HDC dc) {
  if (dc->ownPainter) dc->ownPainter->end();
  dc->ownPainter.reset();
  dc->painter = nullptr;
  if (dc->bitmap == nullptr || dc->bitmap->stock) return;
  dc->ownPainter = std::make_unique<QPainter>(&dc->bitmap->image);
  dc->painter = dc->ownPainter.get();
  if (dc->font != nullptr) dc->painter->setFont(dc->font->font);
}

HGDIOBJ& SlotFor(HDC dc, GdiObject::Kind kind) {
  switch (kind) {
    case GdiObject::Kind::Bitmap: return dc->bitmap;
    case GdiObject::Kind::Brush: return dc->brush;
    case GdiObject::Kind::Pen: return dc->pen;
    case GdiObject::Kind::Font: break;
  }
  return dc->font;
}

void Deselect(HGDIOBJ object) {
  if (object != nullptr) --object->selections;
}

QImage* SelectedImage(HDC dc, int x, int y) {
  if (dc == nullptr || dc->bitmap == nullptr || dc->bitmap->stock) return nullptr;
  QImage& image = dc->bitmap->image;
  return image.valid(x, y) ? &image : nullptr;
}

}  // namespace

COLORREF GetSysColor(int index) {
  const QPalette palette = QGuiApplication::palette();
  switch (index) {
    case COLOR_WINDOW: return ToColorRef(palette.color(QPalette::Base));
    case COLOR_WINDOWTEXT: return ToColorRef(palette.color(QPalette::Text));
    case COLOR_BTNFACE: return ToColorRef(palette.color(QPalette::Button));
    case COLOR_BTNSHADOW: return ToColorRef(palette.color(QPalette::Dark));
    case COLOR_GRAYTEXT:
      return ToColorRef(palette.color(QPalette::Disabled, QPalette::Text));
    case COLOR_BTNTEXT: return ToColorRef(palette.color(QPalette::ButtonText));
    case COLOR_BTNHIGHLIGHT: return ToColorRef(palette.color(QPalette::Light));
    case COLOR_3DDKSHADOW: return ToColorRef(palette.color(QPalette::Shadow));
    case COLOR_3DLIGHT: return ToColorRef(palette.color(QPalette::Midlight));
    default: return 0;
  }
}

HDC CreateCompatibleDC(HDC) {
  auto* dc = new DeviceContext;
  dc->bitmap = DefaultBitmap();
  dc->pen = DefaultPen();
  dc->brush = DefaultBrush();
  return dc;
}

HDC CreatePainterDC(QPainter* painter, QWidget* widget) {
  auto* dc = new DeviceContext;
  dc->painter = painter;
  dc->widget = widget;
  dc->pen = DefaultPen();
  dc->brush = DefaultBrush();
  return dc;
}

void ReleasePainterDC(HDC dc) { DeleteDC(dc); }

BOOL DeleteDC(HDC dc) {
  if (dc == nullptr) return FALSE;
  if (dc->ownPainter) dc->ownPainter->end();
  for (HGDIOBJ object : {dc->bitmap, dc->pen, dc->brush, dc->font}) Deselect(object);
  delete dc;
  return TRUE;
}

HBITMAP CreateBitmap(int width, int height, UINT, UINT bitsPerPixel, const void* bits) {
  assert(bits == nullptr && "initial bits are not supported");
  (void)bits;
  if (width <= 0 || height <= 0 || (bitsPerPixel != 1 && bitsPerPixel != 32)) return nullptr;
  GdiObject* bitmap = NewObject(GdiObject::Kind::Bitmap);
  bitmap->image = QImage(width, height, QImage::Format_ARGB32);
  bitmap->image.fill(0);
  bitmap->bitsPixel = static_cast<int>(bitsPerPixel);
  return bitmap;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  GdiObject* brush = NewObject(GdiObject::Kind::Brush);
  brush->color = color;
  return brush;
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style != PS_SOLID || width > 1) return nullptr;
  GdiObject* pen = NewObject(GdiObject::Kind::Pen);
  pen->color = color;
  return pen;
}

HFONT CreateFontFromQt(const QFont& font) {
  GdiObject* object = NewObject(GdiObject::Kind::Font);
  object->font = font;
  return object;
}

QFont QtFont(HFONT font) {
  return font != nullptr && font->kind == GdiObject::Kind::Font ? font->font : QFont();
}

HFONT CreateFontIndirectA(const LOGFONTA* description) {
  if (description == nullptr) return nullptr;
  QFont font(QString::fromLocal8Bit(description->lfFaceName,
                                    static_cast<int>(strnlen(description->lfFaceName,
                                                             LF_FACESIZE))));
  if (description->lfHeight != 0) font.setPixelSize(std::abs(description->lfHeight));
  font.setWeight(description->lfWeight >= 700 ? QFont::Bold : QFont::Normal);
  font.setItalic(description->lfItalic != 0);
  font.setUnderline(description->lfUnderline != 0);
  font.setStrikeOut(description->lfStrikeOut != 0);
  return CreateFontFromQt(font);
}

HGDIOBJ GetStockObject(int object) {
  static GdiObject* nullBrush = StockObject(GdiObject::Kind::Brush, true);
  return object == NULL_BRUSH ? nullBrush : nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
  if (object == nullptr || object->stock || object->selections > 0) return FALSE;
  delete object;
  return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, void* buffer) {
  if (object == nullptr || buffer == nullptr) return 0;
  if (object->kind == GdiObject::Kind::Bitmap) {
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP bitmap{};
    bitmap.bmWidth = object->image.width();
    bitmap.bmHeight = object->image.height();
    bitmap.bmWidthBytes = (bitmap.bmWidth * object->bitsPixel + 15) / 16 * 2;
    bitmap.bmPlanes = 1;
    bitmap.bmBitsPixel = static_cast<WORD>(object->bitsPixel);
    std::memcpy(buffer, &bitmap, sizeof bitmap);
    return sizeof bitmap;
  }
  if (object->kind == GdiObject::Kind::Font) {
    if (size < static_cast<int>(sizeof(LOGFONTA))) return 0;
    const QFont& font = object->font;
    LOGFONTA description{};
    description.lfHeight = -QFontInfo(font).pixelSize();
    description.lfWeight = font.bold() ? 700 : 400;
    description.lfItalic = font.italic();
    description.lfUnderline = font.underline();
    description.lfStrikeOut = font.strikeOut();
    const QByteArray family = font.family().toLocal8Bit().left(LF_FACESIZE - 1);
    std::memcpy(description.lfFaceName, family.constData(), family.size());
    std::memcpy(buffer, &description, sizeof description);
    return sizeof description;
  }
  return 0;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (dc == nullptr || object == nullptr) return nullptr;
  // A bitmap goes only into a memory context, and into one at a time.
  if (object->kind == GdiObject::Kind::Bitmap &&
      (dc->bitmap == nullptr || (!object->stock && object->selections > 0)))
    return nullptr;
  HGDIOBJ& slot = SlotFor(dc, object->kind);
  HGDIOBJ previous = slot;
  Deselect(previous);
  slot = object;
  ++object->selections;
  if (object->kind == GdiObject::Kind::Bitmap) RestartMemoryPainter(dc);
  if (object->kind == GdiObject::Kind::Font && dc->painter != nullptr)
    dc->painter->setFont(object->font);
  return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  const COLORREF previous = dc->textColor;
  dc->textColor = color;
  return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  const COLORREF previous = dc->bkColor;
  dc->bkColor = color;
  return previous;
}

int SetBkMode(HDC dc, int mode) {
  const int previous = dc->bkMode;
  dc->bkMode = mode;
  return previous;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  const QImage* image = SelectedImage(dc, x, y);
  if (image == nullptr) return CLR_INVALID;
  const QRgb pixel = image->pixel(x, y);
  return RGB(static_cast<BYTE>(qRed(pixel)), static_cast<BYTE>(qGreen(pixel)),
             static_cast<BYTE>(qBlue(pixel)));
}

// Like GDI on a 32-bit bitmap, the alpha byte of a written pixel is 0.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  QImage* image = SelectedImage(dc, x, y);
  if (image == nullptr) return CLR_INVALID;
  image->setPixel(x, y, qRgba(GetRValue(color), GetGValue(color), GetBValue(color), 0));
  return color;
}
