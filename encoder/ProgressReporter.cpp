#include "encoder/ProgressReporter.h"

#include <cinttypes>
#include <cstdio>

#include "encoder/ErrorOutput.h"
#include "encoder/contract/EncoderContract.h"

namespace vidmora_encoder {

ProgressReporter::ProgressReporter(std::chrono::milliseconds every)
    : interval(every), started(Clock::now()), lastLine(started) {}

std::string ProgressReporter::formatLine(const ProgressFigures& figures, double elapsedSeconds) {
  const double fps = elapsedSeconds > 0 ? figures.frames / elapsedSeconds : 0;
  const double kbits = figures.seconds > 0 ? figures.bytes * 8.0 / figures.seconds / 1000 : 0;
  char line[192];
  std::snprintf(line, sizeof line,
                "frame=%5" PRId64 " fps=%3.0f q=%.1f size=%8" PRId64 "kB %s%.2f bitrate=%6.1fkbits/s\n",
                figures.frames, fps, figures.quality, (figures.bytes + 1023) / 1024,
                encoder_contract::kTimeMarker, figures.seconds, kbits);
  return line;
}

void ProgressReporter::update(const ProgressFigures& figures) {
  if (Clock::now() - lastLine >= interval) report(figures);
}

void ProgressReporter::finish(const ProgressFigures& figures) { report(figures); }

void ProgressReporter::report(const ProgressFigures& figures) {
  lastLine = Clock::now();
  const double elapsed = std::chrono::duration<double>(lastLine - started).count();
  writeStandardError(formatLine(figures, elapsed));
}

}  // namespace vidmora_encoder
