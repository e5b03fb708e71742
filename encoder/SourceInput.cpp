#include "encoder/SourceInput.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "encoder/EncoderError.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

namespace {

// How long a wait for data lasts before it looks for a stop again. A stop usually interrupts
// the wait at once; this bounds the case where the signal went to another thread.
constexpr int kWaitMilliseconds = 20;

void throwIfStopped() {
  if (stopRequested()) throw StoppedEarly();
}

}  // namespace

SourceInput::SourceInput(const std::string& path) : sourcePath(path) {
  throwIfStopped();
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer, deaf to a stop.
  file.reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!file.valid()) throw EncoderError("cannot read " + path + ": " + std::strerror(errno));
  struct stat status {};
  if (::fstat(file.get(), &status) != 0)
    throw EncoderError("cannot read " + path + ": " + std::strerror(errno));
  if (S_ISDIR(status.st_mode)) throw EncoderError("cannot read " + path + ": it is a folder");
  regular = S_ISREG(status.st_mode);
  if (regular) {
    openedSize = status.st_size;
    openedChange = status.st_mtim;
  }
}

ssize_t SourceInput::readAt(int64_t offset, uint8_t* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    throwIfStopped();
    const ssize_t got = ::pread(file.get(), buffer + done, count - done, offset + done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -errno;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  readBytes.fetch_add(static_cast<int64_t>(done), std::memory_order_relaxed);
  return static_cast<ssize_t>(done);
}

ssize_t SourceInput::readNext(uint8_t* buffer, std::size_t count) {
  for (;;) {
    throwIfStopped();
    struct pollfd ready = {file.get(), POLLIN, 0};
    const int polled = ::poll(&ready, 1, kWaitMilliseconds);
    if (polled < 0 && errno != EINTR) return -errno;
    if (polled <= 0) continue;
    const ssize_t got = ::read(file.get(), buffer, count);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got < 0) return -errno;
    readBytes.fetch_add(got, std::memory_order_relaxed);
    return got;
  }
}

bool SourceInput::changedSinceOpening() const {
  if (!regular) return false;
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) return true;
  return status.st_size != openedSize || status.st_mtim.tv_sec != openedChange.tv_sec ||
         status.st_mtim.tv_nsec != openedChange.tv_nsec;
}

}  // namespace vidmora_encoder
