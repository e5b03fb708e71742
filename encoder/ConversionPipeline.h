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
// the decoder each keep a core busy; and any jobs of their own (workers that decode and
// encode stretches of the video). Frames move from the decoder to the takers; a stop request
// or a failure drops what is queued and ends every thread.

namespace vidmora_encoder {

class ConversionPipeline {
 public:
  // Takes one decoded frame; runs on the thread of its kind. Whatever it throws ends the run.
  using Taker = std::function<void(DecodedFrame)>;

  // Work on a thread of its own, which returns once done or at a stop request; `cancel`
  // makes it return soon, from any thread. Whatever it throws ends the run.
  struct Job {
    const char* stage;
    std::function<void()> work;
    std::function<void()> cancel;
  };

  // A taker for each kind `source` decodes (nullptr for a kind it has no decoder of), and
  // jobs beside them.
  ConversionPipeline(SourceDecoder& source, Taker video, Taker audio, std::vector<Job> jobs = {});
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
  // Runs `work` on a new thread counted in `running`, its failure kept.
  void launch(const char* stage, std::function<void()> work);
  // Ends the decoder and every job early.
  void cancelAll();
  void endThreads();

  SourceDecoder& decoder;
  Taker videoTaker;
  Taker audioTaker;
  std::vector<Job> jobs;
  std::vector<std::thread> threads;
  std::mutex mutex;
  std::condition_variable ended;
  int running = 0;
  std::exception_ptr failure;
  std::atomic<bool> took{false};
};

}  // namespace vidmora_encoder
