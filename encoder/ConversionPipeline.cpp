#include "encoder/ConversionPipeline.h"

#include "encoder/StageThread.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

ConversionPipeline::ConversionPipeline(SourceDecoder& source, Taker video, Taker audio)
    : decoder(source), videoTaker(std::move(video)), audioTaker(std::move(audio)) {}

ConversionPipeline::~ConversionPipeline() { endThreads(); }

void ConversionPipeline::endThreads() {
  decoder.stop();
  for (std::thread& thread : threads)
    if (thread.joinable()) thread.join();
}

void ConversionPipeline::take(AVMediaType type, const Taker& taker) {
  try {
    while (auto frame = decoder.next(type)) {
      took = true;
      taker(std::move(*frame));
    }
  } catch (...) {
    std::lock_guard lock(mutex);
    if (!failure) failure = std::current_exception();
  }
  std::lock_guard lock(mutex);
  --running;
  ended.notify_all();
}

void ConversionPipeline::run(const std::function<void()>& tick,
                             std::chrono::milliseconds interval) {
  decoder.start();
  const struct {
    const char* stage;
    AVMediaType type;
    const Taker* taker;
  } kinds[] = {{"video encoding", AVMEDIA_TYPE_VIDEO, &videoTaker},
               {"audio encoding", AVMEDIA_TYPE_AUDIO, &audioTaker}};
  for (const auto& kind : kinds) {
    if (!*kind.taker) continue;
    {
      std::lock_guard lock(mutex);
      ++running;
    }
    try {
      threads.push_back(startStageThread(
          kind.stage, [this, type = kind.type, taker = kind.taker] { take(type, *taker); }));
    } catch (...) {
      std::lock_guard lock(mutex);
      --running;
      throw;
    }
  }
  bool cancelled = false;
  std::unique_lock lock(mutex);
  while (running > 0) {
    ended.wait_for(lock, interval);
    // A stop drops what is queued at once; a failure ends the others the same way.
    if (!cancelled && (stopRequested() || failure)) {
      cancelled = true;
      lock.unlock();
      decoder.stop();
      lock.lock();
    }
    lock.unlock();
    tick();
    lock.lock();
  }
  lock.unlock();
  endThreads();
  if (failure) std::rethrow_exception(failure);
  decoder.rethrowFailure();
}

}  // namespace vidmora_encoder
