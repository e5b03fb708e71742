#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/WinApp.h"

// GUI tests need the windowing system's application object before any window exists.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // headless unless told otherwise
  // Kept from the desktop's buses: a test's batch neither keeps the machine awake nor
  // shows notices (desktop_tests brings buses of its own).
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
  setenv("DBUS_SYSTEM_BUS_ADDRESS", "disabled:", 1);
  testing::InitGoogleTest(&argc, argv);
  AfxWinInit(argc, argv);
  const int result = RUN_ALL_TESTS();
  AfxWinTerm();
  return result;
}
