#include "process/SourceProbe.h"

#include "engine/EncoderCommand.h"

SourceProbe::SourceProbe(ProbeView& probeView, ChildProcessRunner& encoderRunner,
                         const std::string& encoder, std::function<bool()> batchIsRunning)
    : view(probeView),
      runner(encoderRunner),
      encoderPath(encoder),
      batchRuns(std::move(batchIsRunning)) {}

void SourceProbe::ProbeNextSource() {
  if (stepping) return;
  stepping = true;
  for (;;) {
    view.drainMessages();
    const int row = view.visibleRowCount();
    if (batchRuns() || row >= view.hiddenRowCount()) break;
    const std::string path = view.sourcePath(row);
    runner.Stop();
    runner.probeMode = true;
    if (runner.Start(composeProbeCommand(encoderPath, path), false)) {
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
  const int row = view.visibleRowCount();
  // The lists may have changed while the probe ran; only the row it probed takes the result.
  if (row >= view.hiddenRowCount() || view.sourcePath(row) != probedPath) {
    ProbeNextSource();
    return;
  }
  if (seconds >= 1) {
    const int whole = seconds > INT32_MAX ? INT32_MAX : static_cast<int>(seconds);
    view.setDurationText(row, std::to_string(whole));
    view.insertVisibleRow(row, probedPath, FormatDuration(whole), "Ready");
  } else {
    reject(row);
  }
  ProbeNextSource();
}

void SourceProbe::cancel() {
  if (probeRuns()) runner.Stop();
  probeJob = 0;
}

bool SourceProbe::probeRuns() const {
  return probeJob != 0 && runner.probeMode && runner.jobNumber() == probeJob;
}

void SourceProbe::reject(int row) {
  view.showMessage("Failed to load: " + view.sourcePath(row), "Warning", true);
  view.deleteHiddenRow(row);
}
