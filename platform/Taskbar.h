#pragma once
#include "platform/WinHandles.h"
// The task bar's progress for the program's window (ITaskbarList3's progress calls). Here
// the desktop's launcher entry of the program (com.canonical.Unity.LauncherEntry, which
// KDE Plasma's task manager and the Ubuntu dock draw), one for the whole program: the window
// named in each call is not told apart. Nothing shows without a session bus.

enum TBPFLAG {
  TBPF_NOPROGRESS = 0x0,
};

class ITaskbarList3 {
 public:
  // Shows `completed` of `total` (0 to 1 of the bar), progress hidden before or not. The
  // desktop is told at most four times a second: a value given within a quarter of a second
  // of the last one told is told when that quarter is over, the latest value only.
  HRESULT SetProgressValue(HWND window, ULONGLONG completed, ULONGLONG total);
  // TBPF_NOPROGRESS hides the progress, at once.
  HRESULT SetProgressState(HWND window, TBPFLAG state);
};
