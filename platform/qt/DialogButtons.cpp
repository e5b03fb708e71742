#include "platform/DialogButtons.h"

#include <algorithm>

#include "platform/qt/CheckButtons.h"
#include "platform/qt/WindowObject.h"

namespace {
// Enabled and not hidden, as the tab order sees controls.
bool Reachable(HWND control) {
  WindowObject* window = FindWindowObject(control);
  return window != nullptr && window->widget && window->widget->isEnabled() &&
         !window->widget->isHidden();
}
}  // namespace

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND button = GetDlgItem(dialog, id);
  if (button == nullptr) return FALSE;
  SendMessage(button, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<UINT>(SendMessage(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  if (!IsWindow(dialog)) return FALSE;
  for (int id = first; id <= last; ++id)
    if (HWND button = GetDlgItem(dialog, id))
      SendMessage(button, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  return TRUE;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (GetParent(control) != dialog) return nullptr;
  std::vector<HWND> group = DialogGroupMembers(control);
  if (previous) std::reverse(group.begin(), group.end());
  const auto at = std::find(group.begin(), group.end(), control);
  const std::size_t count = group.size();
  const std::size_t start = static_cast<std::size_t>(at - group.begin());
  for (std::size_t step = 1; step < count; ++step) {
    HWND candidate = group[(start + step) % count];
    if (Reachable(candidate)) return candidate;
  }
  return control;
}
