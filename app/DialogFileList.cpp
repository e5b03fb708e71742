#include "app/DialogFileList.h"

#include <algorithm>

#include "platform/Kernel.h"
#include "platform/ListCtrl.h"
#include "platform/MessageQueue.h"
#include "platform/ModalHook.h"
#include "platform/NotifyIcon.h"
#include "platform/Power.h"
#include "platform/ProgressCtrl.h"
#include "platform/Wnd.h"
#include "res/MainDialogTemplate.h"

namespace {
// The main dialog's one notification icon, which shows the end's notice.
constexpr UINT kEndNoticeIcon = 1;
}  // namespace

DialogFileList::DialogFileList(CWnd& mainDialog, CListCtrl& visibleList, CListCtrl& hiddenList,
                               CProgressCtrl& progressBar)
    : dialog(mainDialog), visible(visibleList), hidden(hiddenList), bar(progressBar) {}

DialogFileList::~DialogFileList() {
  if (!noticeIconAdded) return;
  NOTIFYICONDATAA icon{sizeof(NOTIFYICONDATAA), dialog.m_hWnd, kEndNoticeIcon, 0, 0, "", ""};
  Shell_NotifyIconA(NIM_DELETE, &icon);
}

int DialogFileList::visibleRowCount() { return visible.GetItemCount(); }
int DialogFileList::hiddenRowCount() { return hidden.GetItemCount(); }
std::string DialogFileList::sourcePath(int row) { return hidden.GetItemText(row, 0); }
std::string DialogFileList::durationText(int row) { return hidden.GetItemText(row, 1); }

void DialogFileList::setDurationText(int row, const std::string& seconds) {
  hidden.SetItemText(row, 1, seconds);
}

void DialogFileList::insertVisibleRow(int row, const std::string& path,
                                      const std::string& duration, const std::string& status) {
  const int index = visible.InsertItem(row, path);
  visible.SetItemText(index, 1, duration);
  visible.SetItemText(index, 2, status);
}

void DialogFileList::setStatus(int row, const std::string& status) {
  visible.SetItemText(row, 2, status);
}

void DialogFileList::setStatusTip(int row, const std::string& tip) {
  hidden.SetItemText(row, 2, tip);
}

std::string DialogFileList::statusTip(int row) { return hidden.GetItemText(row, 2); }

void DialogFileList::deleteHiddenRow(int row) { hidden.DeleteItem(row); }

std::string DialogFileList::outputFolderText() {
  return GetDlgItemTextA(dialog.m_hWnd, IDC_OUTPUT_FOLDER);
}

void DialogFileList::setOutputFolderText(const std::string& folder) {
  SetDlgItemTextA(dialog.m_hWnd, IDC_OUTPUT_FOLDER, folder);
}

void DialogFileList::enableBatchControls(bool enable) {
  for (int id : {IDC_ADD, IDC_REMOVE, IDC_CLEAR, IDC_SETTINGS, IDC_EXIT, IDC_OUTPUT_FOLDER,
                 IDC_BROWSE})
    EnableWindow(dialog.GetDlgItem(id), enable ? TRUE : FALSE);
  // Files the window would not add are refused while they are dragged, not taken and lost.
  dialog.DragAcceptFiles(enable ? TRUE : FALSE);
}

void DialogFileList::setStartCaption(const std::string& caption) {
  SetDlgItemTextA(dialog.m_hWnd, IDC_START, caption);
}

void DialogFileList::setProgressRange(std::int32_t upper) {
  bar.SetRange32(0, upper);
  barUpper = upper;
}

void DialogFileList::setProgressPosition(std::int32_t position) {
  bar.SetPos(position);
  taskbar.SetProgressValue(dialog.m_hWnd, static_cast<ULONGLONG>(std::max(0, position)),
                           static_cast<ULONGLONG>(std::max(0, barUpper)));
}

void DialogFileList::batchBegins(int files) {
  SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED,
                          "Converting " + std::to_string(files) + " Flv files");
}

void DialogFileList::batchIsOver() {
  SetThreadExecutionState(ES_CONTINUOUS);
  taskbar.SetProgressState(dialog.m_hWnd, TBPF_NOPROGRESS);
}

void DialogFileList::announceEnd(const std::string& text) {
  if (GetForegroundWindow() == dialog.m_hWnd) return;
  const FLASHWINFO flash{sizeof(FLASHWINFO), dialog.m_hWnd, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
  FlashWindowEx(&flash);
  NOTIFYICONDATAA icon{sizeof(NOTIFYICONDATAA), dialog.m_hWnd, kEndNoticeIcon,
                       NIF_MESSAGE | NIF_INFO, WM_END_NOTICE, "", ""};
  CopyToBuffer(text, icon.szInfo, sizeof icon.szInfo);
  CopyToBuffer(GetWindowTextA(dialog.m_hWnd), icon.szInfoTitle, sizeof icon.szInfoTitle);
  Shell_NotifyIconA(noticeIconAdded ? NIM_MODIFY : NIM_ADD, &icon);
  noticeIconAdded = true;
}

void DialogFileList::showMessage(const std::string& text, const std::string& caption,
                                 bool informationIcon) {
  MessageBoxA(dialog.m_hWnd, text, caption, MB_OK | (informationIcon ? MB_ICONINFORMATION : 0));
}

void DialogFileList::drainMessages() { PumpWaitingMessages(); }

void DialogFileList::appendPendingRow(const std::string& path) {
  hidden.InsertItem(hidden.GetItemCount(), path);
}

int DialogFileList::firstSelectedRow() { return visible.GetNextItem(-1, LVNI_SELECTED); }

void DialogFileList::deleteRow(int row) {
  visible.DeleteItem(row);
  hidden.DeleteItem(row);
}

void DialogFileList::deleteAllRows() {
  visible.DeleteAllItems();
  hidden.DeleteAllItems();
}

bool DialogFileList::chooseSourceFiles(std::vector<std::string>& paths) {
  paths = GetOpenFileNames(dialog.m_hWnd, "Flv files(*.flv)", "*.flv");
  return !paths.empty();
}

bool DialogFileList::chooseFolder(std::string& folder) {
  folder = BrowseForFolder(dialog.m_hWnd, "Choose Folder:");
  return !folder.empty();
}
