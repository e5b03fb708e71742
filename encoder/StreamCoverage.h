#pragma once
#include <algorithm>
#include <cmath>
// How much of the timeline a stream's packets or frames cover, and what counts as a jump in
// their times.

namespace vidmora_encoder {

// A step in a stream's times longer than this (seconds) is a jump, not a gap: a damaged
// timestamp or a spliced recording. Decoding takes the stream as going on where it was.
inline constexpr double kTimestampJumpSeconds = 5.0;

// The seconds a stream's packets or frames cover: each adds what it reaches past the ones
// before; one that jumps away by seconds adds only its own length.
struct StreamCoverage {
  double seconds = 0;
  double end = -1e300;

  void add(double start, double length) {
    const double stop = start + std::max(0.0, length);
    if (std::fabs(start - end) > kTimestampJumpSeconds) {
      seconds += stop - start;
      end = stop;
    } else if (stop > end) {
      seconds += stop - end;
      end = stop;
    }
  }
};

}  // namespace vidmora_encoder
