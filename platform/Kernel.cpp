#include "platform/Kernel.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

void Sleep(DWORD milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LRESULT CopyToBuffer(const std::string& text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const std::size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<LRESULT>(length);
}
