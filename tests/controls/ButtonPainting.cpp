#include "tests/controls/ButtonPainting.h"

#include <QApplication>

#include "platform/qt/GdiQt.h"

namespace {
constexpr COLORREF kColours[] = {
    RGB(192, 192, 192), RGB(255, 255, 255), RGB(224, 224, 224), RGB(128, 128, 128),
    RGB(64, 64, 64),    RGB(0, 0, 128),     RGB(0, 0, 0),       RGB(255, 0, 0),
    RGB(255, 0, 255),   RGB(63, 63, 63)};
const std::string kLetters = "CHLSDTKRMI";
}  // namespace

ButtonPalette::ButtonPalette() : saved(QApplication::palette()) {
  QPalette palette = saved;
  const auto set = [&](QPalette::ColorRole role, COLORREF colour) {
    palette.setColor(QPalette::All, role, ToQColor(colour));
  };
  set(QPalette::Button, kColours[0]);
  set(QPalette::Light, kColours[1]);
  set(QPalette::Midlight, kColours[2]);
  set(QPalette::Dark, kColours[3]);
  set(QPalette::Shadow, kColours[4]);
  set(QPalette::ButtonText, kColours[5]);
  QApplication::setPalette(palette);
}

ButtonPalette::~ButtonPalette() {
  QApplication::setPalette(saved);
}

std::string ButtonPalette::row(const MemoryCanvas& canvas, int y, int from, int to) const {
  return canvas.row(y, from, to, kLetters, kColours);
}

std::string ButtonPalette::column(const MemoryCanvas& canvas, int x, int from, int to) const {
  return canvas.column(x, from, to, kLetters, kColours);
}

void PaintButton(CWnd& button, HDC dc, RECT rect, UINT state) {
  DRAWITEMSTRUCT item{ODT_BUTTON, static_cast<UINT>(button.GetDlgCtrlID()), 0, ODA_DRAWENTIRE,
                      state, button.m_hWnd, dc, rect};
  SendMessage(button.GetParent(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

HICON RedIcon() {
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(qRgb(255, 0, 0));
  return CreateIconFromImage(image);
}
