#pragma once
#include <span>
#include <string>

#include "platform/DialogTemplate.h"
#include "platform/WinHandles.h"
// The program's resources, found by id through a resource handle.

struct StringResource {
  int id;
  const char* text;
};

struct ResourceTable {
  std::span<const DialogTemplate* const> dialogs;
  std::span<const StringResource> strings;
};

// The handle that dialogs and LoadStringA look their resources up in; null until set.
void AfxSetResourceHandle(HINSTANCE resources);
HINSTANCE AfxGetResourceHandle();

// The dialog template with this id, or null.
const DialogTemplate* FindDialogTemplate(HINSTANCE resources, int id);
// The string resource with this id; empty when there is none.
std::string LoadStringA(HINSTANCE resources, UINT id);
