#include "encoder/FrameQueue.h"

namespace vidmora_encoder {

bool FrameQueue::push(DecodedFrame item) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return cancelled_ || items_.size() < capacity_; });
  if (cancelled_) return false;
  items_.push_back(std::move(item));
  changed_.notify_all();
  return true;
}

void FrameQueue::finish() {
  std::lock_guard lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

std::optional<DecodedFrame> FrameQueue::pop() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return finished_ || !items_.empty(); });
  if (items_.empty()) return std::nullopt;
  DecodedFrame item = std::move(items_.front());
  items_.pop_front();
  changed_.notify_all();
  return item;
}

void FrameQueue::cancel() {
  std::lock_guard lock(mutex_);
  cancelled_ = true;
  items_.clear();
  changed_.notify_all();
}

}  // namespace vidmora_encoder
