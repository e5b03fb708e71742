#include "app/ConverterApp.h"

#include "app/MainDialog.h"
#include "platform/Resources.h"
#include "res/ProgramResources.h"

BOOL ConverterApp::InitInstance() {
  AfxSetResourceHandle(ProgramResources());
  RegisterProgramIcons();
  MainDialog dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  // No application message loop: the process ends here.
  return FALSE;
}
