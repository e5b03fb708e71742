#pragma once
#include "platform/WinHandles.h"
#include "platform/WinMessages.h"
// The notification area's icons of the program's windows (Shell_NotifyIconA) and the
// balloon notices they show. Here an icon shows nothing itself (Linux desktops have no
// notification area for it); its notice is the desktop's notification
// (org.freedesktop.Notifications), shown when a notification service runs.

constexpr DWORD NIM_ADD = 0x0;
constexpr DWORD NIM_MODIFY = 0x1;
constexpr DWORD NIM_DELETE = 0x2;

constexpr UINT NIF_MESSAGE = 0x01;
constexpr UINT NIF_INFO = 0x10;

// What the icon's callback message carries in lParam when the user clicks its notice.
constexpr LPARAM NIN_BALLOONUSERCLICK = WM_USER + 5;

// The fields of an icon the program uses: the window and id that name it, the message
// (uCallbackMessage, with NIF_MESSAGE) the window is sent with the icon's id in wParam and
// the event in lParam, and its notice (with NIF_INFO): the text and the title.
struct NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  char szInfo[256];
  char szInfoTitle[64];
};

// NIM_ADD adds the icon, NIM_MODIFY changes it, each showing its notice with NIF_INFO (a new
// notice replaces the icon's earlier one); NIM_DELETE removes the icon and closes its notice.
// A click on a notice posts the icon's callback message with NIN_BALLOONUSERCLICK. FALSE for
// an icon added twice, or changed or removed without having been added.
BOOL Shell_NotifyIconA(DWORD message, const NOTIFYICONDATAA* data);
