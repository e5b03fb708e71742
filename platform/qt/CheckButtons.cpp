#include "platform/qt/CheckButtons.h"

#include <QKeyEvent>
#include <algorithm>

#include "platform/DialogButtons.h"
#include "platform/WinStyles.h"
#include "platform/WindowCalls.h"
#include "platform/qt/WindowObject.h"

namespace {
DWORD ButtonType(HWND window) {
  return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & BS_TYPEMASK;
}

HWND HandleOf(const QWidget* widget) {
  WindowObject* window = WindowOfWidget(widget);
  return window == nullptr ? nullptr : window->handle;
}
}  // namespace

std::vector<HWND> DialogGroupMembers(HWND control) {
  WindowObject* dialog = FindWindowObject(GetParent(control));
  if (dialog == nullptr) return {};
  const std::vector<HWND>& children = dialog->children;
  const auto at = std::find(children.begin(), children.end(), control);
  if (at == children.end()) return {};
  const auto starts = [](HWND child) {
    return (static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)) & WS_GROUP) != 0;
  };
  auto first = at;
  while (first != children.begin() && !starts(*first)) --first;
  const auto end = std::find_if(at + 1, children.end(), starts);
  return {first, end};
}

void CheckBoxWidget::nextCheckState() {
  if (ButtonType(HandleOf(this)) == BS_AUTOCHECKBOX) QCheckBox::nextCheckState();
}

RadioButtonWidget::RadioButtonWidget(const QString& text, QWidget* parent)
    : QRadioButton(text, parent) {
  setAutoExclusive(false);
}

void RadioButtonWidget::nextCheckState() {
  const HWND self = HandleOf(this);
  if (ButtonType(self) != BS_AUTORADIOBUTTON) return;
  for (HWND member : DialogGroupMembers(self))
    if (member != self && ButtonType(member) == BS_AUTORADIOBUTTON)
      SendMessage(member, BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessage(self, BM_SETCHECK, BST_CHECKED, 0);
}

void RadioButtonWidget::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Left && key != Qt::Key_Right) {
    QRadioButton::keyPressEvent(event);
    return;
  }
  event->accept();
  const HWND self = HandleOf(this);
  const BOOL previous = key == Qt::Key_Up || key == Qt::Key_Left;
  const HWND next = GetNextDlgGroupItem(GetParent(self), self, previous);
  if (next == nullptr || next == self) return;
  ::SetFocus(next);
  if (ButtonType(next) == BS_AUTORADIOBUTTON && !SendMessage(next, BM_GETCHECK, 0, 0))
    SendMessage(next, BM_CLICK, 0, 0);
}
