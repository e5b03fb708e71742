#include "platform/Button.h"

const MessageMap* CButton::GetThisMessageMap() {
  static const MessageMap map{CWnd::GetThisMessageMap(), {
      ON_MESSAGE(OCM_DRAWITEM, &CButton::OnReflectedDrawItem),
  }};
  return &map;
}

LRESULT CButton::OnReflectedDrawItem(WPARAM, LPARAM lParam) {
  DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
  return TRUE;
}

void CButton::DrawItem(DRAWITEMSTRUCT*) {}

int CButton::GetCheck() const {
  return static_cast<int>(::SendMessage(m_hWnd, BM_GETCHECK, 0, 0));
}

void CButton::SetCheck(int check) { ::SendMessage(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check), 0); }

void CButton::SetButtonStyle(UINT style, BOOL redraw) {
  ::SendMessage(m_hWnd, BM_SETSTYLE, style, redraw);
}
