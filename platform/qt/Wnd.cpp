#include "platform/Wnd.h"

#include "platform/DropFiles.h"
#include "platform/MessageQueue.h"
#include "platform/WinStyles.h"
#include "platform/qt/WindowObject.h"

CWnd::~CWnd() { UnsubclassWindow(); }

BOOL CWnd::SubclassWindow(HWND window) {
  WindowObject* object = FindWindowObject(window);
  if (m_hWnd != nullptr || object == nullptr || object->wnd != nullptr) return FALSE;
  m_hWnd = window;
  object->wnd = this;
  PreSubclassWindow();
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (parent == nullptr) return FALSE;
  return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
  HWND window = m_hWnd;
  if (WindowObject* object = FindWindowObject(window); object != nullptr && object->wnd == this)
    object->wnd = nullptr;
  m_hWnd = nullptr;
  return window;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnWndMsg(message, wParam, lParam, &result)) return result;
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  if (currentMessage == nullptr) return 0;
  return DefWindowProc(currentMessage->message, currentMessage->wParam, currentMessage->lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ReflectToChild(message, wParam, lParam, result)) return TRUE;
  return SearchMessageMap(message, wParam, lParam, result);
}

BOOL CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  HWND child = nullptr;
  if (message == WM_COMMAND) child = reinterpret_cast<HWND>(lParam);
  else if (message == WM_DRAWITEM && lParam != 0)
    child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
  else if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN)
    child = reinterpret_cast<HWND>(lParam);
  CWnd* control = CWndFromHandle(child);
  if (control == nullptr || control == this) return FALSE;
  LRESULT reflected = 0;
  if (!control->SearchMessageMap(message + WM_REFLECT_BASE, wParam, lParam, &reflected))
    return FALSE;
  // A reflected notification answered FALSE / a null brush goes on to the parent.
  if (reflected == 0) return FALSE;
  *result = reflected;
  return TRUE;
}

BOOL CWnd::SearchMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const bool command = message == WM_COMMAND;
  const bool reflectedCommand = message == OCM_COMMAND;
  for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
    for (const MessageEntry& entry : map->entries) {
      if (entry.message != message) continue;
      if (command && (entry.code != HIWORD(wParam) || entry.id != LOWORD(wParam))) continue;
      if (reflectedCommand && entry.code != HIWORD(wParam)) continue;
      if (entry.handler(*this, wParam, lParam, *result)) return TRUE;
    }
  }
  return FALSE;
}

const MessageMap* CWnd::GetThisMessageMap() {
  static const MessageMap map{nullptr, {}};
  return &map;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}
void CWnd::SetWindowText(const std::string& text) { SetWindowTextA(m_hWnd, text); }
std::string CWnd::GetWindowText() const { return GetWindowTextA(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
void CWnd::GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::ScreenToClient(RECT* rect) const {
  POINT topLeft{rect->left, rect->top}, bottomRight{rect->right, rect->bottom};
  ::ScreenToClient(m_hWnd, &topLeft);
  ::ScreenToClient(m_hWnd, &bottomRight);
  *rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags);
}
void CWnd::Invalidate(BOOL erase) { InvalidateRect(m_hWnd, nullptr, erase); }
HWND CWnd::SetFocus() { return ::SetFocus(m_hWnd); }
HWND CWnd::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
HWND CWnd::GetParent() const { return ::GetParent(m_hWnd); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
  const DWORD style = GetStyle();
  const DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
  if (swpFlags != 0)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

void CWnd::DragAcceptFiles(BOOL accept) { ::DragAcceptFiles(m_hWnd, accept); }

CWnd* CWndFromHandle(HWND window) {
  WindowObject* object = FindWindowObject(window);
  return object == nullptr ? nullptr : object->wnd;
}

LRESULT DeliverToWnd(CWnd& window, UINT message, WPARAM wParam, LPARAM lParam) {
  const CWnd::CurrentMessage current{message, wParam, lParam};
  const CWnd::CurrentMessage* previous = window.currentMessage;
  window.currentMessage = &current;
  const LRESULT result = window.WindowProc(message, wParam, lParam);
  window.currentMessage = previous;
  return result;
}
