#include <gtest/gtest.h>

#include <vector>

#include "controls/ThemeLoader.h"
#include "tests/controls/FakeThemeLog.h"
#include "tests/controls/MemoryCanvas.h"

namespace {

int window;  // any window handle: the loader only passes it on

}  // namespace

// Without the module every call falls back; with a module lacking the painting and closing
// entry points (and the parent step), those calls do.
TEST(ThemeLoader, AMissingModuleOrExportTakesItsFallback) {
  const struct {
    const char* module;
    bool themed;  // what appThemed says, and whether a theme opens
  } cases[] = {{"NoSuchTheme.dll", false}, {"PartialTheme.dll", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.module);
    const ThemeLoader loader(c.module);
    MemoryCanvas canvas(10, 10, RGB(1, 2, 3));
    const RECT rect{0, 0, 10, 10};
    EXPECT_EQ(loader.appThemed(), c.themed);
    HTHEME theme = loader.openTheme(&window, L"BUTTON");
    EXPECT_EQ(theme != nullptr, c.themed);
    if (theme == nullptr) theme = &window;
    EXPECT_EQ(loader.drawThemedBackground(theme, &window, canvas.dc(), 1, 1, &rect, nullptr),
              E_FAIL);
    EXPECT_EQ(loader.closeTheme(theme), E_FAIL);
    EXPECT_EQ(canvas.at(5, 5), RGB(1, 2, 3));
  }
}

TEST(ThemeLoader, ABareNameIsFoundInTheProgramFolderAndAskedAtEveryCall) {
  const FakeThemeLog log;
  ASSERT_NE(log.module, nullptr);
  log.clear();
  const ThemeLoader loader("FakeTheme.dll");
  MemoryCanvas canvas(10, 10, RGB(1, 2, 3));
  const RECT rect{0, 0, 10, 10};
  HTHEME theme = loader.openTheme(&window, L"BUTTON");
  EXPECT_EQ(loader.drawThemedBackground(theme, &window, canvas.dc(), 1, 3, &rect, nullptr), S_OK);
  EXPECT_EQ(loader.drawThemedBackground(theme, nullptr, canvas.dc(), 1, 2, &rect, nullptr), S_OK);
  EXPECT_EQ(loader.closeTheme(theme), S_OK);
  EXPECT_EQ(log.calls(), "OPF3F2C");  // no parent step without a window
  EXPECT_EQ(canvas.at(5, 5), RGB(255, 0, 255));
  EXPECT_TRUE(loader.appThemed());
  log.setThemed(FALSE);
  EXPECT_FALSE(loader.appThemed());
  log.setThemed(TRUE);
}

TEST(ThemeLoader, TheProgramsModulePaintsButtonFacesOnly) {
  const ThemeLoader loader(VIDMORA_UXTHEME_PATH);
  ASSERT_TRUE(loader.appThemed());
  EXPECT_EQ(loader.openTheme(&window, L"LISTVIEW"), nullptr);
  HTHEME theme = loader.openTheme(&window, L"button");
  ASSERT_NE(theme, nullptr);
  const RECT rect{0, 0, 40, 20};
  const auto paint = [&](int state) {
    MemoryCanvas canvas(40, 20, RGB(1, 2, 3));
    EXPECT_EQ(loader.drawThemedBackground(theme, nullptr, canvas.dc(), 1, state, &rect, nullptr),
              S_OK);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 40; ++x) pixels.push_back(canvas.at(x, y));
    return pixels;
  };
  const auto normal = paint(1);
  EXPECT_NE(normal[10 * 40 + 20], RGB(1, 2, 3));
  for (int state : {2, 3, 4, 5}) EXPECT_NE(paint(state), normal) << state;
  MemoryCanvas canvas(40, 20, RGB(1, 2, 3));
  EXPECT_EQ(loader.drawThemedBackground(theme, nullptr, canvas.dc(), 2, 1, &rect, nullptr),
            E_FAIL);
  EXPECT_EQ(loader.closeTheme(theme), S_OK);
}
