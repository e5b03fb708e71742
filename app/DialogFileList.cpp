#include "app/DialogFileList.h"

#include "platform/ListCtrl.h"
#include "platform/MessageQueue.h"
#include "platform/ModalHook.h"
#include "platform/ProgressCtrl.h"
#include "platform/Wnd.h"
#include "res/MainDialogTemplate.h"

DialogFileList::DialogFileList(CWnd& mainDialog, CListCtrl& visibleList, CListCtrl& hiddenList,
                               CProgressCtrl& progressBar)
    : dialog(mainDialog), visible(visibleList), hidden(hiddenList), bar(progressBar) {}

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

void DialogFileList::setProgressRange(std::int32_t upper) { bar.SetRange32(0, upper); }
void DialogFileList::setProgressPosition(std::int32_t position) { bar.SetPos(position); }

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
