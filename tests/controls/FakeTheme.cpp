// A stand-in visual-styles module that records what it is asked to paint. Built twice: in
// full, and (PARTIAL_THEME) with only the entry points that answer questions.
#include <string>

#include "platform/qt/GdiQt.h"
#include "uxtheme/UxTheme.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int theme;
BOOL themed = TRUE;
std::string calls;
}  // namespace

FAKE_EXPORT void SetFakeThemed(BOOL value) { themed = value; }
// What was called, one letter per call and the state for faces: "P" parent background,
// "F3" face in state 3, "O" open, "C" close.
FAKE_EXPORT const char* FakeThemeCalls() { return calls.c_str(); }
FAKE_EXPORT void ClearFakeThemeCalls() { calls.clear(); }

FAKE_EXPORT BOOL IsAppThemed() { return themed; }
FAKE_EXPORT HTHEME OpenThemeData(void*, const wchar_t* classList) {
  calls += 'O';
  return std::wstring(classList) == L"BUTTON" ? &theme : nullptr;
}

#ifndef PARTIAL_THEME
FAKE_EXPORT HRESULT CloseThemeData(HTHEME) {
  calls += 'C';
  return S_OK;
}
FAKE_EXPORT HRESULT DrawThemeParentBackground(void*, HDC, const RECT*) {
  calls += 'P';
  return S_OK;
}
// Paints the face in pure magenta so a test can tell it from the classic face.
FAKE_EXPORT HRESULT DrawThemeBackground(HTHEME, HDC dc, int part, int state, const RECT* rect,
                                        const RECT*) {
  calls += 'F' + std::to_string(state);
  if (part != 1) return E_FAIL;
  dc->painter->fillRect(ToQRect(*rect), QColor(255, 0, 255));
  return S_OK;
}
#endif
