#include "platform/qt/DesktopServices.h"

#include <memory>

#include "platform/qt/LauncherEntry.h"
#include "platform/qt/NotificationArea.h"
#include "platform/qt/SleepInhibitor.h"

namespace {
template <typename Service>
std::unique_ptr<Service>& Instance() {
  static std::unique_ptr<Service> service;
  return service;
}

template <typename Service>
Service& Get() {
  std::unique_ptr<Service>& service = Instance<Service>();
  if (!service) service = std::make_unique<Service>();
  return *service;
}
}  // namespace

SleepInhibitor& DesktopSleepInhibitor() { return Get<SleepInhibitor>(); }
LauncherEntry& DesktopLauncherEntry() { return Get<LauncherEntry>(); }
NotificationArea& DesktopNotificationArea() { return Get<NotificationArea>(); }

void EndDesktopServices() {
  Instance<SleepInhibitor>().reset();
  Instance<LauncherEntry>().reset();
  Instance<NotificationArea>().reset();
}
