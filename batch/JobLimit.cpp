#include "batch/JobLimit.h"

#include <sched.h>

#include <algorithm>

namespace {

// How long a conversion that has announced nothing holds the next start back.
constexpr auto kAnnouncementWait = std::chrono::seconds(1);

// The stretches of video the encoder spreads an AVI or WMV file over the cores in: ten
// seconds at its default quantizer, thirty at a chosen bit rate.
constexpr std::int32_t kStretchAtDefaultQuality = 10;
constexpr std::int32_t kStretchAtBitRate = 30;
// A file is long once it gives every core this many stretches. A shorter one leaves cores
// idle while the encoder starts, surveys the source and ends, which a second file at once
// fills (bench/batch.sh measures both).
constexpr std::int32_t kStretchesPerCore = 4;

int usableCores() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (sched_getaffinity(0, sizeof cores, &cores) != 0) return 1;
  return std::max(1, CPU_COUNT(&cores));
}

}  // namespace

JobLimit JobLimit::fixed(int jobs) { return JobLimit(std::max(1, jobs), 0); }

JobLimit JobLimit::byLength(int cores, std::int32_t longSeconds) {
  return JobLimit(std::max(1, cores), longSeconds);
}

JobLimit JobLimit::defaultFor(const ConversionSettings& settings) {
  const int cores = usableCores();
  if (settings.format == Mpeg) return byLength(cores, 0);
  const std::int32_t stretch =
      settings.useDefaultQuality ? kStretchAtDefaultQuality : kStretchAtBitRate;
  return byLength(cores, kStretchesPerCore * cores * stretch);
}

bool JobLimit::mayStartAnother(const std::vector<RunningConversion>& running) const {
  if (static_cast<int>(running.size()) >= most) return false;
  if (longSeconds <= 0) return true;
  return std::none_of(running.begin(), running.end(), [this](const RunningConversion& c) {
    if (c.announced < 0) return c.age < kAnnouncementWait;
    return c.announced >= longSeconds;
  });
}
