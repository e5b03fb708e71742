#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/WinApp.h"

// GUI tests need the windowing system's application object before any window exists.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // headless unless told otherwise
  testing::InitGoogleTest(&argc, argv);
  AfxWinInit(argc, argv);
  const int result = RUN_ALL_TESTS();
  AfxWinTerm();
  return result;
}
