#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/FileList.h"
#include "process/ChildProcessRunner.h"

// What the source probe needs of the main dialog besides its file list.
class ProbeView : public virtual FileList {
 public:
  // Lets the message loop handle every message that is waiting now.
  virtual void drainMessages() = 0;
  // A modal box with an OK button, with or without the information icon.
  virtual void showMessage(const std::string& text, const std::string& caption,
                           bool informationIcon) = 0;
};

// Finds the duration of each pending source, one encoder run at a time: a source of at
// least one second becomes a visible "Ready" row, any other is reported and dropped.
// User-interface thread only.
class SourceProbe {
 public:
  // `batchRuns` tells whether a conversion batch holds the runner now.
  SourceProbe(ProbeView& view, ChildProcessRunner& runner, const std::string& encoderPath,
              std::function<bool()> batchRuns);

  // Probes the first pending row, if any: drains the message queue, stops the runner and
  // starts the encoder on it. A source whose encoder cannot start is reported and dropped
  // at once, and the next one is tried. What the user did during the drain stands: when a
  // batch was started there, nothing is probed (the chain goes on when the batch ends); when
  // the lists changed, the first row pending now is probed. A call made while a step is
  // draining does nothing: that step looks again once its drain is over.
  void ProbeNextSource();
  // ENC_ENDED of a probe run: `seconds` is its duration. A result of another job than the
  // running probe's, or whose row is gone, is ignored.
  void onProbeEnded(std::uint32_t job, std::int64_t seconds);
  // Stops the running probe, if any, so that the rows may go (Clear).
  void cancel();

 private:
  bool probeRuns() const;
  void reject(int row);

  ProbeView& view;
  ChildProcessRunner& runner;
  const std::string& encoderPath;
  std::function<bool()> batchRuns;
  bool stepping = false;
  std::uint32_t probeJob = 0;
  std::string probedPath;
};
