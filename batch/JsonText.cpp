#include "batch/JsonText.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, 0 when there is none.
std::size_t utf8Length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  char32_t smallest;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, smallest = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, smallest = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, smallest = 0x10000;
  else return 0;
  if (text.size() < length) return 0;
  char32_t code = lead & (0x3F >> (length - 1));
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code >= smallest && code <= 0x10FFFF && !surrogate ? length : 0;
}

void appendEscape(std::string& quoted, const char* format, unsigned value) {
  char escape[8];
  std::snprintf(escape, sizeof escape, format, value);
  quoted += escape;
}

}  // namespace

std::string jsonQuoted(std::string_view text) {
  std::string quoted = "\"";
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.front());
    std::size_t taken = 1;
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(c);
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      appendEscape(quoted, "\\u%04x", c);
    } else if (c < 0x80) {
      quoted += static_cast<char>(c);
    } else if ((taken = utf8Length(text)) > 0) {
      quoted.append(text.substr(0, taken));
    } else {
      taken = 1;
      appendEscape(quoted, "\\udc%02x", c);
    }
    text.remove_prefix(taken);
  }
  return quoted + "\"";
}
