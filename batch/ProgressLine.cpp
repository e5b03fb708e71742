#include "batch/ProgressLine.h"

#include <algorithm>
#include <cstdio>

#include "engine/FileList.h"

namespace {
int clampedSeconds(double seconds) { return static_cast<int>(std::clamp(seconds, 0.0, 2e9)); }
}  // namespace

std::string progressLineText(const RunProgress& progress) {
  std::string line = std::to_string(progress.filesEnded) + " of " +
                     std::to_string(progress.filesTotal) + " files";
  if (progress.filesFailed > 0) line += " (" + std::to_string(progress.filesFailed) + " failed)";
  line += ", " + FormatDuration(clampedSeconds(static_cast<double>(progress.mediaDone)));
  if (progress.mediaTotal > 0)
    line += std::string(" of ") + (progress.estimated ? "~" : "") +
            FormatDuration(clampedSeconds(static_cast<double>(progress.mediaTotal)));
  // A rate needs a second of work behind it to mean anything.
  if (progress.elapsed < 1 || progress.mediaDone <= 0) return line;
  const double rate = static_cast<double>(progress.mediaDone) / progress.elapsed;
  char text[32];
  std::snprintf(text, sizeof text, ", %.1fx", rate);
  line += text;
  if (progress.mediaTotal > progress.mediaDone)
    line += ", " +
            FormatDuration(clampedSeconds(
                static_cast<double>(progress.mediaTotal - progress.mediaDone) / rate)) +
            " left";
  return line;
}
