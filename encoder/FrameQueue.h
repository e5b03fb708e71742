#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

#include "encoder/FfmpegPointers.h"
// The hand-over of decoded frames from the decoding thread to a stage's thread; bounded, so
// decoding never runs far ahead of encoding. Frames move through it; nothing is copied. Each
// side that has to wait is woken only once the other side has made room for, or queued, half
// the capacity, so that the threads take turns in batches rather than frame by frame.

namespace vidmora_encoder {

struct DecodedFrame {
  AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
  FramePtr frame;
  PacketPtr packet;     // instead of a frame, where the source's packets are copied as they are
  double seconds = 0;   // presentation time from the source's start
  double duration = 0;  // seconds the frame lasts
};

class FrameQueue {
 public:
  // A queue of at most `most` frames (at least 2).
  explicit FrameQueue(std::size_t most);

  // Producer: waits while the queue is full; false (and the frame dropped) once cancelled.
  bool push(DecodedFrame item);
  // Producer: no more frames will come.
  void finish();
  // Consumer: the next frame, waiting for one; nothing once finished and drained, or
  // cancelled.
  std::optional<DecodedFrame> pop();
  // Either side, or a third: drops the frames queued; every waiting and later push and pop
  // returns at once.
  void cancel();

 private:
  std::mutex mutex;
  std::condition_variable queued;   // the consumer waits on it
  std::condition_variable drained;  // the producer waits on it
  std::deque<DecodedFrame> items;
  std::size_t capacity;
  std::size_t half;
  bool finished = false;
  bool cancelled = false;
};

}  // namespace vidmora_encoder
