#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainDialog.h"
#include "platform/ModalHook.h"
#include "tests/process/TemporaryFolder.h"

// Answers the main dialog's modal calls: records message boxes and hands out the files and
// the folder a test chose.
class AnsweringHook : public ModalHook {
 public:
  std::vector<std::string> messages;  // "caption: text", " (i)" with the information icon
  std::vector<std::string> files;
  std::string folder;

  int messageBox(HWND, const std::string& text, const std::string& caption, UINT type) override;
  std::vector<std::string> openFileNames(HWND, const std::string&, const std::string&) override;
  std::string browseForFolder(HWND, const std::string&) override;
};

// The real main dialog, shown modeless with a program folder, system folder and home of
// its own, the hook answering its modal calls.
class MainDialogTest : public testing::Test {
 protected:
  MainDialogTest();
  ~MainDialogTest() override;

  // Builds and shows the dialog (option.ini may be written first), with the files the
  // command line names.
  void open(const std::vector<std::string>& startFiles = {});
  // Copies the scrambled encoders of the build into the program folder.
  void shipEncoders();
  // Delivers messages until `done` or the time limit.
  void pumpUntil(const std::function<bool()>& done,
                 std::chrono::seconds limit = std::chrono::seconds(60));
  // Delivers messages for this long.
  void pumpFor(std::chrono::milliseconds span);
  void click(int id);
  // Adds these files through the Add button and waits until every probe has ended.
  void add(const std::vector<std::string>& files);
  // Drops these files from the file manager on the file list; true when the window took
  // them, false when it refused the drag.
  bool drop(const std::vector<std::string>& files);
  // The text of column `column` of every row of a list control.
  std::vector<std::string> column(int listId, int column);
  RECT childRect(int id);
  RECT outerRect();
  // The outer width and height.
  std::pair<int, int> outerSize();
  std::string optionFile() const { return program.path() + "option.ini"; }
  std::string logFile() const { return home.path() + ".local/state/vidmora/vidmora.log"; }
  // With VIDMORA_SHOTS naming a folder, saves the dialog as it looks now to NAME.png there.
  void saveShot(const std::string& name);
  bool isOpen() const { return dialog && IsWindow(dialog->m_hWnd); }
  HWND item(int id) { return dialog->GetDlgItem(id); }

  TemporaryFolder program, system, home, output;
  AnsweringHook hook;
  std::unique_ptr<MainDialog> dialog;

 private:
  ModalHook* previousHook;
  std::string previousHome;
};

using Strings = std::vector<std::string>;

// Message boxes as AnsweringHook records them.
inline std::string failedToLoad(const std::string& path) {
  return "Warning: Failed to load: " + path + " (i)";
}
inline const std::string kAllConverted = "Confirm: All Flv files have been converted! (i)";

// The test clips, each made on its first use in this process.
std::string testClip(const std::string& name, double seconds);
std::string notAVideo();
