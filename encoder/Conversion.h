#pragma once
#include "encoder/EncoderArguments.h"
// One conversion from start to finish: source opened, decoding on its own thread, video and
// audio encoded into the temporary output, which becomes the target only when complete.

namespace vidmora_encoder {

// Exit status of a conversion that a stop request cut short; the shorter output is kept.
inline constexpr int kStoppedExitStatus = 3;

// Runs the conversion the arguments describe, writing progress lines; returns 0 for a
// complete output or kStoppedExitStatus; throws EncoderError for every failure, the target
// left as it was.
int runConversion(const EncoderArguments& request);

}  // namespace vidmora_encoder
