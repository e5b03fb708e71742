#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "batch/BatchReport.h"
#include "batch/NotificationQueue.h"
#include "batch/SourceList.h"
#include "engine/ConversionLog.h"
#include "engine/ConversionPlan.h"
#include "engine/ConversionSettings.h"
#include "process/EncoderDeployment.h"

// Converts the sources of one batch with up to `jobs` encoders at once,
// each file as a row of the window is converted (its plan, its end status, its log line),
// and reports each file and the progress of the whole. One thread; the encoders' readers
// post to its queue.
class BatchRun {
 public:
  // `settings.outputFolder` is the full output folder, ending in '/'; with `mirrorFolders`
  // each source's subfolder is made below it and takes its output. `stopFd` becomes
  // readable when the batch is to stop (a signalfd).
  BatchRun(SourceListing listing, const ConversionSettings& settings, bool mirrorFolders,
           int jobs, const EncoderPaths& paths, ConversionLog& log, BatchReport& report,
           int stopFd);
  ~BatchRun();
  BatchRun(const BatchRun&) = delete;
  BatchRun& operator=(const BatchRun&) = delete;

  // Converts every source and returns once all have ended; or, once `stopFd` is readable,
  // stops every running encoder as the window's Stop does, starts no other, and returns.
  RunSummary run();
  // Whether `run` returned because it was stopped.
  bool stopped() const { return wasStopped; }

 private:
  struct Slot;
  // Where a source stands.
  struct SourceState {
    enum class Phase { Pending, Running, Ended } phase = Phase::Pending;
    std::int32_t length = 0;  // announced seconds; 0 while unknown
    std::int32_t media = 0;   // seconds converted, or counted once ended
  };

  ConversionSettings settingsFor(std::size_t source) const;
  // Starts sources on free slots while the names allow.
  void startWhatMay();
  // The first pending source (of the next few) whose target no running conversion and no
  // earlier pending source may take; pending.end() when none.
  std::vector<std::size_t>::iterator nextStartable();
  // Skips the source by the existing-file rule, or starts its encoder on `slot` (which
  // stays free when the encoder cannot start).
  void start(std::size_t source, Slot& slot);
  void handle(const SlotNotification& notification);
  // The slot's encoder ended by itself with `exitStatus`: reap, log and report it.
  void finish(Slot& slot, std::int64_t exitStatus);
  // Stops every running encoder at once and reports each.
  void stopAll();
  void report(std::size_t source, FileResult result);
  RunProgress progress() const;
  double secondsSince(std::chrono::steady_clock::time_point since) const;

  const std::vector<BatchSource> sources;
  const std::vector<MissingPath> missing;
  const ConversionSettings settings;
  const bool mirrorFolders;
  const EncoderPaths paths;
  ConversionLog& log;
  BatchReport& out;
  const int stopFd;
  NotificationQueue queue;
  std::vector<std::unique_ptr<Slot>> slots;
  std::vector<std::size_t> pending;  // sources not yet started, in order
  std::vector<SourceState> states;
  RunSummary summary;
  std::chrono::steady_clock::time_point began;
  bool wasStopped = false;
};
