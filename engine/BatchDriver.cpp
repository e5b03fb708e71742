#include "engine/BatchDriver.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <thread>

#include "platform/Files.h"
#include "platform/Paths.h"

namespace {

// The seven controls a batch disables, in the order they are disabled and enabled.
constexpr int kBatchControls[] = {1000, 1001, 1002, 1003, 1004, 1043, 1044};
constexpr int kStartButton = 1008;
constexpr int kOutputFolderBox = 1043;

std::int32_t saturated(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

const char* statusText(CollisionOutcome outcome) {
  switch (outcome) {
    case Numbered: return "Renamed";
    case Replaced: return "Overwritten";
    default: return "Done";
  }
}

}  // namespace

BatchDriver::BatchDriver(BatchView& batchView, BatchRunner& encoderRunner,
                         ConversionSettings& conversionSettings, const std::string& encoder,
                         const std::string& companion, std::chrono::milliseconds wait)
    : view(batchView),
      runner(encoderRunner),
      settings(conversionSettings),
      encoderPath(encoder),
      companionPath(companion),
      stopWait(wait) {}

void BatchDriver::toggle() {
  if (isConverting) stopBatch();
  else startBatch();
}

void BatchDriver::startBatch() {
  const int rows = view.visibleRowCount();
  if (rows == 0) {
    view.showMessage("No flv file added!", "Warning", true);
    return;
  }
  settings.outputFolder = WithTrailingSlash(view.controlText(kOutputFolderBox));
  if (!IsExistingFolder(settings.outputFolder)) {
    view.showMessage("The output dicrectory does not exists!", "Warning", true);
    return;
  }
  std::int64_t total = 0;
  for (int row = 0; row < rows; ++row) total += leadingSeconds(view.durationText(row));
  totalSeconds = saturated(total);
  doneSeconds = 0;
  failedRows = 0;
  view.setProgressRange(totalSeconds);
  view.setProgressPosition(0);
  enableBatchControls(false);
  view.setControlText(kStartButton, "&Stop");
  isConverting = true;
  currentRow = 0;
  startRow(view.sourcePath(0));
}

void BatchDriver::startRow(const std::string& sourcePath) {
  // What the previous job left is released first, so that the target is chosen against
  // the folder as it is when the encoder starts: the encoder replaces only a file that was
  // there then.
  runner.Stop();
  // A run of skipped rows is worked through here, without returning to the message loop.
  std::string path = sourcePath;
  for (;;) {
    currentDuration = leadingSeconds(view.durationText(currentRow));
    currentElapsed = 0;
    const std::optional<ResolvedTarget> target = resolveTarget(path, settings);
    if (target) {
      outcome = target->outcome;
      const EncoderCommand command =
          composeEncoderCommand(settings, path, target->path, encoderPath, companionPath);
      if (!runner.StartConversion(command))
        view.showMessage("Failed to start child process!", "Warning", false);
      return;
    }
    view.setStatus(currentRow, "Skipped");
    addDone(currentDuration);
    if (++currentRow == view.visibleRowCount()) {
      finishBatch();
      return;
    }
    path = view.sourcePath(currentRow);
  }
}

void BatchDriver::onTime(std::uint32_t job, std::int64_t seconds) {
  if (!isCurrentJob(job)) return;
  currentElapsed = saturated(seconds);
  const std::int64_t percent = currentDuration > 0 ? seconds * 100 / currentDuration : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%lld%%", static_cast<long long>(percent));
  view.setStatus(currentRow, text);
  view.setProgressPosition(saturated(static_cast<std::int64_t>(doneSeconds) + seconds));
}

void BatchDriver::onRowEnded(std::uint32_t job, std::int64_t exitStatus) {
  if (!isCurrentJob(job)) return;
  if (exitStatus != 0) ++failedRows;
  view.setStatus(currentRow, exitStatus != 0 ? "Failed" : statusText(outcome));
  addDone(currentDuration);
  advance();
}

void BatchDriver::advance() {
  if (++currentRow == view.visibleRowCount()) finishBatch();
  else startRow(view.sourcePath(currentRow));
}

void BatchDriver::finishBatch() {
  if (failedRows > 0) {
    char text[96];
    std::snprintf(text, sizeof text, "%d of %d Flv files could not be converted!", failedRows,
                  view.visibleRowCount());
    view.showMessage(text, "Warning", true);
  } else {
    view.showMessage("All Flv files have been converted!", "Confirm", true);
  }
  enableBatchControls(true);
  view.setControlText(kStartButton, "S&tart");
  isConverting = false;
  if (onBatchEnded) onBatchEnded();
}

void BatchDriver::stopBatch() {
  runner.Stop();
  std::this_thread::sleep_for(stopWait);
  enableBatchControls(true);
  view.setControlText(kStartButton, "S&tart");
  isConverting = false;
  if (onBatchEnded) onBatchEnded();
}

bool BatchDriver::isCurrentJob(std::uint32_t job) const {
  return isConverting && job != 0 && job == runner.jobNumber();
}

void BatchDriver::addDone(std::int32_t seconds) {
  doneSeconds = saturated(static_cast<std::int64_t>(doneSeconds) + seconds);
  view.setProgressPosition(doneSeconds);
}

void BatchDriver::enableBatchControls(bool enable) {
  for (int id : kBatchControls) view.enableControl(id, enable);
}
