#pragma once
#include <span>

#include "platform/WinTypes.h"
// Dialog templates: what a dialog and its controls are, in dialog units. A dialog is built
// from its template; its controls are then bound to control objects by id.

// Window classes of template controls.
inline constexpr const char* WC_BUTTON = "Button";  // push, check, radio, group box
inline constexpr const char* WC_STATIC = "Static";
inline constexpr const char* WC_EDIT = "Edit";
inline constexpr const char* WC_LISTVIEW = "SysListView32";
inline constexpr const char* PROGRESS_CLASS = "msctls_progress32";
inline constexpr const char* WC_COMBOBOX = "ComboBox";

// The id of template controls that nothing refers to.
constexpr int IDC_STATIC = -1;

// One control, in template (and tab) order.
struct DialogItemTemplate {
  int id;
  const char* windowClass;
  const char* text;
  DWORD style;
  DWORD exStyle;
  int x, y, cx, cy;  // dialog units
};

struct DialogTemplate {
  int id;
  const char* caption;
  DWORD style;
  DWORD exStyle;
  int x, y, cx, cy;  // dialog units; cx and cy are the client size
  const char* fontName;
  int pointSize;
  std::span<const DialogItemTemplate> items;
};
