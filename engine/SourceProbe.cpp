#include "engine/SourceProbe.h"

#include <utility>

SourceProbe::SourceProbe(FileList& fileList, MessageBoxes& messageBoxes,
                         EncoderRunner& encoderRunner, std::string encoder,
                         std::function<void()> drain, std::function<bool()> batchIsRunning)
    : list(fileList),
      boxes(messageBoxes),
      runner(encoderRunner),
      encoderPath(std::move(encoder)),
      drainMessages(std::move(drain)),
      batchRuns(std::move(batchIsRunning)) {}

void SourceProbe::ProbeNextSource() {
  if (stepping) return;
  stepping = true;
  for (;;) {
    drainMessages();
    const int row = list.visibleRowCount();
    if (batchRuns() || row >= list.hiddenRowCount()) break;
    const std::string path = list.sourcePath(row);
    runner.Stop();
    if (runner.StartProbe(composeProbeCommand(encoderPath, path))) {
      probeJob = runner.jobNumber();
      probedPath = path;
      break;
    }
    probeJob = 0;
    reject(row);
  }
  stepping = false;
}

void SourceProbe::onProbeEnded(std::uint32_t job, std::int64_t seconds) {
  if (job == 0 || job != probeJob || !probeRuns()) return;
  probeJob = 0;
  const int row = list.visibleRowCount();
  // The lists may have changed while the probe ran; only the row it probed takes the result.
  if (row >= list.hiddenRowCount() || list.sourcePath(row) != probedPath) {
    ProbeNextSource();
    return;
  }
  if (seconds >= 1) {
    const int whole = seconds > INT32_MAX ? INT32_MAX : static_cast<int>(seconds);
    list.setDurationText(row, std::to_string(whole));
    list.insertVisibleRow(row, probedPath, FormatDuration(whole), "Ready");
  } else {
    reject(row);
  }
  ProbeNextSource();
}

void SourceProbe::cancel() {
  if (probeRuns()) runner.Stop();
  probeJob = 0;
}

bool SourceProbe::probeRuns() const { return probeJob != 0 && runner.jobNumber() == probeJob; }

void SourceProbe::reject(int row) {
  boxes.showMessage("Failed to load: " + list.sourcePath(row), "Warning", true);
  list.deleteHiddenRow(row);
}
