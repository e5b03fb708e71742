#pragma once
#include <stdexcept>
#include <string>

namespace vidmora_encoder {

// A failure the user sees as the encoder's one line of explanation; the run exits non-zero.
class EncoderError : public std::runtime_error {
 public:
  explicit EncoderError(const std::string& what) : std::runtime_error(what) {}
};

// Throws EncoderError("out of memory") when `code` says memory ran out.
void throwIfOutOfMemory(int code);
// Throws EncoderError("<what>: <FFmpeg's text for code>") when code is negative, and "out of
// memory" when memory ran out, whatever was being done.
void throwIfFailed(int code, const std::string& what);

}  // namespace vidmora_encoder
