#pragma once
#include <cstdint>
// The deployment key: the program unscrambles each shipped encoder byte b into
// (b * kDeploymentKey) mod 256; the build scrambles with the key's inverse.
// The key is odd, so the map is one-to-one over the byte values.

namespace encoder_contract {

inline constexpr std::uint8_t kDeploymentKey = 0xA7;

// The multiplicative inverse of an odd byte modulo 256.
constexpr std::uint8_t inverseKey(std::uint8_t key) {
  std::uint8_t inverse = 1;
  while (static_cast<std::uint8_t>(inverse * key) != 1) inverse += 2;
  return inverse;
}

inline constexpr std::uint8_t kScrambleKey = inverseKey(kDeploymentKey);
static_assert(static_cast<std::uint8_t>(kDeploymentKey * kScrambleKey) == 1);

inline constexpr std::uint8_t unscrambleByte(std::uint8_t b) {
  return static_cast<std::uint8_t>(b * kDeploymentKey);
}
inline constexpr std::uint8_t scrambleByte(std::uint8_t b) {
  return static_cast<std::uint8_t>(b * kScrambleKey);
}

}  // namespace encoder_contract
