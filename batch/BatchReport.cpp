#include "batch/BatchReport.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "batch/JsonText.h"
#include "engine/FileList.h"
#include "platform/Paths.h"

namespace {

std::string secondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

std::string lengthText(std::int32_t seconds) { return FormatDuration(seconds < 0 ? 0 : seconds); }

// "Done        a/b.flv -> out/b.avi (00:00:31 in 1.2 s)", and the like for the others; a
// target below the current folder is shown from there, as a source named from there is.
std::string fileLine(const FileResult& r, const std::string& currentFolder) {
  const std::string target = r.target.starts_with(currentFolder)
                                 ? r.target.substr(currentFolder.size())
                                 : r.target;
  std::string line = r.status;
  line.resize(std::max<std::size_t>(line.size(), 12), ' ');
  line += r.source;
  if (r.status == "Skipped") return line + ": " + target + " exists";
  if (r.status == "Failed") {
    if (r.exitStatus < 0 && r.seconds == 0) return line + ": " + r.reason;
    return line + " (" + secondsText(r.seconds) + "): " + r.reason;
  }
  line += " -> " + target + " (";
  if (r.status == "Stopped") {
    line += lengthText(r.converted);
    if (r.length > 0) line += " of " + lengthText(r.length);
    return line + " when stopped)";
  }
  return line + lengthText(r.converted) + " in " + secondsText(r.seconds) + ")";
}

std::string jsonLine(const FileResult& r) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", r.seconds);
  return "{\"source\":" + jsonQuoted(r.source) + ",\"target\":" + jsonQuoted(r.target) +
         ",\"status\":" + jsonQuoted(r.status) +
         ",\"length\":" + (r.length >= 0 ? std::to_string(r.length) : "null") +
         ",\"converted\":" + std::to_string(r.converted) + ",\"seconds\":" + seconds +
         ",\"exit_status\":" + (r.exitStatus >= 0 ? std::to_string(r.exitStatus) : "null") +
         ",\"reason\":" + jsonQuoted(r.reason) + "}";
}

std::string summaryLine(const RunSummary& s) {
  const int files = s.converted + s.skipped + s.failed + s.stopped + s.notStarted;
  const std::string took =
      s.seconds < 60 ? secondsText(s.seconds) : FormatDuration(static_cast<int>(s.seconds));
  std::string line = std::to_string(files) + (files == 1 ? " file" : " files") + " in " +
                     took + ": " +
                     std::to_string(s.converted) + " converted, " + std::to_string(s.skipped) +
                     " skipped, " + std::to_string(s.failed) + " failed";
  if (s.stopped + s.notStarted > 0)
    line += "; stopped: " + std::to_string(s.stopped) + " cut short, " +
            std::to_string(s.notStarted) + " not started";
  return line;
}

int terminalWidth(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 80;
  return size.ws_col;
}

}  // namespace

BatchReport::BatchReport(ReportStyle reportStyle, std::FILE* output, std::FILE* errorOutput)
    : style(reportStyle),
      out(output),
      errors(errorOutput),
      currentFolder(WithTrailingSlash(GetFullPathNameA("."))) {}

void BatchReport::fileEnded(const FileResult& result) {
  switch (style) {
    case ReportStyle::Terminal:
      clearProgress();
      [[fallthrough]];
    case ReportStyle::Lines:
      writeLine(out, fileLine(result, currentFolder));
      break;
    case ReportStyle::Json:
      writeLine(out, jsonLine(result));
      break;
    case ReportStyle::Quiet:
      if (result.status == "Failed")
        writeLine(errors, "vidmora-batch: " + result.source + ": " + result.reason);
      break;
  }
}

void BatchReport::progress(const RunProgress& progress) {
  if (style != ReportStyle::Terminal) return;
  std::string line = progressLineText(progress);
  // A line that wraps could not be drawn over again.
  line.resize(std::min<std::size_t>(line.size(), static_cast<std::size_t>(terminalWidth(out) - 1)));
  if (line == shownProgress) return;
  std::fprintf(out, "\r\033[K%s", line.c_str());
  std::fflush(out);
  shownProgress = line;
}

void BatchReport::finished(const RunSummary& summary) {
  if (style != ReportStyle::Terminal && style != ReportStyle::Lines) return;
  clearProgress();
  writeLine(out, summaryLine(summary));
}

void BatchReport::warn(const std::string& text) {
  clearProgress();
  writeLine(errors, "vidmora-batch: " + text);
}

void BatchReport::clearProgress() {
  if (shownProgress.empty()) return;
  std::fputs("\r\033[K", out);
  std::fflush(out);
  shownProgress.clear();
}

void BatchReport::writeLine(std::FILE* stream, const std::string& line) {
  std::fprintf(stream, "%s\n", line.c_str());
  std::fflush(stream);
}
