#include "process/EncoderOutputParser.h"

#include "encoder/contract/EncoderContract.h"
#include "platform/Numbers.h"

std::optional<std::string_view> timeFigureInChunk(std::string_view chunk) {
  const std::string_view marker = encoder_contract::kTimeMarker;
  const std::size_t start = chunk.find(marker);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t figure = start + marker.size();
  const std::size_t dot = chunk.find('.', figure);
  if (dot == std::string_view::npos) return std::nullopt;
  return chunk.substr(figure, dot - figure);
}

std::int32_t durationSeconds(std::string_view text) {
  const std::size_t start = text.find(encoder_contract::kDurationMarker);
  if (start == std::string_view::npos) return 0;
  const auto field = [&](std::size_t offset) -> std::int64_t {
    const std::size_t at = start + offset;
    return at < text.size() ? LeadingNumber(text.substr(at, 2)) : 0;
  };
  // Each field is two characters, so the sum stays far inside 32 bits.
  return static_cast<std::int32_t>(field(10) * 3600 + field(13) * 60 + field(16));
}
