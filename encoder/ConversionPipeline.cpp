#include "encoder/ConversionPipeline.h"

#include "encoder/StageThread.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

ConversionPipeline::ConversionPipeline(SourceDecoder& source, Taker video, Taker audio,
                                       std::vector<Job> own)
    : decoder(source),
      videoTaker(std::move(video)),
      audioTaker(std::move(audio)),
      jobs(std::move(own)) {}

ConversionPipeline::~ConversionPipeline() { endThreads(); }

void ConversionPipeline::cancelAll() {
  decoder.stop();
  for (const Job& job : jobs) job.cancel();
}

void ConversionPipeline::endThreads() {
  cancelAll();
  for (std::thread& thread : threads)
    if (thread.joinable()) thread.join();
}

void ConversionPipeline::take(AVMediaType type, const Taker& taker) {
  while (auto frame = decoder.next(type)) {
    took = true;
    taker(std::move(*frame));
  }
}

void ConversionPipeline::launch(const char* stage, std::function<void()> work) {
  {
    std::lock_guard lock(mutex);
    ++running;
  }
  try {
    threads.push_back(startStageThread(stage, [this, work = std::move(work)] {
      try {
        work();
      } catch (...) {
        std::lock_guard lock(mutex);
        if (!failure) failure = std::current_exception();
      }
      std::lock_guard lock(mutex);
      --running;
      ended.notify_all();
    }));
  } catch (...) {
    std::lock_guard lock(mutex);
    --running;
    throw;
  }
}

void ConversionPipeline::run(const std::function<void()>& tick,
                             std::chrono::milliseconds interval) {
  decoder.start();
  if (videoTaker) launch("video encoding", [this] { take(AVMEDIA_TYPE_VIDEO, videoTaker); });
  if (audioTaker) launch("audio encoding", [this] { take(AVMEDIA_TYPE_AUDIO, audioTaker); });
  for (const Job& job : jobs) launch(job.stage, job.work);
  bool cancelled = false;
  std::unique_lock lock(mutex);
  while (running > 0) {
    ended.wait_for(lock, interval);
    // A stop drops what is queued at once; a failure ends the others the same way.
    if (!cancelled && (stopRequested() || failure)) {
      cancelled = true;
      lock.unlock();
      cancelAll();
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
