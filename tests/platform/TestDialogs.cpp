#include "TestDialogs.h"

#include "platform/DropFiles.h"
#include "platform/Resources.h"
#include "platform/WinStyles.h"

namespace {
constexpr DialogItemTemplate kItems[] = {
    {kEditId, WC_EDIT, "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 5, 5, 100, 14},
    {kFirstButtonId, WC_BUTTON, "&First", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 5, 25, 50, 14},
    {kSecondButtonId, WC_BUTTON, "&Second", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 60, 25, 50, 14},
    {kNotifyStaticId, WC_STATIC, "link", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 5, 45, 40, 8},
    {kListId, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT, 0, 5, 60, 150, 60},
    {kProgressId, PROGRESS_CLASS, "", WS_CHILD | WS_VISIBLE, WS_EX_STATICEDGE, 5, 125, 150, 9},
};
constexpr DialogTemplate kTestDialog{kTestDialogId, "Test", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                                     0, 0, 0, 200, 140, "MS Sans Serif", 8, kItems};
const DialogTemplate* const kDialogs[] = {&kTestDialog};
const ResourceTable kResources{kDialogs, {}};
}  // namespace

void UseTestResources() { AfxSetResourceHandle(&kResources); }

const MessageMap* RecordingButton::GetThisMessageMap() {
  static const MessageMap map{CButton::GetThisMessageMap(), {
      ON_CONTROL_REFLECT_EX(BN_CLICKED, &RecordingButton::OnReflectedClick),
  }};
  return &map;
}

BOOL RecordingButton::OnReflectedClick() {
  ++reflectedClicks;
  return swallowClicks;
}

const MessageMap* TestDialog::GetThisMessageMap() {
  static const MessageMap map{CDialog::GetThisMessageMap(), {
      ON_BN_CLICKED(kFirstButtonId, &TestDialog::OnFirst),
      ON_BN_CLICKED(kSecondButtonId, &TestDialog::OnSecond),
      ON_CONTROL(STN_CLICKED, kNotifyStaticId, &TestDialog::OnStaticClicked),
      ON_WM_SIZE(&TestDialog::OnSize),
      ON_MESSAGE(WM_TEST_NOTIFY, &TestDialog::OnTestNotify),
      ON_WM_DROPFILES(&TestDialog::OnDropFiles),
  }};
  return &map;
}

BOOL TestDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  events.push_back("init");
  if (onInit) onInit(*this);
  return TRUE;
}

void TestDialog::DoDataExchange(CDataExchange* exchange) {
  DDX_Control(exchange, kFirstButtonId, first);
  DDX_Control(exchange, kEditId, edit);
}

void TestDialog::OnOK() {
  events.push_back("ok");
  CDialog::OnOK();
}

void TestDialog::OnCancel() {
  events.push_back("cancel");
  CDialog::OnCancel();
}

void TestDialog::OnFirst() { events.push_back("first"); }
void TestDialog::OnSecond() { events.push_back("second"); }
void TestDialog::OnStaticClicked() { events.push_back("static"); }
void TestDialog::OnSize(UINT, int cx, int cy) {
  events.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
}

void TestDialog::OnDropFiles(HDROP drop) {
  char path[4096];
  for (UINT index = 0; index < DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); ++index) {
    DragQueryFileA(drop, index, path, sizeof path);
    events.push_back(std::string("drop ") + path);
  }
  DragFinish(drop);
}

LRESULT TestDialog::OnTestNotify(WPARAM, LPARAM lParam) {
  notifications.push_back(lParam);
  if (onNotify) onNotify(lParam);
  if (endOnNotify != 0) EndDialog(endOnNotify);
  return 1;
}
