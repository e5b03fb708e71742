#include <QIcon>
#include <QPixmap>
#include <algorithm>
#include <map>
#include <vector>

#include "platform/WindowCalls.h"
#include "platform/qt/GdiQt.h"

namespace {

// The images of each icon resource, smallest first.
std::map<int, std::vector<QImage>>& IconResources() {
  static std::map<int, std::vector<QImage>> resources;
  return resources;
}

// The image of a resource that best gives an icon `width` wide: that size, else the
// smallest larger one, else the largest.
const QImage& BestImage(const std::vector<QImage>& images, int width) {
  const auto larger = std::find_if(images.begin(), images.end(),
                                   [width](const QImage& image) { return image.width() >= width; });
  return larger != images.end() ? *larger : images.back();
}

HBITMAP BitmapFromImage(const QImage& image, int bitsPixel) {
  HBITMAP bitmap = CreateBitmap(image.width(), image.height(), 1, bitsPixel, nullptr);
  bitmap->image = image.copy();  // never shared: a painter may be active on it later
  return bitmap;
}

bool HasAlpha(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) return true;
  return false;
}

// The opaque pixels of an icon in one colour.
QImage Silhouette(const QImage& image, QColor color) {
  QImage shape(image.size(), QImage::Format_ARGB32);
  shape.fill(0);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) >= 128) shape.setPixel(x, y, color.rgba());
  return shape;
}

}  // namespace

void RegisterIconResource(int resourceId, const char* const* xpm) {
  IconResources()[resourceId] = {QImage(xpm)};
}

void RegisterIconResource(int resourceId, const EncodedImage* images, std::size_t count) {
  std::vector<QImage> decoded;
  for (std::size_t index = 0; index < count; ++index) {
    const QImage image = QImage::fromData(images[index].data, static_cast<int>(images[index].size));
    if (!image.isNull()) decoded.push_back(image.convertToFormat(QImage::Format_ARGB32));
  }
  std::sort(decoded.begin(), decoded.end(),
            [](const QImage& a, const QImage& b) { return a.width() < b.width(); });
  if (!decoded.empty()) IconResources()[resourceId] = std::move(decoded);
}

HICON CreateIconFromImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  auto* icon = new IconObject;
  icon->image = image.convertToFormat(QImage::Format_ARGB32);
  return icon;
}

QImage IconImage(HICON icon) { return icon != nullptr ? icon->image : QImage(); }

HICON LoadImageA(int resourceId, UINT type, int cx, int cy, UINT) {
  const auto found = IconResources().find(resourceId);
  if (type != IMAGE_ICON || found == IconResources().end()) return nullptr;
  const std::vector<QImage>& images = found->second;
  const bool ownSize = cx <= 0 || cy <= 0;
  QImage image = images.size() == 1 && ownSize
                     ? images.front()
                     : BestImage(images, ownSize ? GetSystemMetrics(SM_CXICON) : cx);
  if (!ownSize && image.size() != QSize(cx, cy))
    image = image.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  HICON icon = CreateIconFromImage(image);
  icon->resourceId = resourceId;
  return icon;
}

void AddToWindowIcon(QIcon& windowIcon, HICON icon) {
  if (icon == nullptr) return;
  windowIcon.addPixmap(QPixmap::fromImage(icon->image));
  const auto found = IconResources().find(icon->resourceId);
  if (found == IconResources().end()) return;
  for (const QImage& image : found->second)
    if (image.width() > icon->image.width()) windowIcon.addPixmap(QPixmap::fromImage(image));
}

HICON CreateIconIndirect(const ICONINFO* info) {
  if (info == nullptr || info->hbmColor == nullptr) return nullptr;
  QImage image = info->hbmColor->image.copy();
  if (!HasAlpha(image)) {
    const QImage* mask = info->hbmMask != nullptr ? &info->hbmMask->image : nullptr;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const bool transparent = mask != nullptr && mask->valid(x, y) &&
                                 (mask->pixel(x, y) & 0xFFFFFF) != 0;
        const QRgb pixel = image.pixel(x, y);
        image.setPixel(x, y, transparent ? 0 : qRgba(qRed(pixel), qGreen(pixel),
                                                     qBlue(pixel), 255));
      }
  }
  return CreateIconFromImage(image);
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
  if (icon == nullptr || info == nullptr) return FALSE;
  const QImage& image = icon->image;
  QImage mask(image.size(), QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      mask.setPixel(x, y, qAlpha(image.pixel(x, y)) == 0 ? 0xFFFFFFFF : 0xFF000000);
  info->fIcon = TRUE;
  info->xHotspot = static_cast<DWORD>(image.width() / 2);
  info->yHotspot = static_cast<DWORD>(image.height() / 2);
  info->hbmMask = BitmapFromImage(mask, 1);
  info->hbmColor = BitmapFromImage(image, 32);
  return TRUE;
}

BOOL DestroyIcon(HICON icon) {
  if (icon == nullptr) return FALSE;
  delete icon;
  return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
  if (dc == nullptr || icon == nullptr || dc->painter == nullptr) return FALSE;
  dc->painter->drawImage(x, y, icon->image);
  return TRUE;
}

BOOL DrawStateA(HDC dc, HBRUSH, HICON icon, int x, int y, int cx, int cy, UINT flags) {
  if (dc == nullptr || icon == nullptr || (flags & 0xF) != DST_ICON) return FALSE;
  if (dc->painter == nullptr) return FALSE;
  const QImage& image = icon->image;
  const QRect clip(x, y, cx > 0 ? cx : image.width(), cy > 0 ? cy : image.height());
  QPainter* painter = dc->painter;
  painter->save();
  painter->setClipRect(clip, Qt::IntersectClip);
  if (flags & DSS_DISABLED) {
    painter->drawImage(x + 1, y + 1, Silhouette(image, ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT))));
    painter->drawImage(x, y, Silhouette(image, ToQColor(GetSysColor(COLOR_BTNSHADOW))));
  } else {
    painter->drawImage(x, y, image);
  }
  painter->restore();
  return TRUE;
}
