#pragma once
#include <string>
// The file list as the batch driver and the source probe see it: the visible list (what
// the user sees: path, duration text, status) and the hidden list (path, duration seconds)
// with the same rows in the same order; hidden rows from the visible count on are pending.
// Rows count from 0. Implemented by the main dialog over its two list controls.
class FileList {
 public:
  virtual ~FileList() = default;

  virtual int visibleRowCount() = 0;
  virtual int hiddenRowCount() = 0;
  // Hidden column 0 of `row`: the source's full path.
  virtual std::string sourcePath(int row) = 0;
  // Hidden column 1 of `row`: the duration in whole seconds as decimal text, "" until probed.
  virtual std::string durationText(int row) = 0;
  virtual void setDurationText(int row, const std::string& seconds) = 0;
  // Inserts visible row `row` with its three columns.
  virtual void insertVisibleRow(int row, const std::string& path, const std::string& duration,
                                const std::string& status) = 0;
  // Visible column 2 of `row`.
  virtual void setStatus(int row, const std::string& status) = 0;
  // The tooltip of `row`'s status: why its conversion failed; empty for none.
  virtual void setStatusTip(int row, const std::string& tip) = 0;
  virtual void deleteHiddenRow(int row) = 0;
};

// The duration text of whole seconds: hours, minutes and seconds joined by ':', each with
// at least two digits ("00:02:05", "100:00:00").
std::string FormatDuration(int seconds);
