#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/ConversionLog.h"
#include "engine/ConversionPlan.h"
#include "engine/ConversionSettings.h"
#include "engine/EncoderRunner.h"
#include "engine/FileList.h"
#include "engine/MessageBoxes.h"

// What the batch driver needs of the main dialog besides its file list and message boxes.
class BatchView {
 public:
  virtual ~BatchView() = default;
  // The output folder as the user typed it.
  virtual std::string outputFolderText() = 0;
  // Disables, or enables again, the controls a running batch must keep from the user: Add,
  // Remove, Clear, Settings, Exit, the output folder and its browse button, in this order;
  // and refuses, or takes again, files dropped on the window.
  virtual void enableBatchControls(bool enable) = 0;
  // The caption of the Start/Stop button.
  virtual void setStartCaption(const std::string& caption) = 0;
  // The overall progress bar: its range 0 .. upper and its position.
  virtual void setProgressRange(std::int32_t upper) = 0;
  virtual void setProgressPosition(std::int32_t position) = 0;
  // What a view on the desktop tells the desktop (one without does nothing). A batch of
  // `files` rows begins: the desktop is asked to stay awake, and shows the bar's progress in
  // its task bar, until batchIsOver.
  virtual void batchBegins(int /*files*/) {}
  // The batch has ended by itself or been stopped.
  virtual void batchIsOver() {}
  // The batch has ended by itself with the end message `text`: told to a user whose eyes
  // are elsewhere, before the message box shows it.
  virtual void announceEnd(const std::string& /*text*/) {}
};

// Converts the visible rows one after another with one encoder run at a time, shows each
// row's percentage and end status (a failed row with the encoder's reason as the status's
// tooltip) and the batch's progress, announces the end, and logs every conversion. The
// desktop is kept awake from Start until the batch ends or is stopped, not while the end
// message waits for the user. Everything runs on the user-interface thread.
class BatchDriver {
 public:
  BatchDriver(FileList& list, BatchView& view, MessageBoxes& boxes, EncoderRunner& runner,
              ConversionSettings& settings, std::string encoderPath, std::string companionPath,
              ConversionLog& log,
              std::chrono::milliseconds stopWait = std::chrono::milliseconds(500));

  // The Start/Stop button: starts a batch when idle, stops it when converting.
  void toggle();
  // Checks the list and the output folder, then converts from row 0.
  void startBatch();
  // Ends the running encoder and returns to idle; the row keeps its last percentage.
  void stopBatch();
  // ENC_TIME of job `job`: `seconds` encoded of the current row, counted up to the row's
  // probed duration (100 %). Other jobs are ignored.
  void onTime(std::uint32_t job, std::int64_t seconds);
  // ENC_ENDED of a conversion of job `job` with the encoder's exit status. Other jobs are
  // ignored.
  void onRowEnded(std::uint32_t job, std::int64_t exitStatus);

  // A batch runs; the exit sequence refuses while it does.
  bool converting() const { return isConverting; }
  // Called when a batch has ended, by itself or by Stop (pending rows are probed then).
  void setOnBatchEnded(std::function<void()> callback) { onBatchEnded = std::move(callback); }

 private:
  void startRow(const std::string& sourcePath);
  void skipRow();
  void advance();
  void finishBatch();
  bool isCurrentJob(std::uint32_t job) const;
  void addDone(std::int32_t seconds);
  // Logs the current row's conversion, which ended as `ending`.
  void logRow(const std::string& ending, const std::string& errorLine = {});

  FileList& list;
  BatchView& view;
  MessageBoxes& boxes;
  EncoderRunner& runner;
  ConversionSettings& settings;
  const std::string encoderPath;
  const std::string companionPath;
  ConversionLog& log;
  const std::chrono::milliseconds stopWait;
  std::function<void()> onBatchEnded;

  bool isConverting = false;
  std::int32_t totalSeconds = 0;
  std::int32_t doneSeconds = 0;
  std::int32_t currentDuration = 0;
  std::int32_t currentRow = 0;
  CollisionOutcome outcome = Fresh;
  std::int32_t failedRows = 0;
  // The current row's source, target and command line while its encoder runs.
  std::string currentSource;
  std::string currentTarget;
  EncoderCommand currentCommand;
  bool rowRunning = false;
};
