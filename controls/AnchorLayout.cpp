#include "controls/AnchorLayout.h"

#include <algorithm>

#include "platform/Wnd.h"

void AnchorLayout::attach(CWnd* window) {
  parent = window;
  RECT client{};
  parent->GetClientRect(&client);
  baseSize = {client.right, client.bottom};
  lastSize = {client.right - client.left, client.bottom - client.top};
}

bool AnchorLayout::addControl(HWND control, int flags) {
  if (control == nullptr || parent == nullptr) return false;
  entries.push_back({control, flags});
  return true;
}

bool AnchorLayout::addControlById(int id, int flags) {
  if (parent == nullptr) return false;
  return addControl(parent->GetDlgItem(id), flags);
}

void AnchorLayout::relayout() {
  if (parent == nullptr) return;
  RECT client{};
  for (const AnchorEntry& entry : entries) {
    RECT r{};
    GetWindowRect(entry.control, &r);
    parent->GetClientRect(&client);
    const int dy = std::max(client.bottom, baseSize.cy) - std::max(lastSize.cy, baseSize.cy);
    const int dx = std::max(client.right, baseSize.cx) - std::max(lastSize.cx, baseSize.cx);
    if (entry.flags & kStretchHeight) r.bottom += dy;
    if (entry.flags & kStretchWidth) r.right += dx;
    if (entry.flags & kFollowBottom) {
      r.top += dy;
      r.bottom += dy;
    }
    if (entry.flags & kFollowRight) {
      r.left += dx;
      r.right += dx;
    }
    parent->ScreenToClient(&r);
    MoveWindow(entry.control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
  parent->GetClientRect(&client);
  lastSize = {client.right, client.bottom};
}
