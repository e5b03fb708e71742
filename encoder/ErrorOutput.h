#pragma once
#include <string>

namespace vidmora_encoder {

// Writes `text` to standard error in one write call (repeated only for what a short write
// left), so that a reader of the pipe gets a line whole.
void writeStandardError(const std::string& text);

}  // namespace vidmora_encoder
