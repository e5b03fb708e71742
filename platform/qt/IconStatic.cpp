#include "platform/qt/IconStatic.h"

#include <QLabel>
#include <QPixmap>
#include <cstdlib>

#include "platform/qt/GdiQt.h"

QWidget* CreateIconStatic(const char* text, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (text == nullptr || text[0] != '#') return label;
  HICON icon = LoadImageA(std::atoi(text + 1), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
  if (icon == nullptr) return label;
  label->setPixmap(QPixmap::fromImage(IconImage(icon)));
  DestroyIcon(icon);
  return label;
}
