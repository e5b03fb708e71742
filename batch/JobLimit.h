#pragma once
#include <chrono>
#include <cstdint>
#include <vector>

#include "engine/ConversionSettings.h"

// A conversion that runs, as the job limit sees it.
struct RunningConversion {
  std::int32_t announced = -1;  // the length it announced in seconds; -1 while it has not
  std::chrono::steady_clock::duration age{};  // since it started
};

// How many conversions run at once.
class JobLimit {
 public:
  // --jobs N: N at once, whatever they are.
  static JobLimit fixed(int jobs);
  // The default: as many as `cores` while the running ones are short, and a long one alone,
  // since the encoder spreads a long AVI or WMV file over the cores itself. A file is long
  // from `longSeconds` on; 0 makes none long (MPEG, whose encoder works in slices).
  static JobLimit byLength(int cores, std::int32_t longSeconds);
  // The default for a batch with `settings` on this machine's cores (those the process may
  // run on).
  static JobLimit defaultFor(const ConversionSettings& settings);

  // The most conversions that ever run at once.
  int slots() const { return most; }
  // Whether one more may start beside `running`. By length, a conversion that has not yet
  // announced its length (its encoder writes it at once) holds the next start back for a
  // moment, and counts as short after that.
  bool mayStartAnother(const std::vector<RunningConversion>& running) const;

 private:
  JobLimit(int most, std::int32_t longSeconds) : most(most), longSeconds(longSeconds) {}

  int most;
  std::int32_t longSeconds;  // 0: by count only
};
