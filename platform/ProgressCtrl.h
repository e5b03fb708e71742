#pragma once
#include "platform/Wnd.h"
// CProgressCtrl: a progress bar with a full 32-bit signed range.

class CProgressCtrl : public CWnd {
 public:
  // PBM_SETRANGE32.
  void SetRange32(int lower, int upper);
  void GetRange(int& lower, int& upper) const;
  // PBM_SETPOS: held within the range; returns the previous position.
  int SetPos(int position);
  int GetPos() const;
};
