#pragma once
#include <string>

#include "platform/WinHandles.h"
// The window menu that stands for the system menu: Alt+Space or a right click on a
// dialog's background opens it. It lists Restore, Minimize, Maximize and Close, then what
// the program appends; a choice sends WM_SYSCOMMAND with the item's id to the window.

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;

// The window menu of a dialog (`revert` is ignored: the program never reverts it).
HMENU GetSystemMenu(HWND window, BOOL revert);
// Appends an item: MF_STRING with a command id and text, or MF_SEPARATOR.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT id, const std::string& text);
int GetMenuItemCount(HMENU menu);
// The command id of the item at `position`; 0 for a separator, -1 out of range.
UINT GetMenuItemID(HMENU menu, int position);
// The text of the item at `position`; empty for a separator.
std::string GetMenuStringA(HMENU menu, int position);
