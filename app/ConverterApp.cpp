#include "app/ConverterApp.h"

#include "app/MainDialog.h"
#include "platform/Paths.h"
#include "platform/Resources.h"
#include "res/ProgramResources.h"

BOOL ConverterApp::InitInstance() {
  AfxSetResourceHandle(ProgramResources());
  RegisterProgramIcons();
  MainDialog dialog;
  // Files named on the command line, as a file manager's "Open With" passes them.
  std::vector<std::string> files;
  for (int index = 1; index < __argc; ++index) files.push_back(GetFullPathNameA(__argv[index]));
  dialog.addAtStart(files);
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  // No application message loop: the process ends here.
  return FALSE;
}
