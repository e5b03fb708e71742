#include "platform/MessageQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <atomic>
#include <deque>
#include <mutex>

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
std::deque<PostedMessage> queue;  // guarded by queueMutex
bool wakeQueued = false;          // guarded by queueMutex
std::atomic<QObject*> dispatcher{nullptr};

void Wake(QObject* target) { QCoreApplication::postEvent(target, new QEvent(kDeliverPosted)); }

// Lives on the user-interface thread; each wake-up event delivers what is queued, oldest
// first, one message at a time. Before each delivery a wake-up is left pending for whatever
// is still queued: a handler that opens a modal loop then has the older messages delivered
// inside that loop, ahead of anything posted later, as the queue's order demands.
class Dispatcher : public QObject {
 protected:
  bool event(QEvent* event) override {
    if (event->type() != kDeliverPosted) return QObject::event(event);
    {
      std::lock_guard lock(queueMutex);
      wakeQueued = false;
    }
    for (;;) {
      PostedMessage posted;
      bool wakeForRest = false;
      {
        std::lock_guard lock(queueMutex);
        if (queue.empty()) return true;
        posted = queue.front();
        queue.pop_front();
        wakeForRest = !queue.empty() && !wakeQueued;
        if (wakeForRest) wakeQueued = true;
      }
      if (wakeForRest) Wake(this);
      // Delivered without the lock: a handler may post again.
      if (IsWindow(posted.window)) SendMessage(posted.window, posted.message, posted.wParam, posted.lParam);
    }
  }
};

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
