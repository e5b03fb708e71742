#pragma once
#include "app/FileListCommands.h"
#include "platform/Taskbar.h"
#include "platform/WinMessages.h"

class CListCtrl;
class CProgressCtrl;
class CWnd;

// The message a click on the notice of a batch's end sends the main dialog (the
// notification icon's callback message: NIN_BALLOONUSERCLICK in lParam).
inline constexpr UINT WM_END_NOTICE = WM_APP + 2;

// The file list commands' view of the main dialog: its two list controls, its batch
// controls, its progress bar, message boxes, file dialogs and message queue; and what the
// desktop is asked during a batch: to stay awake, to show the bar's progress in its task
// bar, and, when the batch ends while the window is not active, to flash the window and
// show the end message as a notice.
class DialogFileList : public FileListView {
 public:
  DialogFileList(CWnd& dialog, CListCtrl& visibleList, CListCtrl& hiddenList,
                 CProgressCtrl& progressBar);
  // Takes the end's notice away.
  ~DialogFileList() override;

  int visibleRowCount() override;
  int hiddenRowCount() override;
  std::string sourcePath(int row) override;
  std::string durationText(int row) override;
  void setDurationText(int row, const std::string& seconds) override;
  void insertVisibleRow(int row, const std::string& path, const std::string& duration,
                        const std::string& status) override;
  void setStatus(int row, const std::string& status) override;
  void setStatusTip(int row, const std::string& tip) override;
  // The tooltip of a visible row's status; empty for none.
  std::string statusTip(int row);
  void deleteHiddenRow(int row) override;
  std::string outputFolderText() override;
  void setOutputFolderText(const std::string& folder) override;
  void enableBatchControls(bool enable) override;
  void setStartCaption(const std::string& caption) override;
  void setProgressRange(std::int32_t upper) override;
  void setProgressPosition(std::int32_t position) override;
  void batchBegins(int files) override;
  void batchIsOver() override;
  void announceEnd(const std::string& text) override;
  void showMessage(const std::string& text, const std::string& caption,
                   bool informationIcon) override;
  void drainMessages() override;
  void appendPendingRow(const std::string& path) override;
  int firstSelectedRow() override;
  void deleteRow(int row) override;
  void deleteAllRows() override;
  bool chooseSourceFiles(std::vector<std::string>& paths) override;
  bool chooseFolder(std::string& folder) override;

 private:
  CWnd& dialog;
  CListCtrl& visible;
  CListCtrl& hidden;
  CProgressCtrl& bar;
  std::int32_t barUpper = 0;
  ITaskbarList3 taskbar;
  bool noticeIconAdded = false;
};
