#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "encoder/SourceFile.h"
// What a probe writes: the duration line the program reads, first, then the input and a line
// per stream.

namespace vidmora_encoder {

// "  Duration: HH:MM:SS.cc, start: S.ssssss, bitrate: N kb/s" (centiseconds truncated), or
// "  Duration: N/A, ..." when the duration is unknown; AV_TIME_BASE units; ends in '\n'.
std::string formatDurationLine(std::optional<int64_t> duration, int64_t start,
                               int64_t fileBytes);

// "    Stream #0:1: Audio: mp3, 44100 Hz, stereo, fltp", ending in '\n'; for a stream the
// encoder cannot decode, what its codec is.
std::string describeStream(const SourceStream& stream);

// The source's duration as the probe reports it, where it is known without reading the
// whole source (see probeDuration); nothing otherwise.
std::optional<int64_t> knownDuration(const SourceFile& source, int64_t& start);

// The source's duration as the probe reports it: the container's stated duration, unless the
// media an FLV file holds starts or ends more than a second and 2 % away from it; else the
// span of its timestamps (then `start` is the first packet's time). Nothing when no figure
// can be known. Reads a file other than a well-formed FLV file to its end when it states no
// duration.
std::optional<int64_t> probeDuration(SourceFile& source, int64_t& start);

// Runs the probe command: writes the report to standard error and returns the exit status
// (0 when a duration was found).
int runProbe(const std::string& path);

}  // namespace vidmora_encoder
