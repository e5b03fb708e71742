#include "process/EncoderOutputParser.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "encoder/contract/EncoderContract.h"

std::optional<std::string_view> timeFigureInChunk(std::string_view chunk) {
  const std::string_view marker = encoder_contract::kTimeMarker;
  const std::size_t start = chunk.find(marker);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t figure = start + marker.size();
  const std::size_t dot = chunk.find('.', figure);
  if (dot == std::string_view::npos) return std::nullopt;
  return chunk.substr(figure, dot - figure);
}

std::int32_t decimalNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min(value * 10 + (text[i] - '0'), limit + 1);
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(std::min(value, limit));
}

std::int32_t durationSeconds(std::string_view text) {
  const std::size_t start = text.find(encoder_contract::kDurationMarker);
  if (start == std::string_view::npos) return 0;
  const auto field = [&](std::size_t offset) -> std::int64_t {
    const std::size_t at = start + offset;
    return at < text.size() ? decimalNumber(text.substr(at, 2)) : 0;
  };
  // Each field is two characters, so the sum stays far inside 32 bits.
  return static_cast<std::int32_t>(field(10) * 3600 + field(13) * 60 + field(16));
}

std::size_t appendCapture(char* capture, std::size_t capacity, std::size_t length,
                          std::string_view chunk) {
  const std::size_t room = capacity - 1 - length;
  const std::size_t taken = std::min(room, chunk.size());
  std::memcpy(capture + length, chunk.data(), taken);
  capture[length + taken] = '\0';
  return length + taken;
}
