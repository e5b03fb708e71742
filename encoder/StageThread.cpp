#include "encoder/StageThread.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <string>
#include <system_error>

#include "encoder/EncoderError.h"

namespace vidmora_encoder {

std::thread startStageThread(const char* stage, std::function<void()> work) {
  try {
    return std::thread([stage, work = std::move(work)] {
      pthread_setname_np(pthread_self(), stage);
      work();
    });
  } catch (const std::system_error& error) {
    throw EncoderError(std::string("cannot start the ") + stage + " thread: " + error.what());
  }
}

int availableCores() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (sched_getaffinity(0, sizeof cores, &cores) != 0) return 1;
  return std::max(1, CPU_COUNT(&cores));
}

}  // namespace vidmora_encoder
