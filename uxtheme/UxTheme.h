#pragma once
#include "platform/Gdi.h"
// The entry points of the visual-styles module "UxTheme.dll", looked up by name at run time.
// Windows are passed as opaque handles; the module paints through the device context.

using HTHEME = void*;

constexpr int BP_PUSHBUTTON = 1;
constexpr int PBS_NORMAL = 1;
constexpr int PBS_HOT = 2;
constexpr int PBS_PRESSED = 3;
constexpr int PBS_DISABLED = 4;
constexpr int PBS_DEFAULTED = 5;

// A theme for a ';'-separated list of class names ("BUTTON"), or null when none is known.
using OpenThemeDataProc = HTHEME (*)(void* window, const wchar_t* classList);
using CloseThemeDataProc = HRESULT (*)(HTHEME theme);
// Paints the face of `part` in `state` into `rect`, limited to `clip` when given.
using DrawThemeBackgroundProc = HRESULT (*)(HTHEME theme, HDC dc, int part, int state,
                                            const RECT* rect, const RECT* clip);
// Paints the background of the window's parent under `rect`.
using DrawThemeParentBackgroundProc = HRESULT (*)(void* window, HDC dc, const RECT* rect);
using IsAppThemedProc = BOOL (*)();
