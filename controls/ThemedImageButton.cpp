#include "controls/ThemedImageButton.h"

ThemedImageButton::ThemedImageButton() { drawBorder = false; }

void ThemedImageButton::attachTheme(const ThemeLoader* loader) {
  themeLoader = loader;
  if (loader == nullptr || !loader->appThemed()) drawBorder = true;
}

bool ThemedImageButton::themed() const {
  return themeLoader != nullptr && themeLoader->appThemed();
}

void ThemedImageButton::paintBackground(HDC dc, RECT* rect) {
  HTHEME theme = themed() ? themeLoader->openTheme(m_hWnd, L"BUTTON") : nullptr;
  if (theme == nullptr) {
    ImageButton::paintBackground(dc, rect);
    return;
  }
  // Later rules win: disabled over pressed over hot over defaulted.
  int state = PBS_NORMAL;
  if (isDefault) state = PBS_DEFAULTED;
  if (hovering) state = PBS_HOT;
  if (pressed) state = PBS_PRESSED;
  if (disabled) state = PBS_DISABLED;
  themeLoader->drawThemedBackground(theme, m_hWnd, dc, BP_PUSHBUTTON, state, rect, nullptr);
  themeLoader->closeTheme(theme);
}

void ThemedImageButton::paintBorder(HDC dc, const RECT* rect) {
  if (!themed()) ImageButton::paintBorder(dc, rect);
}
