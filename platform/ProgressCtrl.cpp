#include "platform/ProgressCtrl.h"

void CProgressCtrl::SetRange32(int lower, int upper) {
  ::SendMessage(m_hWnd, PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  lower = static_cast<int>(::SendMessage(m_hWnd, PBM_GETRANGE, TRUE, 0));
  upper = static_cast<int>(::SendMessage(m_hWnd, PBM_GETRANGE, FALSE, 0));
}

int CProgressCtrl::SetPos(int position) {
  return static_cast<int>(::SendMessage(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(position), 0));
}

int CProgressCtrl::GetPos() const { return static_cast<int>(::SendMessage(m_hWnd, PBM_GETPOS, 0, 0)); }
