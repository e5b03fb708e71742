#pragma once
#include <string>

#include "platform/Wnd.h"
// CComboBox: a drop-down list (CBS_DROPDOWNLIST) of a template: the user picks one of its
// items and cannot type. Items stay in the order they were added. Each call is the CB_
// message of its name, sent to the control; the window text is the selected item's text.

constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr LRESULT CB_ERR = -1;

class CComboBox : public CWnd {
 public:
  // Appends an item; returns its index.
  int AddString(const std::string& text);
  int GetCount() const;
  // The selected item's index, CB_ERR when none is selected.
  int GetCurSel() const;
  // Selects an item; an index outside the list (-1 among them) clears the selection and
  // returns CB_ERR.
  int SetCurSel(int index);
  // The text of an item; empty for an index outside the list.
  std::string GetLBText(int index) const;
};
