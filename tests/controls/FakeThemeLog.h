#pragma once
#include <string>

#include "platform/DynamicLibrary.h"
// The recording entry points of the stand-in visual-styles module FakeTheme.dll, reached the
// way the program reaches the real one.
struct FakeThemeLog {
  HMODULE module = LoadLibraryA("FakeTheme.dll");
  ~FakeThemeLog() { FreeLibrary(module); }
  // One letter per call since the last clear: "O" open, "P" parent background, "F3" face in
  // state 3, "C" close.
  std::string calls() const {
    return reinterpret_cast<const char* (*)()>(GetProcAddress(module, "FakeThemeCalls"))();
  }
  void clear() const {
    reinterpret_cast<void (*)()>(GetProcAddress(module, "ClearFakeThemeCalls"))();
  }
  // What IsAppThemed returns.
  void setThemed(BOOL themed) const {
    reinterpret_cast<void (*)(BOOL)>(GetProcAddress(module, "SetFakeThemed"))(themed);
  }
};
