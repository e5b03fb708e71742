#include "encoder/FrameQueue.h"

#include <algorithm>

namespace vidmora_encoder {

FrameQueue::FrameQueue(std::size_t most)
    : capacity(std::max<std::size_t>(most, 2)), half(capacity / 2) {}

bool FrameQueue::push(DecodedFrame item) {
  std::unique_lock lock(mutex);
  if (items.size() >= capacity)
    drained.wait(lock, [&] { return cancelled || items.size() <= half; });
  if (cancelled) return false;
  items.push_back(std::move(item));
  if (items.size() == half) queued.notify_one();
  return true;
}

void FrameQueue::finish() {
  std::lock_guard lock(mutex);
  finished = true;
  queued.notify_all();
}

std::optional<DecodedFrame> FrameQueue::pop() {
  std::unique_lock lock(mutex);
  if (items.empty())
    queued.wait(lock, [&] { return cancelled || finished || items.size() >= half; });
  if (cancelled || items.empty()) return std::nullopt;
  DecodedFrame item = std::move(items.front());
  items.pop_front();
  if (items.size() == half) drained.notify_one();
  return item;
}

void FrameQueue::cancel() {
  std::deque<DecodedFrame> dropped;
  {
    std::lock_guard lock(mutex);
    cancelled = true;
    dropped.swap(items);
    queued.notify_all();
    drained.notify_all();
  }
}

}  // namespace vidmora_encoder
