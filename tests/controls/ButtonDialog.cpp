#include "tests/controls/ButtonDialog.h"

#include "platform/WinStyles.h"
#include "res/ButtonIcons.h"

namespace {

constexpr DWORD Child = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
const DialogItemTemplate items[] = {
    {1000, WC_BUTTON, "&Add", Child | BS_PUSHBUTTON, 0, 5, 6, 56, 18},
    {1001, WC_BUTTON, "E&xit", Child | BS_PUSHBUTTON, 0, 63, 6, 56, 18},
    {1002, WC_BUTTON, "", Child | BS_PUSHBUTTON, 0, 121, 6, 30, 18},
    {1003, WC_EDIT, "", Child | WS_BORDER, 0, 5, 30, 100, 14},
};
const DialogTemplate buttonTemplate{
    500, "Buttons", WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 200, 60, "MS Sans Serif", 8,
    items};
const DialogTemplate* const dialogs[] = {&buttonTemplate};
const ResourceTable resources{dialogs, {}};

}  // namespace

const MessageMap* ButtonDialog::GetThisMessageMap() {
  static const MessageMap map{CDialog::GetThisMessageMap(), {
      ON_BN_CLICKED(1000, &ButtonDialog::onAdd),
      ON_BN_CLICKED(1001, &ButtonDialog::onExit),
  }};
  return &map;
}

ButtonDialog::ButtonDialog(const ThemeLoader* themeLoader)
    : CDialog(500), loader(themeLoader), previousResources(AfxGetResourceHandle()) {
  AfxSetResourceHandle(&resources);
  RegisterButtonIcons();
}

ButtonDialog::~ButtonDialog() {
  if (m_hWnd != nullptr) EndDialog(IDCANCEL);
  AfxSetResourceHandle(previousResources);
}

void ButtonDialog::DoDataExchange(CDataExchange* exchange) {
  CDialog::DoDataExchange(exchange);
  DDX_Control(exchange, 1000, add);
  DDX_Control(exchange, 1001, exit);
  DDX_Control(exchange, 1002, iconOnly);
}

BOOL ButtonDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  add.assignIcons(137, 0);
  iconOnly.assignIcons(146, 0);
  for (ThemedImageButton* button : {&add, &exit, &iconOnly}) {
    button->setFlatLook(false, true);
    button->attachTheme(loader);
  }
  return TRUE;
}
