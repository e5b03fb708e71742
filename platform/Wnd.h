#pragma once
#include <string>

#include "platform/MessageMap.h"
#include "platform/WindowCalls.h"
// CWnd: a program object bound to a window. Once bound, every message for the window goes
// through WindowProc first: input and toolkit events translated into WM_ messages, messages
// sent or posted by the program, and the notifications its parent reflects back to it
// (OCM_ messages). What WindowProc does not handle reaches DefWindowProc, the window's own
// default processing.
//
// A custom control hooks in by deriving from the control class (CButton, CStatic, ...),
// listing the messages it handles in its message table, and being bound to a template
// control by id (SubclassDlgItem, or DDX_Control in the dialog's DoDataExchange). Hooks:
// PreSubclassWindow runs when it is bound (change styles there, e.g. BS_OWNERDRAW);
// PreTranslateMessage sees the input messages of the window and of its children before
// they are dispatched and may rewrite or swallow them.

class CWnd {
 public:
  CWnd() = default;
  // Unbinds from the window; the window itself stays.
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }

  // Binds this object to an existing window. FALSE when this object is bound already, the
  // window is missing, or another object is bound to it.
  BOOL SubclassWindow(HWND window);
  // SubclassWindow on the child of `parent` with this control id.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  // Unbinds; returns the window it was bound to.
  HWND UnsubclassWindow();

  // The window procedure: OnWndMsg, else DefWindowProc.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // An input message for this window or one of its children, before dispatch; TRUE
  // swallows it. The default asks nothing and returns FALSE.
  virtual BOOL PreTranslateMessage(MSG* message);
  // The window's default processing of a message.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The default processing of the message being handled now.
  LRESULT Default();

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int command);
  BOOL IsIconic() const;
  void GetWindowRect(RECT* rect) const;
  void GetClientRect(RECT* rect) const;
  void ScreenToClient(RECT* rect) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags);
  void Invalidate(BOOL erase = TRUE);
  HWND SetFocus();
  HWND GetDlgItem(int id) const;
  int GetDlgCtrlID() const;
  HWND GetParent() const;
  DWORD GetStyle() const;
  // Removes and adds style bits; with SWP flags the change is applied by SetWindowPos.
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  // Files dropped on the window arrive as WM_DROPFILES (DropFiles.h).
  void DragAcceptFiles(BOOL accept = TRUE);

 protected:
  // Runs when the object is bound to its window, before any message reaches it.
  virtual void PreSubclassWindow();
  // Reflection and the message table: TRUE with *result when something handled the
  // message. A control notification (WM_COMMAND from a control, WM_DRAWITEM, WM_CTLCOLOR)
  // is first offered to the control's own object as the OCM_ message.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  static const MessageMap* GetThisMessageMap();
  virtual const MessageMap* GetMessageMap() const { return GetThisMessageMap(); }

 private:
  friend LRESULT DeliverToWnd(CWnd& window, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL SearchMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  BOOL ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const CurrentMessage* currentMessage = nullptr;
};

// The bound object of a window, or null.
CWnd* CWndFromHandle(HWND window);
// Runs the object's WindowProc, remembering the message for Default(). The platform's way
// into a bound object; the program uses SendMessage.
LRESULT DeliverToWnd(CWnd& window, UINT message, WPARAM wParam, LPARAM lParam);
