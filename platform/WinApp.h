#pragma once
#include "platform/WinTypes.h"
// CWinApp: the one application object of the program, a global object. The program's
// entry hands over to AfxWinMain, which runs its InitInstance.

class CWnd;

class CWinApp {
 public:
  // Registers the object as the application (AfxGetApp).
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Start-up. TRUE would enter an application message loop, which this layer does not
  // have: a dialog-based program runs its dialog here and returns FALSE.
  virtual BOOL InitInstance();
  // Runs when InitInstance has answered; its result is the process's exit code.
  virtual int ExitInstance();

  CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();

// The program's arguments as the C runtime keeps them: the program, then what its command
// line gave it, without the windowing system's own options. Set by AfxWinInit.
extern int __argc;
extern char** __argv;

// Creates the windowing system's application object for this process, once; every window
// call needs it. Tests call it before building dialogs.
void AfxWinInit(int argc, char** argv);
// Ends what AfxWinInit started: posted messages still queued are dropped, the windowing
// system's application object goes. Tests call it before returning from main.
void AfxWinTerm();
// The program's entry: AfxWinInit, InitInstance, ExitInstance; returns the exit code.
int AfxWinMain(int argc, char** argv);
