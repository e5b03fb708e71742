#include "platform/qt/WindowObject.h"

#include <QEventLoop>
#include <unordered_map>

#include "platform/Gdi.h"
#include "platform/Wnd.h"
#include "platform/qt/FileDrops.h"
#include "platform/qt/MenuObject.h"

namespace {
// Handles are numbers counted up from 1 and never reused.
std::uintptr_t lastHandle = 0;
std::unordered_map<HWND, WindowObject*>& Registry() {
  static std::unordered_map<HWND, WindowObject*> registry;
  return registry;
}
constexpr const char* kHandleProperty = "vidmoraHwnd";
}  // namespace

WindowObject::WindowObject() = default;
WindowObject::~WindowObject() {
  if (ownsFont) DeleteObject(font);
}

HWND RegisterWindow(WindowObject& window) {
  window.handle = reinterpret_cast<HWND>(++lastHandle);
  Registry()[window.handle] = &window;
  if (window.widget)
    window.widget->setProperty(kHandleProperty,
                               QVariant::fromValue(reinterpret_cast<quintptr>(window.handle)));
  return window.handle;
}

void UnregisterWindow(WindowObject& window) {
  if (window.wnd != nullptr) window.wnd->UnsubclassWindow();
  ReleaseDropsOf(window.handle);
  Registry().erase(window.handle);
  if (window.widget) window.widget->setProperty(kHandleProperty, QVariant());
}

WindowObject* FindWindowObject(HWND handle) {
  const auto found = Registry().find(handle);
  return found == Registry().end() ? nullptr : found->second;
}

WindowObject* WindowOfWidget(const QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    const QVariant handle = widget->property(kHandleProperty);
    if (handle.isValid()) return FindWindowObject(reinterpret_cast<HWND>(handle.value<quintptr>()));
  }
  return nullptr;
}

WindowObject* DialogOf(WindowObject& window) {
  WindowObject* current = &window;
  while (current != nullptr && current->kind != WindowKind::Dialog)
    current = FindWindowObject(current->parent);
  return current;
}
