#include "app/MainDialog.h"

#include <algorithm>
#include <utility>

#include "app/SettingsCommand.h"
#include "app/SummaryLine.h"
#include "app/WindowMetrics.h"
#include "controls/AboutBox.h"
#include "platform/DropFiles.h"
#include "platform/Kernel.h"
#include "platform/Menus.h"
#include "platform/MessageQueue.h"
#include "platform/ModalHook.h"
#include "platform/NotifyIcon.h"
#include "platform/Painting.h"
#include "platform/Paths.h"
#include "platform/Resources.h"
#include "process/EncoderNotifier.h"
#include "res/MainDialogTemplate.h"
#include "res/ProgramResources.h"

namespace {
// The window menu's About entry.
constexpr UINT IDM_ABOUTBOX = 0x0010;
// Posted at initialisation when there are files to add at start.
constexpr UINT WM_ADD_START_FILES = WM_APP + 1;
constexpr int kMinimumWidth = 595;
constexpr int kMinimumHeight = 400;
// The file list's column that shows each row's status.
constexpr int kStatusColumn = 2;
}  // namespace

MainDialog::MainDialog()
    : MainDialog(ProgramFolder(), SystemFolder(), defaultConversionLogPath()) {}

MainDialog::MainDialog(const std::string& programFolderPath, const std::string& systemFolder,
                       const std::string& logFile)
    : CDialog(IDD_MAIN_DIALOG),
      programFolder(WithTrailingSlash(programFolderPath)),
      encoderPaths(::encoderPaths(programFolder, WithTrailingSlash(systemFolder))),
      deployment(encoderPaths),
      settings(defaultConversionSettings()),
      log(logFile),
      view(*this, visibleList, hiddenList, progressBar),
      commands(view, settings, encoderPaths, log,
               [this](UINT message, WPARAM wParam, LPARAM lParam) {
                 ::PostMessage(notifyWindow.load(), message, wParam, lParam);
               }) {
  icon = LoadImageA(IDR_MAINFRAME, IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
  // The folder may exist already or be impossible to make; Start refuses a missing one.
  CreateDirectoryA(settings.outputFolder);
}

MainDialog::~MainDialog() {
  DestroyIcon(icon);
}

const MessageMap* MainDialog::GetThisMessageMap() {
  static const MessageMap map{CDialog::GetThisMessageMap(), {
      ON_WM_CLOSE(&MainDialog::OnClose),
      ON_WM_SYSCOMMAND(&MainDialog::OnSysCommand),
      ON_WM_PAINT(&MainDialog::OnPaint),
      ON_WM_QUERYDRAGICON(&MainDialog::OnQueryDragIcon),
      ON_WM_SIZE(&MainDialog::OnSize),
      ON_WM_GETMINMAXINFO(&MainDialog::OnGetMinMaxInfo),
      ON_BN_CLICKED(IDC_ADD, &MainDialog::onAdd),
      ON_BN_CLICKED(IDC_REMOVE, &MainDialog::onRemove),
      ON_BN_CLICKED(IDC_CLEAR, &MainDialog::onClear),
      ON_BN_CLICKED(IDC_SETTINGS, &MainDialog::onSettings),
      ON_BN_CLICKED(IDC_EXIT, &MainDialog::onExit),
      ON_BN_CLICKED(IDC_BROWSE, &MainDialog::onBrowse),
      ON_BN_CLICKED(IDC_START, &MainDialog::onStartOrStop),
      ON_BN_CLICKED(IDC_MORE_DOWNLOADS, &MainDialog::onMoreDownloads),
      ON_MESSAGE(WM_ENCODER_NOTIFY, &MainDialog::onEncoderNotify),
      ON_WM_DROPFILES(&MainDialog::OnDropFiles),
      ON_NOTIFY(LVN_GETINFOTIPA, IDC_FILE_LIST, &MainDialog::onFileListInfoTip),
      ON_NOTIFY(LVN_KEYDOWN, IDC_FILE_LIST, &MainDialog::onFileListKeyDown),
      ON_MESSAGE(WM_ADD_START_FILES, &MainDialog::onAddStartFiles),
      ON_MESSAGE(WM_END_NOTICE, &MainDialog::onEndNotice),
  }};
  return &map;
}

void MainDialog::DoDataExchange(CDataExchange* exchange) {
  CDialog::DoDataExchange(exchange);
  DDX_Control(exchange, IDC_BROWSE, browseButton);
  DDX_Control(exchange, IDC_OUTPUT_FOLDER, outputFolderEdit);
  DDX_Control(exchange, IDC_HIDDEN_LIST, hiddenList);
  DDX_Control(exchange, IDC_SUMMARY, summaryLine);
  DDX_Control(exchange, IDC_PROGRESS, progressBar);
  DDX_Control(exchange, IDC_FILE_LIST, visibleList);
  DDX_Control(exchange, IDC_START, startButton);
  DDX_Control(exchange, IDC_SETTINGS, settingsButton);
  DDX_Control(exchange, IDC_REMOVE, removeButton);
  DDX_Control(exchange, IDC_EXIT, exitButton);
  DDX_Control(exchange, IDC_CLEAR, clearButton);
  DDX_Control(exchange, IDC_ADD, addButton);
  DDX_Control(exchange, IDC_MORE_DOWNLOADS, moreDownloadsButton);
}

BOOL MainDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  notifyWindow = m_hWnd;

  if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
    const std::string about = LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX);
    if (!about.empty()) {
      AppendMenuA(menu, MF_SEPARATOR, 0, "");
      AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  layout.attach(this);
  layout.addControl(GetDlgItem(IDC_MORE_DOWNLOADS), AnchorLayout::kFollowRight);
  layout.addControl(GetDlgItem(IDC_FILE_LIST), AnchorLayout::kStretchWidth | AnchorLayout::kStretchHeight);
  layout.addControl(GetDlgItem(IDC_SUMMARY_FRAME), AnchorLayout::kStretchWidth);
  layout.addControlById(IDC_START, AnchorLayout::kFollowBottom);
  layout.addControlById(IDC_TIME_USED, AnchorLayout::kFollowBottom);
  layout.addControlById(IDC_PROGRESS, AnchorLayout::kFollowBottom | AnchorLayout::kStretchWidth);
  layout.addControlById(IDC_OUTPUT_FOLDER_LABEL, AnchorLayout::kFollowBottom);
  layout.addControlById(IDC_OUTPUT_FOLDER, AnchorLayout::kFollowBottom | AnchorLayout::kStretchWidth);
  layout.addControlById(IDC_BROWSE, AnchorLayout::kFollowRight | AnchorLayout::kFollowBottom);
  layout.addControlById(IDC_WEB_LINK, AnchorLayout::kFollowRight | AnchorLayout::kFollowBottom);

  visibleList.SetExtendedStyle(0, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  createColumns();
  summaryLine.SetWindowText("Output Format: AVI, Microsoft MPEG3V2");
  restoreWindowSize();
  rebuildSummaryLine();
  outputFolderEdit.SetWindowText(settings.outputFolder);
  webLink.SubclassDlgItem(IDC_WEB_LINK, this);
  webLink.setLinkTarget(webAddress.address());
  setUpImageButtons();
  DragAcceptFiles();
  if (!startFiles.empty()) PostMessage(WM_ADD_START_FILES);
  return TRUE;
}

void MainDialog::setUpImageButtons() {
  const struct {
    ThemedImageButton& button;
    int iconId;
  } buttons[] = {{addButton, 137},      {removeButton, 139}, {clearButton, 138},
                 {settingsButton, 140}, {exitButton, 144},   {startButton, 146},
                 {moreDownloadsButton, 145}};
  for (const auto& [button, iconId] : buttons) {
    button.assignIcons(iconId, 0);
    button.setFlatLook(false, true);
    button.attachTheme(&themeLoader);
  }
}

void MainDialog::createColumns() {
  const ColumnWidths widths = loadColumnWidths(programFolder);
  visibleList.InsertColumn(0, "FLv Source", LVCFMT_LEFT, widths.w0);
  visibleList.InsertColumn(1, "Duration", LVCFMT_LEFT, widths.w1);
  visibleList.InsertColumn(kStatusColumn, "Status", LVCFMT_CENTER, widths.w2);
  hiddenList.InsertColumn(0, "full path", LVCFMT_LEFT, 100);
  hiddenList.InsertColumn(1, "duration", LVCFMT_LEFT, 20);
  hiddenList.InsertColumn(2, "status tip", LVCFMT_LEFT, 20);
}

void MainDialog::restoreWindowSize() {
  const SIZE size = loadWindowSize(programFolder);
  SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE);
}

void MainDialog::rebuildSummaryLine() { summaryLine.SetWindowText(summaryLineText(settings)); }

void MainDialog::onSettings() {
  if (editSettings(this, settings)) rebuildSummaryLine();
}

bool MainDialog::mayExit() {
  if (commands.converting()) {
    MessageBoxA(m_hWnd, "Please stop converting before close!", "Warning",
                MB_OK | MB_ICONINFORMATION);
    return false;
  }
  if (!IsIconic()) {
    RECT frame{};
    GetWindowRect(&frame);
    saveWindowMetrics(programFolder, {frame.right - frame.left, frame.bottom - frame.top},
                      {visibleList.GetColumnWidth(0), visibleList.GetColumnWidth(1),
                       visibleList.GetColumnWidth(2)});
  }
  return true;
}

void MainDialog::OnOK() {
  if (mayExit()) CDialog::OnOK();
}

void MainDialog::OnCancel() {
  if (mayExit()) CDialog::OnCancel();
}

// The default processing issues IDCANCEL, which runs the exit sequence once more.
void MainDialog::OnClose() {
  if (mayExit()) Default();
}

void MainDialog::OnSysCommand(UINT command, LPARAM) {
  if ((command & 0xFFF0) != IDM_ABOUTBOX) {
    Default();
    return;
  }
  AboutBox about(this);
  about.DoModal();
}

void MainDialog::OnPaint() {
  if (!IsIconic()) {
    Default();
    return;
  }
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(m_hWnd, &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int cxIcon = GetSystemMetrics(SM_CXICON);
  const int cyIcon = GetSystemMetrics(SM_CYICON);
  RECT client{};
  GetClientRect(&client);
  const int x = (client.right - client.left - cxIcon + 1) / 2;
  const int y = (client.bottom - client.top - cyIcon + 1) / 2;
  DrawIcon(dc, x, y, icon);
  EndPaint(m_hWnd, &paint);
}

HICON MainDialog::OnQueryDragIcon() { return icon; }

void MainDialog::OnSize(UINT, int, int) {
  Default();
  layout.relayout();
}

void MainDialog::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize = {kMinimumWidth, kMinimumHeight};
  Default();
}

void MainDialog::onAdd() { commands.add(); }
void MainDialog::onRemove() { commands.remove(); }
void MainDialog::onClear() { commands.clear(); }
void MainDialog::onExit() { OnOK(); }
void MainDialog::onBrowse() { commands.browse(); }
void MainDialog::onStartOrStop() { commands.startOrStop(); }
void MainDialog::onMoreDownloads() { webAddress.openDownloads(); }

void MainDialog::OnDropFiles(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    std::string path(DragQueryFileA(drop, index, nullptr, 0), '\0');
    DragQueryFileA(drop, index, path.data(), static_cast<UINT>(path.size() + 1));
    paths.push_back(path);
  }
  DragFinish(drop);
  commands.addFiles(paths);
}

void MainDialog::onFileListInfoTip(NMHDR* header, LRESULT*) {
  auto& tip = *reinterpret_cast<NMLVGETINFOTIPA*>(header);
  if (tip.iSubItem != kStatusColumn) return;
  CopyToBuffer(view.statusTip(tip.iItem), tip.pszText,
               static_cast<std::size_t>(std::max(0, tip.cchTextMax)));
}

void MainDialog::onFileListKeyDown(NMHDR* header, LRESULT*) {
  const auto& key = *reinterpret_cast<NMLVKEYDOWN*>(header);
  if (key.wVKey == VK_DELETE && removeButton.IsWindowEnabled()) onRemove();
}

LRESULT MainDialog::onAddStartFiles(WPARAM, LPARAM) {
  commands.addFiles(std::exchange(startFiles, {}));
  return 0;
}

LRESULT MainDialog::onEndNotice(WPARAM, LPARAM event) {
  if (event != NIN_BALLOONUSERCLICK) return 0;
  if (IsIconic()) ShowWindow(SW_RESTORE);
  SetForegroundWindow(m_hWnd);
  return 0;
}

LRESULT MainDialog::onEncoderNotify(WPARAM wParam, LPARAM lParam) {
  return commands.onEncoderNotify(wParam, lParam);
}
