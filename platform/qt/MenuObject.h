#pragma once
#include <string>
#include <vector>

#include "platform/WinHandles.h"
// The items of a window menu.

struct MenuItem {
  UINT flags;
  UINT id;
  std::string text;
};

struct MenuObject {
  std::vector<MenuItem> items;
};

// Opens the window menu of a dialog at a screen point and sends WM_SYSCOMMAND for a choice.
void ShowWindowMenu(HWND dialog, POINT screenPoint);
