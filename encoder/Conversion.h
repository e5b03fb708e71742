#pragma once
#include "encoder/EncoderArguments.h"
// One conversion from start to finish: target examined, source opened, decoded on one
// thread, video and audio encoded on one thread each into the output file, which takes the
// target's name only when complete, or when stopped at a target that was free.

namespace vidmora_encoder {

// Exit status of a conversion that a stop request cut short.
inline constexpr int kStoppedExitStatus = 3;

// Runs the conversion the arguments describe, writing progress lines; returns 0 for a
// complete output or kStoppedExitStatus; throws EncoderError for every failure (StoppedEarly
// for a stop before the source was open), the target left as it was.
int runConversion(const EncoderArguments& request);

}  // namespace vidmora_encoder
