#include "encoder/flv/Metadata.h"

#include <cmath>
#include <cstring>
#include <string_view>

#include "encoder/flv/FlvFormat.h"

namespace vidmora_encoder::flv {

namespace {

// AMF0 type markers.
enum Marker : uint8_t {
  kNumber = 0, kBoolean = 1, kString = 2, kObject = 3, kNull = 5, kUndefined = 6,
  kReference = 7, kEcmaArray = 8, kObjectEnd = 9, kStrictArray = 10, kDate = 11,
  kLongString = 12,
};
// Nesting deeper than this is no metadata a writer makes, only damage.
constexpr int kDeepest = 16;

// Reads AMF0 values from a byte range; every step checks what is left first.
class Reader {
 public:
  Reader(const uint8_t* data, std::size_t size) : at(data), end(data + size) {}

  bool take(std::size_t count, const uint8_t*& bytes) {
    if (static_cast<std::size_t>(end - at) < count) return false;
    bytes = at;
    at += count;
    return true;
  }
  bool number(double& value) {
    const uint8_t* bytes;
    if (!take(8, bytes)) return false;
    const uint64_t bits = uint64_t{bigEndian(bytes, 4)} << 32 | bigEndian(bytes + 4, 4);
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }
  // A string without its marker: a 16-bit length, or a 32-bit one for a long string.
  bool text(std::string_view& value, int lengthBytes = 2) {
    const uint8_t* bytes;
    if (!take(lengthBytes, bytes)) return false;
    const uint32_t length = bigEndian(bytes, lengthBytes);
    if (!take(length, bytes)) return false;
    value = {reinterpret_cast<const char*>(bytes), length};
    return true;
  }
  // Properties up to the end marker (an empty name and 9), each handed to `property`.
  template <typename Property>
  bool properties(int depth, Property property) {
    for (;;) {
      std::string_view name;
      if (!text(name)) return false;
      const uint8_t* marker;
      if (name.empty()) {
        if (!take(1, marker)) return false;
        if (*marker == kObjectEnd) return true;
        --at;  // an empty name before a value: read on
      }
      if (!property(name, depth)) return false;
    }
  }
  // Passes over one value, whatever its type.
  bool skipValue(int depth) {
    const uint8_t* marker;
    if (depth > kDeepest || !take(1, marker)) return false;
    double ignored;
    std::string_view text;
    const uint8_t* bytes;
    switch (*marker) {
      case kNumber: return number(ignored);
      case kBoolean: return take(1, bytes);
      case kString: return this->text(text);
      case kLongString: return this->text(text, 4);
      case kNull:
      case kUndefined: return true;
      case kReference: return take(2, bytes);
      case kDate: return take(10, bytes);
      case kEcmaArray:
        if (!take(4, bytes)) return false;
        [[fallthrough]];
      case kObject:
        return properties(depth + 1, [&](std::string_view, int inner) { return skipValue(inner); });
      case kStrictArray: {
        if (!take(4, bytes)) return false;
        const uint32_t count = bigEndian(bytes, 4);
        for (uint32_t i = 0; i < count; ++i)
          if (!skipValue(depth + 1)) return false;
        return true;
      }
      default: return false;
    }
  }
  // A number value, or a value passed over: `value` stays as it was unless it is a finite
  // number.
  bool numberOrSkip(std::optional<double>& value, int depth) {
    if (at < end && *at == kNumber) {
      ++at;
      double read;
      if (!number(read)) return false;
      if (std::isfinite(read)) value = read;
      return true;
    }
    return skipValue(depth);
  }

 private:
  const uint8_t* at;
  const uint8_t* end;
};

}  // namespace

std::optional<Metadata> readMetadata(const uint8_t* data, std::size_t size) {
  Reader reader(data, size);
  const uint8_t* marker;
  std::string_view name;
  if (!reader.take(1, marker) || *marker != kString || !reader.text(name) ||
      name != "onMetaData" || !reader.take(1, marker))
    return std::nullopt;
  const uint8_t* count;
  if (*marker == kEcmaArray) {
    if (!reader.take(4, count)) return std::nullopt;
  } else if (*marker != kObject) {
    return std::nullopt;
  }
  Metadata metadata;
  // What was read before damage is kept: a writer that broke the array's end still said
  // its duration first.
  reader.properties(1, [&](std::string_view property, int depth) {
    if (property == "duration") return reader.numberOrSkip(metadata.duration, depth);
    if (property == "framerate") return reader.numberOrSkip(metadata.frameRate, depth);
    if (property == "videodatarate") return reader.numberOrSkip(metadata.videoKbps, depth);
    if (property == "audiodatarate") return reader.numberOrSkip(metadata.audioKbps, depth);
    return reader.skipValue(depth);
  });
  return metadata;
}

}  // namespace vidmora_encoder::flv
