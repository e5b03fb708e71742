#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
// The two figures the program reads from the encoder's standard error. Pure functions.

// The text after the first "time=" of one chunk, up to (without) the first '.' after it;
// nothing when either is missing from the chunk.
std::optional<std::string_view> timeFigureInChunk(std::string_view chunk);

// The decimal-number rule: leading white space skipped, an optional sign, then decimal
// digits up to the first other character; no digits gives 0. Saturates at the 32-bit
// bounds instead of overflowing.
std::int32_t decimalNumber(std::string_view text);

// Seconds of the first "Duration: " in `text`: the two-character fields at offsets 10, 13
// and 16 from the match, each read by the decimal-number rule, as h * 3600 + m * 60 + s.
// 0 when there is no match.
std::int32_t durationSeconds(std::string_view text);

// Appends `chunk` to the NUL-terminated `capture` of `length` characters, keeping only what
// fits in `capacity` - 1 characters (the first ones), and returns the new length.
std::size_t appendCapture(char* capture, std::size_t capacity, std::size_t length,
                          std::string_view chunk);
