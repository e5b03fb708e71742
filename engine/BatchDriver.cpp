#include "engine/BatchDriver.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <thread>
#include <utility>

#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"

namespace {

std::int32_t saturated(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

BatchDriver::BatchDriver(FileList& fileList, BatchView& batchView, MessageBoxes& messageBoxes,
                         EncoderRunner& encoderRunner, ConversionSettings& conversionSettings,
                         std::string encoder, std::string companion, ConversionLog& conversionLog,
                         std::chrono::milliseconds wait)
    : list(fileList),
      view(batchView),
      boxes(messageBoxes),
      runner(encoderRunner),
      settings(conversionSettings),
      encoderPath(std::move(encoder)),
      companionPath(std::move(companion)),
      log(conversionLog),
      stopWait(wait) {}

void BatchDriver::toggle() {
  if (isConverting) stopBatch();
  else startBatch();
}

void BatchDriver::startBatch() {
  const int rows = list.visibleRowCount();
  if (rows == 0) {
    boxes.showMessage("No flv file added!", "Warning", true);
    return;
  }
  settings.outputFolder = WithTrailingSlash(view.outputFolderText());
  if (!IsExistingFolder(settings.outputFolder)) {
    boxes.showMessage("The output dicrectory does not exists!", "Warning", true);
    return;
  }
  std::int64_t total = 0;
  for (int row = 0; row < rows; ++row) total += LeadingNumber(list.durationText(row));
  totalSeconds = saturated(total);
  doneSeconds = 0;
  failedRows = 0;
  view.batchBegins(rows);
  view.setProgressRange(totalSeconds);
  view.setProgressPosition(0);
  view.enableBatchControls(false);
  view.setStartCaption("&Stop");
  isConverting = true;
  currentRow = 0;
  startRow(list.sourcePath(0));
}

void BatchDriver::startRow(const std::string& sourcePath) {
  // What the previous job left is released first, so that the target is chosen against
  // the folder as it is when the encoder starts: the encoder replaces only a file that was
  // there then.
  runner.Stop();
  // A run of skipped rows is worked through here, without returning to the message loop.
  std::string path = sourcePath;
  for (;;) {
    currentDuration = LeadingNumber(list.durationText(currentRow));
    list.setStatusTip(currentRow, "");
    const std::optional<ConversionPlan> plan =
        planConversion(path, settings, encoderPath, companionPath);
    if (plan) {
      outcome = plan->outcome;
      currentSource = path;
      currentTarget = plan->target;
      currentCommand = plan->command;
      rowRunning = runner.StartConversion(currentCommand);
      if (!rowRunning) {
        logRow("not started");
        boxes.showMessage("Failed to start child process!", "Warning", false);
      }
      return;
    }
    list.setStatus(currentRow, kSkippedStatus);
    addDone(currentDuration);
    if (++currentRow == list.visibleRowCount()) {
      finishBatch();
      return;
    }
    path = list.sourcePath(currentRow);
  }
}

void BatchDriver::onTime(std::uint32_t job, std::int64_t seconds) {
  if (!isCurrentJob(job)) return;
  // A file may hold more than its probed length (metadata that says less, a length probed
  // wrong): the row stops at 100 % and the bar at the end of the row's share.
  const std::int64_t converted = std::clamp<std::int64_t>(seconds, 0, currentDuration);
  const std::int64_t percent = currentDuration > 0 ? converted * 100 / currentDuration : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%lld%%", static_cast<long long>(percent));
  list.setStatus(currentRow, text);
  view.setProgressPosition(saturated(static_cast<std::int64_t>(doneSeconds) + converted));
}

void BatchDriver::onRowEnded(std::uint32_t job, std::int64_t exitStatus) {
  if (!isCurrentJob(job)) return;
  // The id the ended encoder named its temporary by (it stays known until the next start).
  removeEncoderTemporary(currentTarget, runner.processId());
  rowRunning = false;
  const std::string errorLine = exitStatus != 0 ? runner.failureLine() : std::string();
  logRow("exit status " + std::to_string(exitStatus), errorLine);
  list.setStatus(currentRow, endStatus(outcome, exitStatus));
  if (exitStatus != 0) {
    ++failedRows;
    list.setStatusTip(currentRow, failureReason(exitStatus, errorLine));
  }
  addDone(currentDuration);
  advance();
}

void BatchDriver::advance() {
  if (++currentRow == list.visibleRowCount()) finishBatch();
  else startRow(list.sourcePath(currentRow));
}

void BatchDriver::finishBatch() {
  std::string text = "All Flv files have been converted!";
  if (failedRows > 0) {
    char failed[96];
    std::snprintf(failed, sizeof failed, "%d of %d Flv files could not be converted!",
                  failedRows, list.visibleRowCount());
    text = failed;
  }
  view.batchIsOver();
  view.announceEnd(text);
  boxes.showMessage(text, failedRows > 0 ? "Warning" : "Confirm", true);
  view.enableBatchControls(true);
  view.setStartCaption("S&tart");
  isConverting = false;
  if (onBatchEnded) onBatchEnded();
}

void BatchDriver::stopBatch() {
  const int encoder = runner.processId();
  runner.Stop();
  removeEncoderTemporary(currentTarget, encoder);
  if (std::exchange(rowRunning, false)) logRow("stopped");
  view.batchIsOver();
  std::this_thread::sleep_for(stopWait);
  view.enableBatchControls(true);
  view.setStartCaption("S&tart");
  isConverting = false;
  if (onBatchEnded) onBatchEnded();
}

bool BatchDriver::isCurrentJob(std::uint32_t job) const {
  return isConverting && job != 0 && job == runner.jobNumber();
}

void BatchDriver::logRow(const std::string& ending, const std::string& errorLine) {
  log.record({currentSource, currentCommand, ending, errorLine});
}

void BatchDriver::addDone(std::int32_t seconds) {
  doneSeconds = saturated(static_cast<std::int64_t>(doneSeconds) + seconds);
  view.setProgressPosition(doneSeconds);
}
