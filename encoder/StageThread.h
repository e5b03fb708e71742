#pragma once
#include <functional>
#include <thread>
// The threads of a conversion, each named for its stage so that top and perf tell them apart.

namespace vidmora_encoder {

// Runs `work` on a new thread named `stage` (at most 15 characters, e.g. "decoding"); throws
// EncoderError "cannot start the <stage> thread: ..." when the system refuses one.
std::thread startStageThread(const char* stage, std::function<void()> work);

// The cores this process may run on (at least 1): those it is bound to, not all the
// machine has.
int availableCores();

}  // namespace vidmora_encoder
