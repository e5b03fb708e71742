#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>
// Mutations of .flv files for the encoder's fuzzer: byte-level ones (bit flips, interesting
// values, truncation, chunks duplicated or removed) and ones aware of the FLV tag structure
// (a tag's type, data size, timestamp, codec flags or packet type changed; a tag duplicated,
// removed or swapped with another; the file header's flags or data offset changed).

namespace encoder_fuzz {

using Bytes = std::vector<uint8_t>;

// Applies one to four random mutations to `input`, drawing from `random`; the same seed gives
// the same result. `applied` gets a short description of each mutation.
Bytes mutate(const Bytes& input, std::mt19937_64& random, std::vector<std::string>& applied);

}  // namespace encoder_fuzz
