#include "encoder/ErrorOutput.h"

#include <unistd.h>

#include <cerrno>

namespace vidmora_encoder {

void writeStandardError(const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(STDERR_FILENO, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // nobody is listening: the run goes on regardless
    data += written;
    left -= static_cast<std::size_t>(written);
  }
}

}  // namespace vidmora_encoder
