#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "batch/ProgressLine.h"

// How one source of a batch ended.
struct FileResult {
  std::string source;         // as named
  std::string target;         // the output's path; for a skipped source the file it keeps
  std::string status;         // "Done", "Renamed", "Overwritten", "Skipped", "Failed", "Stopped"
  std::int32_t length = -1;   // whole seconds the conversion announced; -1 for none
  std::int32_t converted = 0;  // seconds of media it converted
  double seconds = 0;          // how long it ran
  std::int64_t exitStatus = -1;  // the encoder's; -1 when none ended by itself
  std::string reason;           // why it failed
};

// How the batch ended, in counts.
struct RunSummary {
  int converted = 0, skipped = 0, failed = 0, stopped = 0, notStarted = 0;
  double seconds = 0;
};

// What a batch shows of itself.
enum class ReportStyle {
  // A line per file, its target shown from the current folder when it lies below it, the
  // progress line redrawn in place below them, and a summary.
  Terminal,
  Lines,     // the same but the progress line: nothing redrawn (a pipe, a file)
  Json,      // one JSON object per file, one a line, nothing else
  Quiet,     // nothing but failures, on standard error
};

class BatchReport {
 public:
  BatchReport(ReportStyle style, std::FILE* out, std::FILE* errors);

  void fileEnded(const FileResult& result);
  // Terminal: redraws the progress line, cut to the terminal's width. Other styles: nothing.
  void progress(const RunProgress& progress);
  // Takes the progress line away and writes the summary.
  void finished(const RunSummary& summary);
  // "vidmora-batch: TEXT" on standard error, in every style.
  void warn(const std::string& text);

 private:
  // Takes the progress line away (Terminal); it is drawn again at the next progress.
  void clearProgress();
  void writeLine(std::FILE* stream, const std::string& line);

  const ReportStyle style;
  std::FILE* const out;
  std::FILE* const errors;
  const std::string currentFolder;  // ends in a slash
  std::string shownProgress;  // the line on the terminal now; empty when none
};
