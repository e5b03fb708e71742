#pragma once
#include <cstdint>
#include <optional>

#include "encoder/SourceFile.h"
// The duration of a source whose container states none, from its packet timestamps.

namespace vidmora_encoder {

struct ScannedSpan {
  int64_t start = 0;     // earliest packet time, AV_TIME_BASE units
  int64_t duration = 0;  // latest packet end minus start, AV_TIME_BASE units
};

// Reads every packet of the source's audio and video streams (demuxing only, nothing is
// decoded) and returns the span their timestamps cover; a packet without a duration of its
// own lasts as long as the gap before it. Nothing when no packet has a timestamp. Leaves the
// source read to its end.
std::optional<ScannedSpan> scanPacketSpan(SourceFile& source);

}  // namespace vidmora_encoder
