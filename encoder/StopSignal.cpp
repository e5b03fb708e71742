#include "encoder/StopSignal.h"

#include <atomic>
#include <csignal>

namespace vidmora_encoder {

namespace {
std::atomic<bool> stopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onTerminate(int) { requestStop(); }
}  // namespace

void installStopSignal() {
  struct sigaction action = {};
  action.sa_handler = onTerminate;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

bool stopRequested() { return stopFlag.load(std::memory_order_relaxed); }

void requestStop() { stopFlag.store(true, std::memory_order_relaxed); }

}  // namespace vidmora_encoder
