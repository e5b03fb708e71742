#pragma once
#include <string>
#include <vector>

#include "platform/ModalHook.h"
// A modal hook that answers every call at once and records it; installed for its lifetime.
class RecordingHook : public ModalHook {
 public:
  struct ShellCall {
    std::string verb;
    std::string address;
    int showCommand;
  };

  RecordingHook() : previous(SetModalHook(this)) {}
  ~RecordingHook() override { SetModalHook(previous); }

  int messageBox(HWND, const std::string& text, const std::string&, UINT) override {
    messages.push_back(text);
    return IDOK;
  }
  bool shellOpen(const std::string& verb, const std::string& address, int show) override {
    shellCalls.push_back({verb, address, show});
    return true;
  }

  std::vector<std::string> messages;
  std::vector<ShellCall> shellCalls;

 private:
  ModalHook* previous;
};
