// Writes the program's icon as a square PNG of the size asked for, for the desktop's icon
// theme: vidmora_icon_png SIZE FILE. Whole-number enlargements keep the pixels sharp; other
// sizes are smoothed.
#include <QImage>
#include <QString>
#include <cstdlib>

#include "res/icon128.xpm"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const int size = std::atoi(argv[1]);
  const QImage icon(icon128_xpm);
  if (icon.isNull() || size <= 0) return 1;
  const Qt::TransformationMode mode =
      size % icon.width() == 0 ? Qt::FastTransformation : Qt::SmoothTransformation;
  const QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio, mode);
  return scaled.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
