#include "platform/Resources.h"

namespace {
HINSTANCE currentResources = nullptr;
}  // namespace

void AfxSetResourceHandle(HINSTANCE resources) { currentResources = resources; }

HINSTANCE AfxGetResourceHandle() { return currentResources; }

const DialogTemplate* FindDialogTemplate(HINSTANCE resources, int id) {
  if (resources == nullptr) return nullptr;
  for (const DialogTemplate* dialog : resources->dialogs)
    if (dialog->id == id) return dialog;
  return nullptr;
}

std::string LoadStringA(HINSTANCE resources, UINT id) {
  if (resources == nullptr) return {};
  for (const StringResource& string : resources->strings)
    if (string.id == static_cast<int>(id)) return string.text;
  return {};
}
