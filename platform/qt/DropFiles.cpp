#include "platform/DropFiles.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Kernel.h"
#include "platform/WinStyles.h"
#include "platform/qt/ClassProcedures.h"
#include "platform/qt/FileDrops.h"
#include "platform/qt/WindowObject.h"

namespace {
struct Drop {
  HWND window;
  std::vector<std::string> paths;
};
// The live drops, on the user-interface thread.
std::map<HDROP, Drop>& Drops() {
  static std::map<HDROP, Drop> drops;
  return drops;
}
std::uintptr_t lastDrop = 0;
}  // namespace

HDROP NewDrop(HWND window, std::vector<std::string> paths) {
  const auto drop = reinterpret_cast<HDROP>(++lastDrop);
  Drops().emplace(drop, Drop{window, std::move(paths)});
  return drop;
}

void ReleaseDropsOf(HWND window) {
  std::erase_if(Drops(), [window](const auto& entry) { return entry.second.window == window; });
}

void DragAcceptFiles(HWND window, BOOL accept) {
  WindowObject* object = FindWindowObject(window);
  if (object == nullptr) return;
  if (accept) object->exStyle |= WS_EX_ACCEPTFILES;
  else object->exStyle &= ~WS_EX_ACCEPTFILES;
  if (object->widget) object->widget->setAcceptDrops(accept);
}

UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size) {
  const auto found = Drops().find(drop);
  if (found == Drops().end()) return 0;
  const std::vector<std::string>& paths = found->second.paths;
  if (index == 0xFFFFFFFF) return static_cast<UINT>(paths.size());
  if (index >= paths.size()) return 0;
  if (buffer == nullptr) return static_cast<UINT>(paths[index].size());
  return static_cast<UINT>(CopyToBuffer(paths[index], buffer, size));
}

void DragFinish(HDROP drop) { Drops().erase(drop); }
