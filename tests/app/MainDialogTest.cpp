#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/SummaryLine.h"
#include "platform/Menus.h"
#include "platform/Profile.h"
#include "tests/app/MainDialogHarness.h"

namespace {
std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

int StatusInt(const std::string& file, const char* key) {
  return static_cast<int>(GetPrivateProfileIntA("Status", key, -1, file));
}
}  // namespace

TEST_F(MainDialogTest, FirstStartOpensAtTheMinimumSizeWithTheDefaultColumns) {
  open();
  EXPECT_EQ(Width(outerRect()), 595);
  EXPECT_EQ(Height(outerRect()), 400);
  const auto* visible = static_cast<const CListCtrl*>(CWndFromHandle(item(1007)));
  EXPECT_EQ(visible->GetColumnWidth(0), 310);
  EXPECT_EQ(visible->GetColumnWidth(1), 100);
  EXPECT_EQ(visible->GetColumnWidth(2), 80);
  EXPECT_EQ(GetWindowTextA(dialog->m_hWnd), "Free Vidmora");
  EXPECT_EQ(GetWindowTextA(item(1015)), summaryLineText(defaultConversionSettings()));
  EXPECT_EQ(GetWindowTextA(item(1043)), home.path() + "videooutput/");
  EXPECT_TRUE(std::filesystem::is_directory(home.path() + "videooutput/"));
  EXPECT_EQ(GetFocus(), item(1000));
  EXPECT_FALSE(std::filesystem::exists(optionFile()));
}

TEST_F(MainDialogTest, TheAboutEntryEndsTheWindowMenuAfterASeparator) {
  open();
  HMENU menu = GetSystemMenu(dialog->m_hWnd, FALSE);
  const int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(GetMenuItemID(menu, count - 2), 0u);
  EXPECT_EQ(GetMenuItemID(menu, count - 1), 16u);
  EXPECT_EQ(GetMenuStringA(menu, count - 1), "&About vidmora...");
  EXPECT_NE(dialog->SendMessage(WM_QUERYDRAGICON), 0);
}

TEST_F(MainDialogTest, SavedMetricsAreRestoredAndANonNumberReadsAsZero) {
  WriteFile(optionFile(), "[Status]\nWidth=700\nHeight=abc\nw0=200\nw1=0\nw2=90\n");
  open();
  EXPECT_EQ(Width(outerRect()), 700);
  EXPECT_EQ(Height(outerRect()), 400);
  const auto* visible = static_cast<const CListCtrl*>(CWndFromHandle(item(1007)));
  EXPECT_EQ(visible->GetColumnWidth(0), 200);
  EXPECT_EQ(visible->GetColumnWidth(1), 0);
  EXPECT_EQ(visible->GetColumnWidth(2), 90);
}

TEST_F(MainDialogTest, ANonNumericWidthOpensTheMinimumWidth) {
  WriteFile(optionFile(), "[Status]\nWidth=abc\nHeight=450\n");
  open();
  EXPECT_EQ(Width(outerRect()), 595);
  EXPECT_EQ(Height(outerRect()), 450);
}

TEST_F(MainDialogTest, TheCloseBoxWritesTheFiveKeysAndKeepsTheRestOfTheFile) {
  WriteFile(optionFile(), "[Other]\nkeep=1\n[Status]\nWidth=640\nextra=yes\n");
  open();
  dialog->SetWindowPos(nullptr, 0, 0, 720, 480, SWP_NOMOVE);
  static_cast<CListCtrl*>(CWndFromHandle(item(1007)))->SetColumnWidth(1, 0);
  dialog->SendMessage(WM_CLOSE);
  pumpUntil([&] { return !isOpen(); });
  EXPECT_FALSE(isOpen());
  EXPECT_EQ(StatusInt(optionFile(), "Width"), 720);
  EXPECT_EQ(StatusInt(optionFile(), "Height"), 480);
  EXPECT_EQ(StatusInt(optionFile(), "w0"), 310);
  EXPECT_EQ(StatusInt(optionFile(), "w1"), 0);
  EXPECT_EQ(StatusInt(optionFile(), "w2"), 80);
  EXPECT_EQ(GetPrivateProfileStringA("Other", "keep", "", optionFile()), "1");
  EXPECT_EQ(GetPrivateProfileStringA("Status", "extra", "", optionFile()), "yes");
  EXPECT_TRUE(hook.messages.empty());
}

TEST_F(MainDialogTest, ExitButtonEscAndEnterEndTheDialogSavingTheMetrics) {
  for (const auto& [how, result] : {std::pair{"exit", IDOK}, {"cancel", IDCANCEL}, {"ok", IDOK}}) {
    std::filesystem::remove(optionFile());
    open();
    if (std::string(how) == "exit") click(1004);
    else dialog->SendMessage(WM_COMMAND, MAKEWPARAM(result, BN_CLICKED), 0);
    EXPECT_FALSE(isOpen()) << how;
    EXPECT_EQ(StatusInt(optionFile(), "Width"), 595) << how;
    dialog.reset();
  }
}

TEST_F(MainDialogTest, AMinimisedExitWritesNothing) {
  WriteFile(optionFile(), "[Status]\nWidth=650\n");
  open();
  dialog->ShowWindow(SW_MINIMIZE);
  pumpUntil([&] { return dialog->IsIconic() != FALSE; }, std::chrono::seconds(2));
  ASSERT_TRUE(dialog->IsIconic());
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_FALSE(isOpen());
  EXPECT_EQ(ReadFile(optionFile()), "[Status]\nWidth=650\n");
}

TEST_F(MainDialogTest, TheWindowCannotShrinkBelowTheMinimum) {
  open();
  dialog->SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOMOVE);
  EXPECT_EQ(Width(outerRect()), 595);
  EXPECT_EQ(Height(outerRect()), 400);
}

TEST_F(MainDialogTest, GrowingMovesAndStretchesExactlyTheAnchoredControls) {
  open();
  const int ids[] = {1000, 1001, 1002, 1003, 1006, 1007, 1008, 1009, 1010,
                     1015, 1047, 1043, 1044, 1048, 1059, 1004};
  std::map<int, RECT> before;
  for (int id : ids) before[id] = childRect(id);
  const RECT outer = outerRect();
  dialog->SetWindowPos(nullptr, 0, 0, Width(outer) + 100, Height(outer) + 50, SWP_NOMOVE);
  // dx, dy added to left, top, right, bottom
  const std::map<int, std::array<int, 4>> moves = {
      {1059, {100, 0, 100, 0}}, {1007, {0, 0, 100, 50}},  {1006, {0, 0, 100, 0}},
      {1008, {0, 50, 0, 50}},   {1010, {0, 50, 0, 50}},   {1009, {0, 50, 100, 50}},
      {1047, {0, 50, 0, 50}},   {1043, {0, 50, 100, 50}}, {1044, {100, 50, 100, 50}},
      {1048, {100, 50, 100, 50}}};
  for (int id : ids) {
    const auto found = moves.find(id);
    const std::array<int, 4> d = found != moves.end() ? found->second : std::array<int, 4>{};
    const RECT now = childRect(id);
    EXPECT_EQ(now.left, before[id].left + d[0]) << id;
    EXPECT_EQ(now.top, before[id].top + d[1]) << id;
    EXPECT_EQ(now.right, before[id].right + d[2]) << id;
    EXPECT_EQ(now.bottom, before[id].bottom + d[3]) << id;
  }
}

TEST_F(MainDialogTest, StartingLargeAndShrinkingBackGivesTheFirstPositionsAgain) {
  open();
  const RECT first = childRect(1044);
  dialog->SetWindowPos(nullptr, 0, 0, 780, 560, SWP_NOMOVE);
  const RECT large = childRect(1044);
  EXPECT_GT(large.left, first.left);
  dialog->SetWindowPos(nullptr, 0, 0, 595, 400, SWP_NOMOVE);
  EXPECT_EQ(childRect(1044).left, first.left);
  EXPECT_EQ(childRect(1044).top, first.top);
  dialog->SetWindowPos(nullptr, 0, 0, 780, 560, SWP_NOMOVE);
  EXPECT_EQ(childRect(1044).left, large.left);
  EXPECT_EQ(childRect(1044).top, large.top);
}
