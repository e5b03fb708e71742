#include "encoder/flv/InputWindow.h"

#include <algorithm>
#include <cstring>

namespace vidmora_encoder::flv {

InputWindow::InputWindow(SourceInput& source, std::size_t blockBytes)
    : input(source), block(blockBytes) {}

const uint8_t* InputWindow::at(int64_t offset, std::size_t count, bool backward) {
  if (offset < 0) return nullptr;
  const int64_t wanted = offset + static_cast<int64_t>(count);
  if (!input.seekable()) {
    if (offset < start) return nullptr;
    fillTo(wanted);
    return offset < start + static_cast<int64_t>(held) ? buffer.data() + (offset - start) : nullptr;
  }
  if (offset >= input.size()) return nullptr;
  const int64_t end = std::min(wanted, input.size());
  if (offset < start || end > start + static_cast<int64_t>(held)) {
    const std::size_t length = std::max(block, count);
    buffer.resize(length);
    const int64_t from = backward ? std::max<int64_t>(0, end - static_cast<int64_t>(length)) : offset;
    const ssize_t got = input.readAt(from, buffer.data(), length);
    start = from;
    held = got > 0 ? static_cast<std::size_t>(got) : 0;
    if (offset >= start + static_cast<int64_t>(held)) return nullptr;
  }
  return buffer.data() + (offset - start);
}

void InputWindow::release(int64_t offset) {
  if (input.seekable() || offset <= start) return;
  const auto dropped = static_cast<std::size_t>(std::min<int64_t>(offset - start, static_cast<int64_t>(held)));
  std::memmove(buffer.data(), buffer.data() + dropped, held - dropped);
  held -= dropped;
  start += static_cast<int64_t>(dropped);
}

void InputWindow::fillTo(int64_t end) {
  while (!streamEnded && start + static_cast<int64_t>(held) < end) {
    const auto needed = static_cast<std::size_t>(end - start);
    if (buffer.size() < std::max(needed, held + block)) buffer.resize(std::max(needed, held + block));
    const ssize_t got = input.readNext(buffer.data() + held, buffer.size() - held);
    if (got <= 0) {
      streamEnded = true;  // the end, or a read error: the stream is over either way
      break;
    }
    held += static_cast<std::size_t>(got);
  }
}

}  // namespace vidmora_encoder::flv
