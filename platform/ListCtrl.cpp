#include "platform/ListCtrl.h"

#include <vector>

int CListCtrl::GetItemCount() const {
  return static_cast<int>(::SendMessage(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

int CListCtrl::InsertItem(int index, const std::string& text) {
  LVITEMA item{LVIF_TEXT, index, 0, 0, 0, const_cast<char*>(text.c_str()), 0};
  return static_cast<int>(::SendMessage(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int index, int column, const std::string& text) {
  LVITEMA item{LVIF_TEXT, index, column, 0, 0, const_cast<char*>(text.c_str()), 0};
  return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&item)));
}

std::string CListCtrl::GetItemText(int index, int column) const {
  // Grows the buffer until the text fits with room to spare.
  for (std::size_t size = 512;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    LVITEMA item{LVIF_TEXT, index, column, 0, 0, buffer.data(), static_cast<int>(size)};
    const LRESULT length = ::SendMessage(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&item));
    if (static_cast<std::size_t>(length) + 1 < size) return std::string(buffer.data(), static_cast<std::size_t>(length));
  }
}

int CListCtrl::GetNextItem(int start, UINT flags) const {
  return static_cast<int>(::SendMessage(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
  LVITEMA item{LVIF_STATE, index, 0, state, mask, nullptr, 0};
  return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::DeleteItem(int index) {
  return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_DELETEITEM, static_cast<WPARAM>(index), 0));
}

BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_DELETEALLITEMS, 0, 0)); }

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width) {
  LVCOLUMNA info{LVCF_FMT | LVCF_WIDTH | LVCF_TEXT, format, width, const_cast<char*>(heading.c_str()), 0, column};
  return static_cast<int>(::SendMessage(m_hWnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                        reinterpret_cast<LPARAM>(&info)));
}

int CListCtrl::GetColumnWidth(int column) const {
  return static_cast<int>(::SendMessage(m_hWnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

BOOL CListCtrl::SetColumnWidth(int column, int width) {
  return static_cast<BOOL>(::SendMessage(m_hWnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                                         MAKELPARAM(static_cast<WORD>(width), 0)));
}

DWORD CListCtrl::SetExtendedStyle(DWORD mask, DWORD styles) {
  return static_cast<DWORD>(::SendMessage(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, styles));
}
