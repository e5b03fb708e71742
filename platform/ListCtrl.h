#pragma once
#include <string>

#include "platform/Wnd.h"
// CListCtrl: a list control in report view. Rows and cells hold text only; several rows
// can be selected. Each call is the LVM_ message of its name, sent to the control.

class CListCtrl : public CWnd {
 public:
  int GetItemCount() const;
  // Inserts a row at `index` (held within 0..count) with the text of column 0; returns
  // the row's index.
  int InsertItem(int index, const std::string& text);
  BOOL SetItemText(int index, int column, const std::string& text);
  // The text of a cell; empty for a missing row or column.
  std::string GetItemText(int index, int column) const;
  // The first row after `start` (-1: from the top) with the LVNI_ flags; -1 when none.
  int GetNextItem(int start, UINT flags) const;
  // LVIS_SELECTED of a row (-1: every row).
  BOOL SetItemState(int index, UINT state, UINT mask);
  BOOL DeleteItem(int index);
  BOOL DeleteAllItems();
  // Appends a column with a heading, an LVCFMT_ alignment and a width in pixels; returns
  // its index.
  int InsertColumn(int column, const std::string& heading, int format, int width);
  int GetColumnWidth(int column) const;
  BOOL SetColumnWidth(int column, int width);
  // LVM_SETEXTENDEDLISTVIEWSTYLE with a mask (0: every bit); returns the previous styles.
  DWORD SetExtendedStyle(DWORD mask, DWORD styles);
};
