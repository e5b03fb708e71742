#pragma once
#include "platform/WinApp.h"

// The application object: runs the main dialog modally, then lets the process end.
class ConverterApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
