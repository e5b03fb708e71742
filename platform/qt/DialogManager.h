#pragma once
#include "platform/WinHandles.h"
// What the dialog manager does for every dialog: the dialog keys and the default push
// button following the focus.

struct WindowObject;

// Enter (IDOK, or a click of the focused push button), Esc (IDCANCEL), Alt+Space (the
// window menu) and Alt+F4 (SC_CLOSE). True when the key was one of them.
bool HandleDialogKey(WindowObject& dialog, const MSG& key);
// The focus moved to a control: a push button gets the default state (BM_SETSTYLE with
// BS_DEFPUSHBUTTON), the button that had it loses it; elsewhere the dialog's default
// button gets it back.
void FocusMovedTo(WindowObject& dialog, WindowObject& control);
