#pragma once
#include <string>
#include <vector>

#include "platform/WinHandles.h"
// Every user-facing modal call goes through the current ModalHook: the base class shows
// the real dialogs; tests install a derived hook that records each call and answers it.
// Each call first sends WM_CANCELMODE to the window holding the mouse capture.

class ModalHook {
 public:
  virtual ~ModalHook() = default;
  // A message box with the text, the caption, the MB_ icon and an OK button; returns IDOK.
  virtual int messageBox(HWND owner, const std::string& text, const std::string& caption,
                         UINT type);
  // The open-file dialog with multiple selection and one filter ("Flv files(*.flv)",
  // "*.flv"); the chosen full paths, none when cancelled.
  virtual std::vector<std::string> openFileNames(HWND owner, const std::string& filterName,
                                                 const std::string& pattern);
  // The folder browser with a title; the chosen folder, empty when cancelled.
  virtual std::string browseForFolder(HWND owner, const std::string& title);
  // ShellExecuteA of an address with the desktop's default program: `verb` is "open" or
  // empty (the default action, the same here); the show command is the SW_ value asked for,
  // which the browser's own window does not take here. True when it was handed over.
  virtual bool shellOpen(const std::string& verb, const std::string& address, int showCommand);
};

// Installs a hook (null: the real dialogs again); returns the one it replaces.
ModalHook* SetModalHook(ModalHook* hook);
// The current hook.
ModalHook& CurrentModalHook();

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;

// MessageBoxA through the current hook.
int MessageBoxA(HWND owner, const std::string& text, const std::string& caption, UINT type);
// The other modal calls through the current hook, as the hook's functions describe them.
std::vector<std::string> GetOpenFileNames(HWND owner, const std::string& filterName,
                                          const std::string& pattern);
std::string BrowseForFolder(HWND owner, const std::string& title);
// ShellExecuteA through the current hook (verb, parameters and directory may be null;
// parameters and directory are not used). Greater than 32 when the address was handed over,
// SE_ERR_NOASSOC when no program took it.
constexpr INT_PTR SE_ERR_NOASSOC = 31;
INT_PTR ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                      const char* directory, int showCommand);
