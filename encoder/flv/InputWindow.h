#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "encoder/SourceInput.h"
// Buffered reads of the source for the tag walk, which reads a few bytes of each tag and then
// its data, tags lying close together. A regular file is read in blocks anywhere (also
// backward, for the steps back from its end); a stream (a pipe) is read forward only, each
// byte once, and the window keeps what it has read until it is let go.

namespace vidmora_encoder::flv {

class InputWindow {
 public:
  // Reads `input`, which must outlive it, in blocks of `blockBytes`.
  InputWindow(SourceInput& input, std::size_t blockBytes);

  // The `count` bytes at `offset` (fewer where the source ends: see `available`), or nullptr
  // when it ends at or before `offset`, cannot be read there, or is a stream already read
  // past `offset`. A read going backward fills the window up to the bytes asked for, one
  // going forward from them. Throws StoppedEarly at a stop.
  const uint8_t* at(int64_t offset, std::size_t count, bool backward = false);
  // How many of the bytes from `offset` the window holds after `at(offset, ...)`.
  int64_t available(int64_t offset) const { return start + static_cast<int64_t>(held) - offset; }
  // A stream may forget the bytes before `offset`: nothing before it is asked for again.
  void release(int64_t offset);

  // The source's size: for a stream, as far as it is known to go.
  int64_t size() const { return input.seekable() ? input.size() : INT64_MAX; }
  SourceInput& source() const { return input; }

 private:
  // A stream's window: reads on at its end until it holds `end`, or the stream ends.
  void fillTo(int64_t end);

  SourceInput& input;
  std::size_t block;
  std::vector<uint8_t> buffer;
  int64_t start = 0;     // offset of buffer[0]
  std::size_t held = 0;  // bytes of the buffer that hold the source
  bool streamEnded = false;
};

}  // namespace vidmora_encoder::flv
