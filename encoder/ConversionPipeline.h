#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "encoder/SourceDecoder.h"
// A conversion's threads: the source demuxed and decoded on one, its video frames taken on
// a second and its audio frames on a third, so that the video encoder, the audio encoder and
// the decoder each keep a core busy. Frames move from the decoder to the takers; a stop
// request or a failure drops what is queued and ends every thread.

namespace vidmora_encoder {

class ConversionPipeline {
 public:
  // Takes one decoded frame; runs on the thread of its kind. Whatever it throws ends the run.
  using Taker = std::function<void(DecodedFrame)>;

  // A taker for each kind `source` decodes (nullptr for a kind it has no decoder of).
  ConversionPipeline(SourceDecoder& source, Taker video, Taker audio);
  // Stops the decoder and waits for every thread.
  ~ConversionPipeline();
  ConversionPipeline(const ConversionPipeline&) = delete;
  ConversionPipeline& operator=(const ConversionPipeline&) = delete;

  // Starts the threads and returns once every frame was taken, or, at a stop request, once
  // every thread has ended; calls `tick` on this thread about every `interval` meanwhile.
  // Rethrows the first failure of a taker or of the decoding thread, after all have ended;
  // throws EncoderError when a thread cannot start.
  void run(const std::function<void()>& tick,
           std::chrono::milliseconds interval = std::chrono::milliseconds(20));

  // Whether any frame reached a taker.
  bool tookAnyFrame() const { return took.load(); }

 private:
  void take(AVMediaType type, const Taker& taker);
  void endThreads();

  SourceDecoder& decoder;
  Taker videoTaker;
  Taker audioTaker;
  std::vector<std::thread> threads;
  std::mutex mutex;
  std::condition_variable ended;
  int running = 0;
  std::exception_ptr failure;
  std::atomic<bool> took{false};
};

}  // namespace vidmora_encoder
