#include "platform/Dialog.h"

#include <QEventLoop>
#include <QWidget>

#include "platform/Resources.h"
#include "platform/qt/DialogBuilder.h"
#include "platform/qt/WindowGeometry.h"
#include "platform/qt/WindowObject.h"

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
  if (control.m_hWnd == nullptr)
    control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd);
}

CDialog::CDialog(UINT id, CWnd* parent) : templateId(id), parentWindow(parent) {}

CDialog::~CDialog() {
  if (WindowObject* window = FindWindowObject(m_hWnd)) DestroyWindowTree(*window, false);
}

const MessageMap* CDialog::GetThisMessageMap() {
  static const MessageMap map{CWnd::GetThisMessageMap(), {
      ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog),
      ON_COMMAND(IDOK, &CDialog::OnOK),
      ON_COMMAND(IDCANCEL, &CDialog::OnCancel),
  }};
  return &map;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange exchange(this, saveAndValidate);
  DoDataExchange(&exchange);
  return TRUE;
}

HWND CDialog::BuildWindow(HWND parent) {
  const DialogTemplate* dialog = FindDialogTemplate(AfxGetResourceHandle(), static_cast<int>(templateId));
  if (dialog == nullptr || m_hWnd != nullptr) return nullptr;
  WindowObject& window = BuildDialog(*dialog, parent);
  SubclassWindow(window.handle);
  // The dialog starts at its template size; the tracking limits hold from SetWindowPos and
  // the showing on.
  SendSizeIfChanged(window);
  const HWND handle = window.handle;
  const BOOL focusFirst = static_cast<BOOL>(SendMessage(WM_INITDIALOG, 0, 0));
  WindowObject* built = FindWindowObject(handle);
  if (built == nullptr || built->ended) return handle;
  // Without an owner the dialog opens centred in the screen's work area.
  CentreOnScreen(*built);
  // The toolkit takes a window's modality into account only when it is shown.
  if (modal) built->widget->setWindowModality(Qt::ApplicationModal);
  built->widget->show();
  built->widget->activateWindow();
  if (focusFirst)
    if (HWND first = GetNextDlgTabItem(handle, nullptr, FALSE)) ::SetFocus(first);
  return handle;
}

INT_PTR CDialog::DoModal() {
  modal = true;
  const HWND handle = BuildWindow(parentWindow != nullptr ? parentWindow->m_hWnd : nullptr);
  WindowObject* window = FindWindowObject(handle);
  if (window == nullptr) return -1;
  if (!window->ended) {
    QEventLoop loop;
    window->modalLoop = &loop;
    loop.exec();
    window->modalLoop = nullptr;
  }
  const INT_PTR result = window->result;
  DestroyWindowTree(*window, true);
  return result;
}

BOOL CDialog::Create(CWnd* parent) {
  modal = false;
  if (parent != nullptr) parentWindow = parent;
  return BuildWindow(parentWindow != nullptr ? parentWindow->m_hWnd : nullptr) != nullptr;
}

void CDialog::EndDialog(int result) {
  WindowObject* window = FindWindowObject(m_hWnd);
  if (window == nullptr) return;
  window->result = result;
  window->ended = true;
  if (modal) {
    window->widget->hide();
    if (window->modalLoop != nullptr) window->modalLoop->quit();
  } else {
    DestroyWindowTree(*window, false);
  }
}
