#include "platform/DropFiles.h"

#include <gtest/gtest.h>

#include "TestDialogs.h"
#include "platform/MessageQueue.h"
#include "platform/qt/FileDrops.h"
#include "tests/platform/FileDrag.h"

namespace {
class DropFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    UseTestResources();
    ASSERT_TRUE(dialog.Create());
    PumpWaitingMessages();
  }
  // A point of the dialog's client area on control `id`, or on no control with 0.
  POINT pointOn(int id) {
    if (id == 0) return {2, 2};
    RECT rect{};
    GetWindowRect(dialog.GetDlgItem(id), &rect);
    dialog.ScreenToClient(&rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  std::vector<std::string> drops() const {
    std::vector<std::string> paths;
    for (const std::string& event : dialog.events)
      if (event.rfind("drop ", 0) == 0) paths.push_back(event.substr(5));
    return paths;
  }
  TestDialog dialog;
};

struct DropCase {
  const char* name;
  bool accept;
  int target;  // the control the drop lands on, 0 for the dialog's background
  std::string uriList;
  std::vector<std::string> paths;  // what WM_DROPFILES brings; none when the drop is refused
};

TEST_F(DropFilesTest, LocalFilesDroppedAnywhereOnAnAcceptingWindowArriveInOrder) {
  const DropCase cases[] = {
      {"files on the edit, which takes no drops itself", true, kEditId,
       "file:///tmp/a%20b.flv\r\nfile://localhost/tmp/%C3%A9t%C3%A9.flv\r\n",
       {"/tmp/a b.flv", "/tmp/\xC3\xA9t\xC3\xA9.flv"}},
      {"a name that is not UTF-8 keeps its bytes", true, kListId, "file:///tmp/%FF%FE.flv\r\n",
       {"/tmp/\xFF\xFE.flv"}},
      {"other URLs are left out", true, 0,
       "http://example.com/c.flv\r\nfile:///tmp/d.flv\r\nfile://elsewhere.example/e.flv\r\n",
       {"/tmp/d.flv"}},
      {"nothing local: refused", true, 0, "https://example.com/f.flv\r\n", {}},
      {"a window that does not accept files refuses", false, kListId, "file:///tmp/g.flv\r\n", {}},
  };
  for (const DropCase& drop : cases) {
    SCOPED_TRACE(drop.name);
    dialog.events.clear();
    dialog.DragAcceptFiles(drop.accept);
    EXPECT_EQ(DropUriList(dialog.m_hWnd, pointOn(drop.target), drop.uriList), !drop.paths.empty());
    EXPECT_TRUE(drops().empty()) << "posted, not sent while the file manager waits";
    PumpWaitingMessages();
    EXPECT_EQ(drops(), drop.paths);
  }
}

TEST_F(DropFilesTest, QueriesGiveTheCountTheLengthsAndCutCopiesUntilFinished) {
  const HDROP drop = NewDrop(dialog.m_hWnd, {"/videos/one.flv", "/two.flv"});
  char buffer[64] = "untouched";
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  EXPECT_EQ(DragQueryFileA(drop, 0, nullptr, 0), 15u);
  EXPECT_EQ(DragQueryFileA(drop, 1, buffer, sizeof buffer), 8u);
  EXPECT_STREQ(buffer, "/two.flv");
  EXPECT_EQ(DragQueryFileA(drop, 0, buffer, 5), 4u);
  EXPECT_STREQ(buffer, "/vid");
  EXPECT_EQ(DragQueryFileA(drop, 2, buffer, sizeof buffer), 0u);
  DragFinish(drop);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 0u);

  const HDROP unfinished = NewDrop(dialog.m_hWnd, {"/three.flv"});
  dialog.EndDialog(IDCANCEL);
  EXPECT_EQ(DragQueryFileA(unfinished, 0xFFFFFFFF, nullptr, 0), 0u) << "gone with its window";
}
}  // namespace
