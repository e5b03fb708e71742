#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/UniqueFd.h"
// The source, opened once and read only through its descriptor. Nothing here blocks past a
// stop: the open never waits (a FIFO without a writer is waited for by the reads, which look
// for a stop every few milliseconds), and every read checks for one first. The size and time
// of change are noted at the open, so that a source that changes while it converts can be
// told from one that did not. The bytes read are counted.

namespace vidmora_encoder {

class SourceInput {
 public:
  // Opens `path` for reading; throws EncoderError when it cannot be read (missing, no
  // permission, a folder) and StoppedEarly at a stop.
  explicit SourceInput(const std::string& path);
  SourceInput(const SourceInput&) = delete;
  SourceInput& operator=(const SourceInput&) = delete;

  const std::string& path() const { return sourcePath; }
  // A regular file: it has a size, can be read anywhere and seeked in.
  bool seekable() const { return regular; }
  // The size at the open; 0 for what is not a regular file.
  int64_t size() const { return openedSize; }

  // Reads up to `count` bytes at `offset` of a regular file; fewer only at its end. Returns
  // the bytes read, or a negative errno value. Throws StoppedEarly at a stop.
  ssize_t readAt(int64_t offset, uint8_t* buffer, std::size_t count);
  // Reads up to `count` bytes of what is not a regular file, waiting for them; 0 at its end,
  // a negative errno value on failure. Throws StoppedEarly at a stop.
  ssize_t readNext(uint8_t* buffer, std::size_t count);

  // True when the file's size or time of change differs from what it was at the open (always
  // false for what is not a regular file).
  bool changedSinceOpening() const;
  // Bytes read so far, by every reader of this input.
  int64_t bytesRead() const { return readBytes.load(std::memory_order_relaxed); }

 private:
  std::string sourcePath;
  UniqueFd file;
  bool regular = false;
  int64_t openedSize = 0;
  struct timespec openedChange {};
  std::atomic<int64_t> readBytes{0};
};

}  // namespace vidmora_encoder
