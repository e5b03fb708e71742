#include "platform/MessageQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/WindowCalls.h"
#include "platform/qt/PostedMessages.h"

namespace {
struct PostedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

const QEvent::Type kDeliverPosted = static_cast<QEvent::Type>(QEvent::registerEventType());

std::mutex queueMutex;
std::vector<PostedMessage> queue;  // guarded by queueMutex
bool wakeQueued = false;           // guarded by queueMutex
std::atomic<QObject*> dispatcher{nullptr};

// Lives on the user-interface thread; each wake-up event delivers everything queued.
class Dispatcher : public QObject {
 protected:
  bool event(QEvent* event) override {
    if (event->type() != kDeliverPosted) return QObject::event(event);
    std::vector<PostedMessage> batch;
    {
      std::lock_guard lock(queueMutex);
      batch.swap(queue);
      wakeQueued = false;
    }
    // Delivered without the lock: a handler may post again.
    for (const PostedMessage& posted : batch)
      if (IsWindow(posted.window)) SendMessage(posted.window, posted.message, posted.wParam, posted.lParam);
    return true;
  }
};

void Wake(QObject* target) { QCoreApplication::postEvent(target, new QEvent(kDeliverPosted)); }
}  // namespace

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool wake = false;
  {
    std::lock_guard lock(queueMutex);
    queue.push_back({window, message, wParam, lParam});
    wake = !wakeQueued;
    wakeQueued = true;
  }
  if (QObject* target = dispatcher.load(); wake && target != nullptr) Wake(target);
  return TRUE;
}

void PumpWaitingMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void StartPostedMessageDelivery() {
  if (dispatcher.load() != nullptr) return;
  dispatcher.store(new Dispatcher);
  std::lock_guard lock(queueMutex);
  if (!queue.empty()) {
    wakeQueued = true;
    Wake(dispatcher.load());
  }
}

void StopPostedMessageDelivery() {
  delete dispatcher.exchange(nullptr);
  std::lock_guard lock(queueMutex);
  queue.clear();
  wakeQueued = false;
}
