#include "batch/NotificationQueue.h"

#include <sys/eventfd.h>

#include <cerrno>

NotificationQueue::NotificationQueue() : event(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void NotificationQueue::post(const SlotNotification& notification) {
  const std::lock_guard<std::mutex> guard(lock);
  waiting.push_back(notification);
  const std::uint64_t one = 1;
  while (write(event.get(), &one, sizeof one) < 0 && errno == EINTR) {
  }
}

std::vector<SlotNotification> NotificationQueue::takeAll() {
  const std::lock_guard<std::mutex> guard(lock);
  std::uint64_t count = 0;
  while (read(event.get(), &count, sizeof count) < 0 && errno == EINTR) {
  }
  return std::exchange(waiting, {});
}
