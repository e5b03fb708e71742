#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

#include "encoder/FfmpegPointers.h"
// The hand-over of decoded frames from the decoding thread to the encoding thread; bounded,
// so decoding never runs far ahead of encoding.

namespace vidmora_encoder {

struct DecodedFrame {
  AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
  FramePtr frame;
  double seconds = 0;   // presentation time from the source's start
  double duration = 0;  // seconds the frame lasts
};

class FrameQueue {
 public:
  explicit FrameQueue(std::size_t capacity) : capacity_(capacity) {}

  // Producer: waits while the queue is full; false (and the frame dropped) once cancelled.
  bool push(DecodedFrame item);
  // Producer: no more frames will come.
  void finish();
  // Consumer: the next frame, waiting for one; nothing once finished and drained.
  std::optional<DecodedFrame> pop();
  // Consumer: gives up; a waiting or later push returns false at once.
  void cancel();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<DecodedFrame> items_;
  std::size_t capacity_;
  bool finished_ = false;
  bool cancelled_ = false;
};

}  // namespace vidmora_encoder
