#pragma once
#include "platform/Dialog.h"
// The About box (template 100): the product name and version, the application icon and the
// maker's address as plain text. Run with DoModal; OK, Esc and the close box end it.
class AboutBox : public CDialog {
 public:
  explicit AboutBox(CWnd* parent = nullptr);
};
