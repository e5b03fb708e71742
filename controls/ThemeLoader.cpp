#include "controls/ThemeLoader.h"

namespace {

HTHEME NoTheme(void*, const wchar_t*) { return nullptr; }
HRESULT CannotClose(HTHEME) { return E_FAIL; }
HRESULT CannotDraw(HTHEME, HDC, int, int, const RECT*, const RECT*) { return E_FAIL; }
BOOL NotThemed() { return FALSE; }

}  // namespace

ThemeLoader::ThemeLoader(const char* libraryName) : module(LoadLibraryA(libraryName)) {}

ThemeLoader::~ThemeLoader() {
  if (module != nullptr) FreeLibrary(module);
  module = nullptr;
}

template <typename Proc>
Proc ThemeLoader::entryPoint(const char* name, Proc fallback) const {
  const FARPROC address = module != nullptr ? GetProcAddress(module, name) : nullptr;
  return address != nullptr ? reinterpret_cast<Proc>(address) : fallback;
}

HTHEME ThemeLoader::openTheme(void* window, const wchar_t* classList) const {
  return entryPoint<OpenThemeDataProc>("OpenThemeData", NoTheme)(window, classList);
}

HRESULT ThemeLoader::closeTheme(HTHEME theme) const {
  return entryPoint<CloseThemeDataProc>("CloseThemeData", CannotClose)(theme);
}

HRESULT ThemeLoader::drawThemedBackground(HTHEME theme, void* window, HDC dc, int part,
                                          int state, const RECT* rect,
                                          const RECT* clip) const {
  const auto parentBackground = entryPoint<DrawThemeParentBackgroundProc>(
      "DrawThemeParentBackground", nullptr);
  if (parentBackground != nullptr && window != nullptr) parentBackground(window, dc, rect);
  return entryPoint<DrawThemeBackgroundProc>("DrawThemeBackground", CannotDraw)(
      theme, dc, part, state, rect, clip);
}

bool ThemeLoader::appThemed() const {
  return entryPoint<IsAppThemedProc>("IsAppThemed", NotThemed)() != FALSE;
}
