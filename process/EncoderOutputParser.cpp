#include "process/EncoderOutputParser.h"

#include <algorithm>

#include "encoder/contract/EncoderContract.h"
#include "platform/Numbers.h"

namespace {
// How the encoder's line about a failure begins.
constexpr std::string_view kErrorMarker = "error: ";
// The longest failure line kept, as much as the program keeps of the probe's text.
constexpr std::size_t kKeptLine = 2047;
}  // namespace

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

void FirstLineDuration::clear() {
  line.clear();
  ended = false;
}

std::optional<std::int32_t> FirstLineDuration::add(std::string_view chunk) {
  if (ended) return std::nullopt;
  const std::size_t end = chunk.find_first_of("\r\n");
  line.append(chunk.substr(0, std::min(end, kKeptLine - std::min(kKeptLine, line.size()))));
  if (end == std::string_view::npos) return std::nullopt;
  ended = true;
  // Only a line that begins with the marker: a first line that is an error names a path,
  // which may hold anything.
  const std::size_t blanks = std::min(line.size(), line.find_first_not_of(' '));
  const std::string_view text = std::string_view(line).substr(blanks);
  if (!text.starts_with(encoder_contract::kDurationMarker)) return 0;
  return durationSeconds(line);
}

void FailureLineFinder::clear() {
  current.clear();
  found.clear();
}

void FailureLineFinder::add(std::string_view chunk) {
  while (found.empty() && !chunk.empty()) {
    const std::size_t end = chunk.find_first_of("\r\n");
    const std::string_view part = chunk.substr(0, end);
    current.append(part.substr(0, kKeptLine - std::min(kKeptLine, current.size())));
    if (end == std::string_view::npos) return;
    endLine();
    chunk.remove_prefix(end + 1);
  }
}

void FailureLineFinder::endLine() {
  if (current.starts_with(kErrorMarker)) found = current;
  current.clear();
}

std::string FailureLineFinder::line() const {
  if (!found.empty()) return found;
  return current.starts_with(kErrorMarker) ? current : std::string();
}
