#pragma once
#include "encoder/EncoderArguments.h"

namespace vidmora_encoder {

// Exit status of a failed probe or conversion.
inline constexpr int kFailureExitStatus = 1;

// The whole encoder program for `role`: parses the arguments, runs the probe or conversion
// and returns the exit status; every failure is reported as one line on standard error.
int runEncoderProgram(EncoderRole role, int argc, char** argv);

}  // namespace vidmora_encoder
