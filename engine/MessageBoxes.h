#pragma once
#include <string>

// The message boxes the probe and the batch show: modal, with an OK button, with or without
// the information icon.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void showMessage(const std::string& text, const std::string& caption,
                           bool informationIcon) = 0;
};
