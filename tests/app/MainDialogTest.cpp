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

// The values of these [Status] keys, -1 for a missing one.
std::vector<int> StatusInts(const std::string& file, std::initializer_list<const char*> keys) {
  std::vector<int> values;
  for (const char* key : keys)
    values.push_back(static_cast<int>(GetPrivateProfileIntA("Status", key, -1, file)));
  return values;
}
}  // namespace

TEST_F(MainDialogTest, FirstStartOpensWithTheDefaultTitleSummaryAndFolder) {
  open();
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

// Without saved metrics the dialog opens at its minimum size with the default columns; a
// non-number reads as zero, which the minimum size overrides.
TEST_F(MainDialogTest, SavedMetricsAreRestored) {
  const struct {
    const char* file;  // null: no option.ini
    std::pair<int, int> size;
    std::vector<int> columns;
  } cases[] = {
      {nullptr, {595, 400}, {310, 100, 80}},
      {"[Status]\nWidth=700\nHeight=abc\nw0=200\nw1=0\nw2=90\n", {700, 400}, {200, 0, 90}},
      {"[Status]\nWidth=abc\nHeight=450\n", {595, 450}, {310, 100, 80}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file != nullptr ? c.file : "no option.ini");
    if (c.file != nullptr) WriteFile(optionFile(), c.file);
    open();
    EXPECT_EQ(outerSize(), c.size);
    const auto* visible = static_cast<const CListCtrl*>(CWndFromHandle(item(1007)));
    EXPECT_EQ((std::vector<int>{visible->GetColumnWidth(0), visible->GetColumnWidth(1),
                                visible->GetColumnWidth(2)}),
              c.columns);
    dialog->EndDialog(IDCANCEL);
  }
}

TEST_F(MainDialogTest, TheCloseBoxWritesTheFiveKeysAndKeepsTheRestOfTheFile) {
  WriteFile(optionFile(), "[Other]\nkeep=1\n[Status]\nWidth=640\nextra=yes\n");
  open();
  dialog->SetWindowPos(nullptr, 0, 0, 720, 480, SWP_NOMOVE);
  static_cast<CListCtrl*>(CWndFromHandle(item(1007)))->SetColumnWidth(1, 0);
  dialog->SendMessage(WM_CLOSE);
  pumpUntil([&] { return !isOpen(); });
  EXPECT_FALSE(isOpen());
  EXPECT_EQ(StatusInts(optionFile(), {"Width", "Height", "w0", "w1", "w2"}),
            (std::vector<int>{720, 480, 310, 0, 80}));
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
    EXPECT_EQ(StatusInts(optionFile(), {"Width"}), std::vector<int>{595}) << how;
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
  EXPECT_EQ(outerSize(), (std::pair{595, 400}));
}

TEST_F(MainDialogTest, GrowingMovesAndStretchesExactlyTheAnchoredControls) {
  open();
  const int ids[] = {1000, 1001, 1002, 1003, 1006, 1007, 1008, 1009, 1010,
                     1015, 1047, 1043, 1044, 1048, 1059, 1004};
  std::map<int, RECT> before;
  for (int id : ids) before[id] = childRect(id);
  const auto [width, height] = outerSize();
  dialog->SetWindowPos(nullptr, 0, 0, width + 100, height + 50, SWP_NOMOVE);
  // dx, dy added to left, top, right, bottom
  const std::map<int, std::array<int, 4>> moves = {
      {1059, {100, 0, 100, 0}}, {1007, {0, 0, 100, 50}},  {1006, {0, 0, 100, 0}},
      {1008, {0, 50, 0, 50}},   {1010, {0, 50, 0, 50}},   {1009, {0, 50, 100, 50}},
      {1047, {0, 50, 0, 50}},   {1043, {0, 50, 100, 50}}, {1044, {100, 50, 100, 50}},
      {1048, {100, 50, 100, 50}}};
  for (int id : ids) {
    const auto found = moves.find(id);
    const std::array<int, 4> d = found != moves.end() ? found->second : std::array<int, 4>{};
    const RECT now = childRect(id), was = before[id];
    EXPECT_EQ((std::array{now.left - was.left, now.top - was.top, now.right - was.right,
                          now.bottom - was.bottom}),
              d)
        << id;
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
