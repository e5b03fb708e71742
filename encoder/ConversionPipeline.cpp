#include "encoder/ConversionPipeline.h"

#include "encoder/StageThread.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

ConversionPipeline::ConversionPipeline(SourceDecoder& decoder, Taker video, Taker audio)
    : decoder_(decoder), video_(std::move(video)), audio_(std::move(audio)) {}

ConversionPipeline::~ConversionPipeline() { endThreads(); }

void ConversionPipeline::endThreads() {
  decoder_.stop();
  for (std::thread& thread : threads_)
    if (thread.joinable()) thread.join();
}

void ConversionPipeline::take(AVMediaType type, const Taker& taker) {
  try {
    while (auto frame = decoder_.next(type)) {
      took_ = true;
      taker(std::move(*frame));
    }
  } catch (...) {
    std::lock_guard lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
  }
  std::lock_guard lock(mutex_);
  --running_;
  ended_.notify_all();
}

void ConversionPipeline::run(const std::function<void()>& tick,
                             std::chrono::milliseconds interval) {
  decoder_.start();
  const struct {
    const char* stage;
    AVMediaType type;
    const Taker* taker;
  } kinds[] = {{"video encoding", AVMEDIA_TYPE_VIDEO, &video_},
               {"audio encoding", AVMEDIA_TYPE_AUDIO, &audio_}};
  for (const auto& kind : kinds) {
    if (!*kind.taker) continue;
    {
      std::lock_guard lock(mutex_);
      ++running_;
    }
    try {
      threads_.push_back(startStageThread(
          kind.stage, [this, type = kind.type, taker = kind.taker] { take(type, *taker); }));
    } catch (...) {
      std::lock_guard lock(mutex_);
      --running_;
      throw;
    }
  }
  bool cancelled = false;
  std::unique_lock lock(mutex_);
  while (running_ > 0) {
    ended_.wait_for(lock, interval);
    // A stop drops what is queued at once; a failure ends the others the same way.
    if (!cancelled && (stopRequested() || failure_)) {
      cancelled = true;
      lock.unlock();
      decoder_.stop();
      lock.lock();
    }
    lock.unlock();
    tick();
    lock.lock();
  }
  lock.unlock();
  endThreads();
  if (failure_) std::rethrow_exception(failure_);
  decoder_.rethrowFailure();
}

}  // namespace vidmora_encoder
