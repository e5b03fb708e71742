#include <gtest/gtest.h>

#include "TestDialogs.h"

namespace {
class ListCtrlTest : public testing::Test {
 protected:
  void SetUp() override {
    UseTestResources();
    ASSERT_TRUE(dialog.Create());
    ASSERT_TRUE(list.SubclassDlgItem(kListId, &dialog));
    EXPECT_EQ(list.InsertColumn(0, "Name", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, "Status", LVCFMT_CENTER, 0), 1);
  }
  TestDialog dialog;
  CListCtrl list;
};

TEST_F(ListCtrlTest, RowsKeepTheirCellsInOrder) {
  EXPECT_EQ(list.InsertItem(0, "b"), 0);
  EXPECT_EQ(list.InsertItem(0, "a"), 0);
  EXPECT_EQ(list.InsertItem(99, "c"), 2);
  EXPECT_TRUE(list.SetItemText(1, 1, "Ready"));
  EXPECT_FALSE(list.SetItemText(5, 1, "x"));
  EXPECT_EQ(list.GetItemCount(), 3);
  EXPECT_EQ(list.GetItemText(0, 0), "a");
  EXPECT_EQ(list.GetItemText(1, 0), "b");
  EXPECT_EQ(list.GetItemText(1, 1), "Ready");
  EXPECT_EQ(list.GetItemText(2, 1), "");
  EXPECT_EQ(list.GetItemText(7, 0), "");
}

TEST_F(ListCtrlTest, LongTextComesBackWhole) {
  const std::string path(3000, 'p');
  list.InsertItem(0, path);
  EXPECT_EQ(list.GetItemText(0, 0), path);
}

TEST_F(ListCtrlTest, SelectedRowsAreFoundInOrderAndDeleted) {
  for (const char* name : {"1", "2", "3", "4", "5"}) list.InsertItem(list.GetItemCount(), name);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_ALL), 0);
  for (int row; (row = list.GetNextItem(-1, LVNI_SELECTED)) != -1;) list.DeleteItem(row);
  ASSERT_EQ(list.GetItemCount(), 3);
  EXPECT_EQ(list.GetItemText(0, 0), "1");
  EXPECT_EQ(list.GetItemText(1, 0), "3");
  EXPECT_EQ(list.GetItemText(2, 0), "5");
  EXPECT_FALSE(list.DeleteItem(3));
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(ListCtrlTest, ColumnWidthsIncludingCollapsedOnes) {
  EXPECT_EQ(list.GetColumnWidth(0), 120);
  EXPECT_EQ(list.GetColumnWidth(1), 0);
  list.SetColumnWidth(1, 75);
  EXPECT_EQ(list.GetColumnWidth(1), 75);
  EXPECT_EQ(list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT), 0u);
  EXPECT_EQ(list.SetExtendedStyle(0, 0), LVS_EX_FULLROWSELECT);
}
}  // namespace
