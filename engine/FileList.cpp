#include "engine/FileList.h"

#include <cstdio>
#include <limits>

int leadingSeconds(const std::string& text) {
  long long seconds = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    seconds = seconds * 10 + (c - '0');
    if (seconds > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  }
  return static_cast<int>(seconds);
}

std::string FormatDuration(int seconds) {
  if (seconds < 0) seconds = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds % 3600 / 60,
                seconds % 60);
  return text;
}
