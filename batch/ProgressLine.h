#pragma once
#include <cstdint>
#include <string>

// Where a batch stands.
struct RunProgress {
  int filesEnded = 0;
  int filesFailed = 0;
  int filesTotal = 0;
  std::int64_t mediaDone = 0;   // seconds of media converted, the running files' included
  std::int64_t mediaTotal = 0;  // seconds of media in all; 0 while nothing tells
  bool estimated = false;       // the total is estimated in part from the files' sizes
  double elapsed = 0;           // seconds since the batch began
};

// The batch's progress line: files, media done of the total ("~" before an estimated
// total), the rate as media seconds per second, and the time left at that rate, as in
// "12 of 105 files, 00:10:12 of ~01:22:05, 12.5x, 00:05:40 left".
std::string progressLineText(const RunProgress& progress);
