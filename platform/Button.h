#pragma once
#include "platform/Wnd.h"
// CButton: a push button, check box, radio button or group box of a template.
// An owner-drawn button (BS_OWNERDRAW, e.g. set in PreSubclassWindow) is painted by
// DrawItem: its parent's WM_DRAWITEM is reflected back to it.

class CButton : public CWnd {
 public:
  // Paints an owner-drawn button; the default paints nothing.
  virtual void DrawItem(DRAWITEMSTRUCT* item);
  int GetCheck() const;
  void SetCheck(int check);
  // BM_SETSTYLE: the button type (low five bits), repainted when `redraw`.
  void SetButtonStyle(UINT style, BOOL redraw = TRUE);

  DECLARE_MESSAGE_MAP()

 private:
  LRESULT OnReflectedDrawItem(WPARAM, LPARAM lParam);
};
