#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/UniqueFd.h"
#include "platform/WinHandles.h"

// One encoder notification (WM_ENCODER_NOTIFY's two values) and the conversion slot whose
// encoder posted it.
struct SlotNotification {
  std::size_t slot = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// The queue the encoders' reader threads post to and the batch's one thread takes from,
// with a descriptor that is readable while it holds anything, to wait on with poll.
class NotificationQueue {
 public:
  NotificationQueue();
  // Any thread.
  void post(const SlotNotification& notification);
  // Everything posted so far, in the order posted; the descriptor is not readable after.
  std::vector<SlotNotification> takeAll();
  int readableFd() const { return event.get(); }

 private:
  std::mutex lock;
  std::vector<SlotNotification> waiting;
  UniqueFd event;  // eventfd
};
