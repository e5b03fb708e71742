#pragma once
#include "platform/WinTypes.h"
// Window, dialog and control styles, with their Windows values.

// Window styles.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;

// Extended window styles.
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// Dialog styles.
constexpr DWORD DS_SETFONT = 0x00000040;
constexpr DWORD DS_MODALFRAME = 0x00000080;

// Button styles (the low five bits are the type).
constexpr DWORD BS_TYPEMASK = 0x0000001F;
constexpr DWORD BS_PUSHBUTTON = 0x00000000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;
constexpr DWORD BS_CHECKBOX = 0x00000002;
constexpr DWORD BS_AUTOCHECKBOX = 0x00000003;
constexpr DWORD BS_RADIOBUTTON = 0x00000004;
constexpr DWORD BS_GROUPBOX = 0x00000007;
constexpr DWORD BS_AUTORADIOBUTTON = 0x00000009;
constexpr DWORD BS_OWNERDRAW = 0x0000000B;

// Static styles.
constexpr DWORD SS_LEFT = 0x00000000;
constexpr DWORD SS_CENTER = 0x00000001;
constexpr DWORD SS_RIGHT = 0x00000002;
constexpr DWORD SS_ICON = 0x00000003;  // shows the icon resource named by the text, "#128"
constexpr DWORD SS_TYPEMASK = 0x0000001F;
constexpr DWORD SS_NOPREFIX = 0x00000080;
constexpr DWORD SS_NOTIFY = 0x00000100;

// Edit styles.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NUMBER = 0x2000;

// List view styles.
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;

// Combo box styles.
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;

// GetWindowLongA/SetWindowLongA indexes.
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
