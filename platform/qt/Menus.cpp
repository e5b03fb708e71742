#include "platform/Menus.h"

#include <QMenu>

#include "platform/WinMessages.h"
#include "platform/WinStyles.h"
#include "platform/WindowCalls.h"
#include "platform/qt/MenuObject.h"
#include "platform/qt/WindowObject.h"

HMENU GetSystemMenu(HWND window, BOOL) {
  WindowObject* object = FindWindowObject(window);
  if (object == nullptr || object->kind != WindowKind::Dialog) return nullptr;
  if (!object->systemMenu) {
    object->systemMenu = std::make_unique<MenuObject>();
    object->systemMenu->items = {{MF_STRING, SC_RESTORE, "&Restore"},
                                 {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
                                 {MF_STRING, SC_MAXIMIZE, "Ma&ximize"},
                                 {MF_SEPARATOR, 0, ""},
                                 {MF_STRING, SC_CLOSE, "&Close"}};
  }
  return object->systemMenu.get();
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT id, const std::string& text) {
  if (menu == nullptr) return FALSE;
  const bool separator = (flags & MF_SEPARATOR) != 0;
  menu->items.push_back({flags, separator ? 0 : id, separator ? std::string() : text});
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  return menu == nullptr ? -1 : static_cast<int>(menu->items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
  if (menu == nullptr || position < 0 || position >= GetMenuItemCount(menu))
    return static_cast<UINT>(-1);
  return menu->items[static_cast<std::size_t>(position)].id;
}

std::string GetMenuStringA(HMENU menu, int position) {
  if (menu == nullptr || position < 0 || position >= GetMenuItemCount(menu)) return {};
  return menu->items[static_cast<std::size_t>(position)].text;
}

void ShowWindowMenu(HWND dialog, POINT screenPoint) {
  HMENU menu = GetSystemMenu(dialog, FALSE);
  if (menu == nullptr) return;
  const bool minimized = IsIconic(dialog), maximized = IsZoomed(dialog);
  const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
  QMenu popup;
  for (const MenuItem& item : menu->items) {
    if (item.flags & MF_SEPARATOR) {
      popup.addSeparator();
      continue;
    }
    QAction* action = popup.addAction(QString::fromLocal8Bit(item.text));
    action->setData(item.id);
    if (item.id == SC_RESTORE) action->setEnabled(minimized || maximized);
    // As the title bar's buttons: only what the window's style offers.
    if (item.id == SC_MINIMIZE) action->setEnabled(!minimized && (style & WS_MINIMIZEBOX));
    if (item.id == SC_MAXIMIZE) action->setEnabled(!maximized && (style & WS_MAXIMIZEBOX));
  }
  const QAction* chosen = popup.exec(QPoint(screenPoint.x, screenPoint.y));
  if (chosen != nullptr && IsWindow(dialog))
    SendMessage(dialog, WM_SYSCOMMAND, chosen->data().toUInt(),
                MAKELPARAM(static_cast<WORD>(screenPoint.x), static_cast<WORD>(screenPoint.y)));
}
