#include "encoder/FrameQueue.h"

#include <algorithm>

namespace vidmora_encoder {

FrameQueue::FrameQueue(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 2)), half_(capacity_ / 2) {}

bool FrameQueue::push(DecodedFrame item) {
  std::unique_lock lock(mutex_);
  if (items_.size() >= capacity_)
    drained_.wait(lock, [&] { return cancelled_ || items_.size() <= half_; });
  if (cancelled_) return false;
  items_.push_back(std::move(item));
  if (items_.size() == half_) queued_.notify_one();
  return true;
}

void FrameQueue::finish() {
  std::lock_guard lock(mutex_);
  finished_ = true;
  queued_.notify_all();
}

std::optional<DecodedFrame> FrameQueue::pop() {
  std::unique_lock lock(mutex_);
  if (items_.empty())
    queued_.wait(lock, [&] { return cancelled_ || finished_ || items_.size() >= half_; });
  if (cancelled_ || items_.empty()) return std::nullopt;
  DecodedFrame item = std::move(items_.front());
  items_.pop_front();
  if (items_.size() == half_) drained_.notify_one();
  return item;
}

void FrameQueue::cancel() {
  std::deque<DecodedFrame> dropped;
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    dropped.swap(items_);
    queued_.notify_all();
    drained_.notify_all();
  }
}

}  // namespace vidmora_encoder
