#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "app/DialogFileList.h"
#include "app/FileListCommands.h"
#include "controls/AnchorLayout.h"
#include "controls/HyperlinkLabel.h"
#include "controls/ThemeLoader.h"
#include "controls/ThemedImageButton.h"
#include "controls/WebAddress.h"
#include "engine/ConversionSettings.h"
#include "platform/Button.h"
#include "platform/Dialog.h"
#include "platform/Edit.h"
#include "platform/Icons.h"
#include "platform/ListCtrl.h"
#include "platform/ProgressCtrl.h"
#include "platform/Static.h"
#include "process/EncoderDeployment.h"

// The main dialog (template 102), the whole user interface: the file list with its
// commands, the output folder, the batch's Start/Stop button and progress bar. Construction
// deploys the encoders and destruction restores them, as far as the user's other windows
// allow (EncoderDeployment); the exit sequence refuses while a batch runs and saves the
// window metrics.
class MainDialog : public CDialog {
 public:
  // The program folder of the running executable, the system folder and the user's log.
  MainDialog();
  // The same with the two folders (each ending in '/') and the log file given.
  MainDialog(const std::string& programFolder, const std::string& systemFolder,
             const std::string& logFile);
  ~MainDialog() override;

  // A batch runs: closing is refused.
  bool converting() const { return commands.converting(); }
  // Files to add as Add adds them once the window shows (the command line's).
  void addAtStart(const std::vector<std::string>& paths) { startFiles = paths; }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* exchange) override;
  void OnOK() override;
  void OnCancel() override;

  DECLARE_MESSAGE_MAP()

 private:
  // The exit sequence's check and save: false (with the refusal shown) while converting;
  // otherwise saves the window metrics unless minimised.
  bool mayExit();
  void createColumns();
  void restoreWindowSize();
  void rebuildSummaryLine();

  void setUpImageButtons();

  void OnClose();
  void OnSysCommand(UINT command, LPARAM lParam);
  void OnPaint();
  HICON OnQueryDragIcon();
  void OnSize(UINT type, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  void onAdd();
  void onRemove();
  void onClear();
  // Settings: the Output Settings dialog; after OK the summary line shows the new settings.
  void onSettings();
  void onExit();
  void onBrowse();
  void onStartOrStop();
  void onMoreDownloads();
  LRESULT onEncoderNotify(WPARAM wParam, LPARAM lParam);
  // Files dropped from the file manager are added as Add adds them, except during a batch.
  void OnDropFiles(HDROP drop);
  // The file list's tooltips: a failed row's status tells why it failed.
  void onFileListInfoTip(NMHDR* header, LRESULT* result);
  // Delete on the file list does what Remove does, while Remove may be used.
  void onFileListKeyDown(NMHDR* header, LRESULT* result);
  LRESULT onAddStartFiles(WPARAM, LPARAM);
  // A click on the notice of a batch's end brings the window forward.
  LRESULT onEndNotice(WPARAM, LPARAM event);

  WebAddress webAddress;
  AnchorLayout layout;
  std::string programFolder;
  EncoderPaths encoderPaths;
  // Destroyed after the file list's runners, so the encoders are restored once none runs.
  EncoderDeployment deployment;
  HyperlinkLabel webLink;
  ConversionSettings settings;
  ThemeLoader themeLoader;  // outlives the buttons that paint with it
  CButton browseButton;
  CEdit outputFolderEdit;
  CListCtrl hiddenList;
  CStatic summaryLine;
  CProgressCtrl progressBar;
  CListCtrl visibleList;
  ThemedImageButton startButton, settingsButton, removeButton, exitButton, clearButton, addButton;
  ThemedImageButton moreDownloadsButton;
  HICON icon = nullptr;
  std::vector<std::string> startFiles;
  // Where the encoder's threads post to: set once the window exists and never cleared, so
  // they never read m_hWnd while the window goes (a post to a gone window is dropped).
  std::atomic<HWND> notifyWindow{nullptr};
  ConversionLog log;
  DialogFileList view;
  FileListCommands commands;
};
