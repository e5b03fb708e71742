#pragma once
#include "platform/Wnd.h"
// CDialog: a dialog built from a template of the resource handle, run modally (DoModal) or
// shown modeless (Create). Its message table maps WM_INITDIALOG to OnInitDialog and the
// IDOK / IDCANCEL commands to OnOK / OnCancel.
//
// Keys: Enter clicks the focused push button; in any other control it is the IDOK command
// (the template's default push button's command when it has one). Esc is IDCANCEL. Tab
// moves through the WS_TABSTOP controls in template order. WM_CLOSE (the close box, Alt+F4,
// the window menu's Close) becomes a posted IDCANCEL command by default.

class CDialog;

// Data exchange between a dialog's controls and its members (DoDataExchange).
class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL saveAndValidate)
      : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
  CDialog* m_pDlgWnd;
  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
};

// Binds `control` to the dialog's control with this id, once (later exchanges leave it).
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Builds the dialog, sends WM_INITDIALOG, shows it centred on the screen and runs a
  // nested message loop (posted messages are delivered) until EndDialog; the window is
  // destroyed before it returns. Returns EndDialog's result, or -1 without a template.
  virtual INT_PTR DoModal();
  // The same without the loop: the dialog stays open until EndDialog destroys it.
  BOOL Create(CWnd* parent = nullptr);
  // Ends the dialog with this result: the modal loop returns; a modeless dialog goes.
  void EndDialog(int result);

 protected:
  // WM_INITDIALOG: UpdateData(FALSE), which binds the DDX_Control members. TRUE gives the
  // focus to the first tab stop.
  virtual BOOL OnInitDialog();
  // IDOK: UpdateData(TRUE), then EndDialog(IDOK) when it succeeded.
  virtual void OnOK();
  // IDCANCEL: EndDialog(IDCANCEL).
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* exchange);
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  DECLARE_MESSAGE_MAP()

 private:
  LRESULT HandleInitDialog(WPARAM, LPARAM);
  HWND BuildWindow(HWND parent);
  UINT templateId;
  CWnd* parentWindow;
  bool modal = false;
};
