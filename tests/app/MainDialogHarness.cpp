#include "tests/app/MainDialogHarness.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/MessageQueue.h"
#include "platform/Resources.h"
#include "res/ProgramResources.h"
#include "tests/app/SettingsDialogDriver.h"
#include "tests/fixtures/FlvFixture.h"
#include "tests/platform/FileDrag.h"

int AnsweringHook::messageBox(HWND, const std::string& text, const std::string& caption,
                              UINT type) {
  messages.push_back(caption + ": " + text + ((type & MB_ICONINFORMATION) ? " (i)" : ""));
  return IDOK;
}

std::vector<std::string> AnsweringHook::openFileNames(HWND, const std::string& filterName,
                                                      const std::string& pattern) {
  EXPECT_EQ(filterName, "Flv files(*.flv)");
  EXPECT_EQ(pattern, "*.flv");
  return files;
}

std::string AnsweringHook::browseForFolder(HWND, const std::string& title) {
  EXPECT_EQ(title, "Choose Folder:");
  return folder;
}

MainDialogTest::MainDialogTest() : previousHook(SetModalHook(&hook)) {
  const char* current = std::getenv("HOME");
  previousHome = current != nullptr ? current : "";
  setenv("HOME", home.path().c_str(), 1);
  AfxSetResourceHandle(ProgramResources());
  RegisterProgramIcons();
}

MainDialogTest::~MainDialogTest() {
  if (isOpen()) dialog->EndDialog(IDCANCEL);
  dialog.reset();
  PumpWaitingMessages();
  SetModalHook(previousHook);
  setenv("HOME", previousHome.c_str(), 1);
}

void MainDialogTest::open(const std::vector<std::string>& startFiles) {
  dialog = std::make_unique<MainDialog>(program.path(), system.path(), logFile());
  dialog->addAtStart(startFiles);
  ASSERT_TRUE(dialog->Create());
  PumpWaitingMessages();
}

void MainDialogTest::shipEncoders() {
  for (const char* name : {"zandrio.dll", "quimbel.dll"})
    std::filesystem::copy_file(std::string(PROGRAM_FOLDER) + name, program.path() + name);
}

void MainDialogTest::pumpUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < until) {
    PumpWaitingMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void MainDialogTest::pumpFor(std::chrono::milliseconds span) {
  const auto until = std::chrono::steady_clock::now() + span;
  pumpUntil([&] { return std::chrono::steady_clock::now() >= until; });
}

void MainDialogTest::click(int id) { SendMessage(item(id), BM_CLICK, 0, 0); }

void MainDialogTest::add(const std::vector<std::string>& files) {
  hook.files = files;
  click(1000);
  pumpUntil([&] {
    return SendMessage(item(1014), LVM_GETITEMCOUNT, 0, 0) ==
           SendMessage(item(1007), LVM_GETITEMCOUNT, 0, 0);
  });
}

bool MainDialogTest::drop(const std::vector<std::string>& files) {
  std::string uriList;
  for (const std::string& file : files) uriList += FileUrl(file) + "\r\n";
  const RECT list = childRect(1007);
  return DropUriList(dialog->m_hWnd, {(list.left + list.right) / 2, (list.top + list.bottom) / 2},
                     uriList);
}

std::vector<std::string> MainDialogTest::column(int listId, int columnIndex) {
  const auto* list = static_cast<const CListCtrl*>(CWndFromHandle(item(listId)));
  std::vector<std::string> texts;
  for (int row = 0; row < list->GetItemCount(); ++row)
    texts.push_back(list->GetItemText(row, columnIndex));
  return texts;
}

void MainDialogTest::saveShot(const std::string& name) {
  if (isOpen()) ::saveShot(dialog->m_hWnd, name);
}

RECT MainDialogTest::childRect(int id) {
  RECT rect{};
  GetWindowRect(item(id), &rect);
  dialog->ScreenToClient(&rect);
  return rect;
}

RECT MainDialogTest::outerRect() {
  RECT rect{};
  dialog->GetWindowRect(&rect);
  return rect;
}

std::pair<int, int> MainDialogTest::outerSize() {
  const RECT rect = outerRect();
  return {rect.right - rect.left, rect.bottom - rect.top};
}

namespace {
const std::string& ClipFolder() {
  static const TemporaryFolder folder;
  return folder.path();
}
}  // namespace

std::string testClip(const std::string& name, double seconds) {
  const std::string path = ClipFolder() + name;
  if (access(path.c_str(), F_OK) != 0) flv_fixture::makeClip(path, {.seconds = seconds});
  return path;
}

std::string notAVideo() {
  const std::string path = ClipFolder() + "notes.flv";
  if (access(path.c_str(), F_OK) != 0) flv_fixture::writeNotVideo(path);
  return path;
}
