#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/BatchDriver.h"
#include "engine/ConversionSettings.h"
#include "app/NotifyingRunner.h"
#include "engine/SourceProbe.h"
#include "process/EncoderDeployment.h"

// What the file list commands need of the main dialog: the two lists, the batch's controls,
// message boxes, the message queue, the output folder box and the two file dialogs.
class FileListView : public FileList, public BatchView, public MessageBoxes {
 public:
  // Lets the message loop handle every message that is waiting now.
  virtual void drainMessages() = 0;
  virtual void appendPendingRow(const std::string& path) = 0;
  // The first selected visible row, -1 when none is.
  virtual int firstSelectedRow() = 0;
  // Deletes row `row` of both lists.
  virtual void deleteRow(int row) = 0;
  // Deletes every row of both lists, the visible list first.
  virtual void deleteAllRows() = 0;
  // The open-file dialog for .flv files with multiple selection: the chosen full paths in
  // the dialog's order; false when cancelled.
  virtual bool chooseSourceFiles(std::vector<std::string>& paths) = 0;
  // The folder browser titled "Choose Folder:"; false when cancelled.
  virtual bool chooseFolder(std::string& folder) = 0;
  virtual void setOutputFolderText(const std::string& folder) = 0;
};

// The file list commands and the encoder behind them: Add with its probe chain, Remove,
// Clear, the output folder's browse button, Start/Stop, and the WM_ENCODER_NOTIFY handler.
// Owns the one encoder runner. User-interface thread only.
class FileListCommands {
 public:
  // `post` delivers WM_ENCODER_NOTIFY to the main dialog from any thread; every conversion
  // is logged to `log`.
  FileListCommands(FileListView& view, ConversionSettings& settings, const EncoderPaths& paths,
                   ConversionLog& log, EncoderNotifier::Post post,
                   RunnerStopPauses pauses = RunnerStopPauses{},
                   std::chrono::milliseconds stopWait = std::chrono::milliseconds(500));

  // Adds the chosen files as pending rows and starts the probe chain.
  void add();
  // Adds these files as Add adds the chosen ones (files named at start-up or dropped on the
  // window), a folder among them as the .flv files it holds (FlvFilesInFolder), all in one
  // probe chain; nothing while a batch runs, when Add is disabled.
  void addFiles(const std::vector<std::string>& paths);
  // Deletes every selected row from both lists.
  void remove();
  // Deletes all rows, pending ones included; a running probe is stopped first.
  void clear();
  // Puts the chosen folder, ending in exactly one '/', into the output folder box.
  void browse();
  // The Start/Stop button.
  void startOrStop();
  // WM_ENCODER_NOTIFY: hands what a conversion reports to the batch and what a probe
  // reports to the probe, each by the kind of run the message comes from; each drops what
  // an earlier job of its own sent. Always 1.
  LRESULT onEncoderNotify(WPARAM wParam, LPARAM lParam);
  // A batch runs.
  bool converting() const { return batch.converting(); }

 private:
  FileListView& view;
  NotifyingRunner runner;
  SourceProbe probe;
  BatchDriver batch;
};
