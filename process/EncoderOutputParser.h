#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
// The two figures the program reads from the encoder's standard error. Pure functions.

// The text after the first "time=" of one chunk, up to (without) the first '.' after it;
// nothing when either is missing from the chunk.
std::optional<std::string_view> timeFigureInChunk(std::string_view chunk);

// Seconds of the first "Duration: " in `text`: the two-character fields at offsets 10, 13
// and 16 from the match, each read as a leading number, as h * 3600 + m * 60 + s.
// 0 when there is no match.
std::int32_t durationSeconds(std::string_view text);
