#pragma once
#include <QCheckBox>
#include <QRadioButton>
#include <vector>

#include "platform/WinHandles.h"
// Check boxes and radio buttons that follow their button type instead of the toolkit: a
// click toggles an auto check box (BS_AUTOCHECKBOX) and checks an auto radio button
// (BS_AUTORADIOBUTTON), unchecking the other auto radio buttons of its group; the plain
// types (BS_CHECKBOX, BS_RADIOBUTTON) leave their check to the program. Groups follow
// WS_GROUP, never the toolkit's parents.

class CheckBoxWidget : public QCheckBox {
 public:
  CheckBoxWidget(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

 protected:
  void nextCheckState() override;
};

class RadioButtonWidget : public QRadioButton {
 public:
  RadioButtonWidget(const QString& text, QWidget* parent);

 protected:
  void nextCheckState() override;
  // The arrow keys move the focus through the group, clicking an auto radio button reached.
  void keyPressEvent(QKeyEvent* event) override;
};

// Every control of `control`'s group in template order: from the nearest WS_GROUP control
// at or before it (or the dialog's first control) to the control before the next one.
std::vector<HWND> DialogGroupMembers(HWND control);
