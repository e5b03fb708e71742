#pragma once
#include "platform/WindowCalls.h"
// Check boxes and radio buttons of a dialog by control id, and the dialog's control groups
// (a group runs from a WS_GROUP control, or the first control, up to the next WS_GROUP
// control). Each check call is BM_SETCHECK / BM_GETCHECK sent to the button.

// Sets a button's check (BST_CHECKED or BST_UNCHECKED).
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
// A button's check: BST_CHECKED or BST_UNCHECKED.
UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks button `check` and unchecks every other button with an id from `first` to `last`.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
// The next (or, with previous TRUE, the previous) enabled, visible control of `control`'s
// group, wrapping within the group; `control` itself when there is no other.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
