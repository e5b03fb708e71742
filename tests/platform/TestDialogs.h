#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/Button.h"
#include "platform/Dialog.h"
#include "platform/Edit.h"
#include "platform/ListCtrl.h"
#include "platform/ProgressCtrl.h"
#include "platform/Static.h"
// A small dialog template and a dialog that records what reaches its message table.

constexpr int kTestDialogId = 500;
constexpr int kEditId = 10;
constexpr int kFirstButtonId = 11;
constexpr int kSecondButtonId = 12;
constexpr int kNotifyStaticId = 13;
constexpr int kListId = 14;
constexpr int kProgressId = 15;
constexpr UINT WM_TEST_NOTIFY = WM_USER + 200;

// Makes the test templates the current resources.
void UseTestResources();

// A button that keeps its clicks from the parent when told to, and counts what it saw.
class RecordingButton : public CButton {
 public:
  bool swallowClicks = false;
  int reflectedClicks = 0;
  int drawItems = 0;
  void DrawItem(DRAWITEMSTRUCT*) override { ++drawItems; }

  DECLARE_MESSAGE_MAP()

 private:
  BOOL OnReflectedClick();
};

class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(kTestDialogId) {}

  std::vector<std::string> events;  // what the table handled, in order ("drop PATH" per file)
  std::vector<LPARAM> notifications;
  int endOnNotify = 0;  // EndDialog with this result at the first WM_TEST_NOTIFY
  std::function<void(TestDialog&)> onInit;      // run at the end of WM_INITDIALOG
  std::function<void(LPARAM)> onNotify;         // run after recording a WM_TEST_NOTIFY
  RecordingButton first;
  CEdit edit;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void DoDataExchange(CDataExchange* exchange) override;

  DECLARE_MESSAGE_MAP()

 private:
  void OnFirst();
  void OnSecond();
  void OnStaticClicked();
  void OnSize(UINT type, int cx, int cy);
  void OnDropFiles(HDROP drop);
  LRESULT OnTestNotify(WPARAM wParam, LPARAM lParam);
};
