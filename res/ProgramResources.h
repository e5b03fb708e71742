#pragma once
#include "platform/WinHandles.h"

// The application icon (the title bar, the task switcher, the minimised window, the About box).
constexpr int IDR_MAINFRAME = 128;
// "&About vidmora...", the window menu's About entry.
constexpr int IDS_ABOUTBOX = 101;

// The program's dialog templates and strings, for AfxSetResourceHandle.
HINSTANCE ProgramResources();
// Makes the program's icons known to LoadImageA: the application icon and the buttons' icons.
void RegisterProgramIcons();
