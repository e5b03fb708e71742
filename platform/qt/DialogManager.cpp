#include "platform/qt/DialogManager.h"

#include <QWidget>

#include "platform/WinStyles.h"
#include "platform/WindowCalls.h"
#include "platform/qt/MenuObject.h"
#include "platform/qt/WindowObject.h"

namespace {
constexpr WPARAM VK_F4 = 0x73;

bool IsPushButton(HWND window) {
  return window != nullptr && (SendMessage(window, WM_GETDLGCODE, 0, 0) &
                               (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// WM_COMMAND for a dialog command, unless its control exists and is disabled.
void SendDialogCommand(WindowObject& dialog, int id) {
  HWND control = GetDlgItem(dialog.handle, id);
  if (control != nullptr && !IsWindowEnabled(control)) return;
  SendMessage(dialog.handle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
              reinterpret_cast<LPARAM>(control));
}
}  // namespace

bool HandleDialogKey(WindowObject& dialog, const MSG& key) {
  if (key.message == WM_SYSKEYDOWN) {
    if (key.wParam == VK_SPACE) {
      POINT corner{0, 0};
      ClientToScreen(dialog.handle, &corner);
      ShowWindowMenu(dialog.handle, corner);
      return true;
    }
    if (key.wParam == VK_F4) {
      SendMessage(dialog.handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    }
    return false;
  }
  if (key.message != WM_KEYDOWN) return false;
  if (key.wParam == VK_ESCAPE) {
    SendDialogCommand(dialog, IDCANCEL);
    return true;
  }
  if (key.wParam != VK_RETURN) return false;
  const LRESULT code = SendMessage(key.hwnd, WM_GETDLGCODE, key.wParam,
                                   reinterpret_cast<LPARAM>(&key));
  if (code & DLGC_WANTALLKEYS) return false;
  if (key.hwnd != dialog.handle && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
    SendMessage(key.hwnd, BM_CLICK, 0, 0);
    return true;
  }
  SendDialogCommand(dialog, dialog.defaultId);
  return true;
}

void FocusMovedTo(WindowObject& dialog, WindowObject& control) {
  HWND wanted = control.handle;
  if (!IsPushButton(wanted)) {
    wanted = GetDlgItem(dialog.handle, dialog.defaultId);
    if (!IsPushButton(wanted)) wanted = nullptr;
  }
  if (wanted == dialog.defaultButton) return;
  if (dialog.defaultButton != nullptr && IsWindow(dialog.defaultButton))
    SendMessage(dialog.defaultButton, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  dialog.defaultButton = wanted;
  if (wanted != nullptr) SendMessage(wanted, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}
