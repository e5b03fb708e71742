#include "platform/WinApp.h"

#include <QApplication>
#include <memory>

#include "platform/qt/DesktopServices.h"
#include "platform/qt/PostedMessages.h"

namespace {
CWinApp* currentApp = nullptr;

// The toolkit keeps a reference to argc for the application's whole life.
int applicationArgc = 0;
std::unique_ptr<QApplication>& Application() {
  static std::unique_ptr<QApplication> application;
  return application;
}
}  // namespace

int __argc = 0;
char** __argv = nullptr;

CWinApp::CWinApp() { currentApp = this; }

CWinApp::~CWinApp() {
  if (currentApp == this) currentApp = nullptr;
}

BOOL CWinApp::InitInstance() { return FALSE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return currentApp; }

void AfxWinInit(int argc, char** argv) {
  if (QCoreApplication::instance() != nullptr) return;
  applicationArgc = argc;
  Application() = std::make_unique<QApplication>(applicationArgc, argv);
  QApplication::setApplicationName(QStringLiteral("vidmora"));
  // The installed desktop entry's name: the desktop finds the program's icon and launcher
  // entry by it.
  QGuiApplication::setDesktopFileName(QStringLiteral(VIDMORA_DESKTOP_ID));
  // The toolkit has taken its own options out of argc and argv.
  __argc = applicationArgc;
  __argv = argv;
  StartPostedMessageDelivery();
}

int AfxWinMain(int argc, char** argv) {
  AfxWinInit(argc, argv);
  CWinApp* app = AfxGetApp();
  int exitCode = 0;
  if (app != nullptr) {
    app->InitInstance();
    exitCode = app->ExitInstance();
  }
  AfxWinTerm();
  return exitCode;
}

void AfxWinTerm() {
  // What the program still asks of the desktop ends with it, as a thread's execution state
  // ends with the thread.
  EndDesktopServices();
  StopPostedMessageDelivery();
  Application().reset();
}
