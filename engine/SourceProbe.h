#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/EncoderRunner.h"
#include "engine/FileList.h"
#include "engine/MessageBoxes.h"

// Finds the duration of each pending source, one encoder run at a time: a source of at
// least one second becomes a visible "Ready" row, any other is reported and dropped.
// User-interface thread only.
class SourceProbe {
 public:
  // `drainMessages` lets the message loop handle every message waiting now; `batchRuns`
  // tells whether a conversion batch holds the runner now.
  SourceProbe(FileList& list, MessageBoxes& boxes, EncoderRunner& runner,
              std::string encoderPath, std::function<void()> drainMessages,
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

  FileList& list;
  MessageBoxes& boxes;
  EncoderRunner& runner;
  const std::string encoderPath;
  const std::function<void()> drainMessages;
  const std::function<bool()> batchRuns;
  bool stepping = false;
  std::uint32_t probeJob = 0;
  std::string probedPath;
};
