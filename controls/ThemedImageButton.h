#pragma once
#include "controls/ImageButton.h"
#include "controls/ThemeLoader.h"
// An image button whose face the visual-styles module paints while the program is themed
// (asked afresh at every paint); otherwise it paints as a classic image button.
class ThemedImageButton : public ImageButton {
 public:
  ThemedImageButton();

  // Uses `loader` (not owned, may be null) for the face; without one, or while the program
  // is not themed, the classic frame is drawn.
  void attachTheme(const ThemeLoader* loader);

 protected:
  void paintBackground(HDC dc, RECT* rect) override;
  void paintBorder(HDC dc, const RECT* rect) override;

 private:
  // A loader is attached and the program is themed now.
  bool themed() const;

  const ThemeLoader* themeLoader = nullptr;
};
