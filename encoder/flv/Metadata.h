#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
// The onMetaData script tag an FLV file's writer puts first: an AMF0 string naming it and an
// ECMA array (or object) of properties. Only the figures the encoder uses are kept.

namespace vidmora_encoder::flv {

struct Metadata {
  std::optional<double> duration;   // seconds
  std::optional<double> frameRate;  // frames per second
  std::optional<double> videoKbps;
  std::optional<double> audioKbps;
};

// The figures of a script tag's data when it is onMetaData; nothing for another script tag or
// data that cannot be read. Reads nothing past `size`.
std::optional<Metadata> readMetadata(const uint8_t* data, std::size_t size);

}  // namespace vidmora_encoder::flv
