#pragma once
#include <functional>

#include "controls/ThemedImageButton.h"
#include "platform/Dialog.h"
#include "platform/Resources.h"
// A small modeless dialog with three themed image buttons and an edit, for the button tests:
// 1000 "&Add" (icon 137), 1001 "E&xit", 1002 with no caption (icon 146), then edit 1003.
class ButtonDialog : public CDialog {
 public:
  // Makes the dialog's template the current resources until destruction; the theme loader
  // (may be null) is attached to every button.
  explicit ButtonDialog(const ThemeLoader* loader);
  ~ButtonDialog() override;

  ThemedImageButton add;
  ThemedImageButton exit;
  ThemedImageButton iconOnly;
  int addClicks = 0;
  std::function<void()> onAddClicked;  // runs at each click of "&Add"
  int exitClicks = 0;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  BOOL OnInitDialog() override;

  DECLARE_MESSAGE_MAP()

 private:
  void onAdd() {
    ++addClicks;
    if (onAddClicked) onAddClicked();
  }
  void onExit() { ++exitClicks; }

  const ThemeLoader* loader;
  HINSTANCE previousResources;
};
