#pragma once
#include "platform/DynamicLibrary.h"
#include "uxtheme/UxTheme.h"
// Access to the visual-styles module without depending on it: the module is loaded by name,
// every entry point is looked up afresh at each call, and each has a fallback that returns
// as an unthemed system would.
class ThemeLoader {
 public:
  // Loads the module (the program's "UxTheme.dll" unless another is named); a missing module
  // is no error.
  explicit ThemeLoader(const char* libraryName = "UxTheme.dll");
  virtual ~ThemeLoader();
  ThemeLoader(const ThemeLoader&) = delete;
  ThemeLoader& operator=(const ThemeLoader&) = delete;

  // A theme for the class list, or null (also without the module).
  HTHEME openTheme(void* window, const wchar_t* classList) const;
  // E_FAIL without the module.
  HRESULT closeTheme(HTHEME theme) const;
  // Paints the parent's background under `rect` (when the module can and a window is given),
  // then the themed face; E_FAIL when the face cannot be painted.
  HRESULT drawThemedBackground(HTHEME theme, void* window, HDC dc, int part, int state,
                               const RECT* rect, const RECT* clip) const;
  // Whether the program is themed; false without the module.
  bool appThemed() const;

 private:
  // The module's export `name`, or `fallback` when the module or the export is missing.
  template <typename Proc>
  Proc entryPoint(const char* name, Proc fallback) const;

  HMODULE module;
};
