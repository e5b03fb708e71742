#pragma once
#include <string>

#include "platform/Cursors.h"
#include "platform/Gdi.h"
#include "platform/Static.h"
// A static text of a dialog turned into a web link: underlined, blue, red while the mouse is
// over it, a pointing hand as cursor, and a click opens its address in the web browser.
class HyperlinkLabel : public CStatic {
 public:
  HyperlinkLabel() = default;
  ~HyperlinkLabel() override;

  // The address a click opens.
  void setLinkTarget(const std::string& address);
  // Asks the shell to open `address` with "open", minimised; the outcome is not reported.
  void openLink(const std::string& address);

 protected:
  void PreSubclassWindow() override;

  DECLARE_MESSAGE_MAP()

 private:
  void onMouseMove(UINT keys, POINT point);
  BOOL onSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
  void onCancelMode();
  BOOL onClicked();
  HBRUSH onCtlColor(HDC dc, UINT kind);
  // Repaints the label at once, so the colour follows `hover` without delay.
  void redrawNow();

  HCURSOR linkCursor = nullptr;
  bool hover = false;  // the label holds the mouse capture while true
  HFONT linkFont = nullptr;
  std::string linkTarget;
  const COLORREF hoverColor = RGB(255, 0, 0);
  const COLORREF linkColor = RGB(0, 0, 255);
};
