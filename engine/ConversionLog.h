#pragma once
#include <cstdint>
#include <string>

// How one conversion went, as the log keeps it.
struct ConversionRecord {
  std::string source;
  std::string command;
  std::string ending;     // "exit status N", "stopped" or "not started"
  std::string errorLine;  // the encoder's "error: " line, empty when it gave none
};

// The plain-text log of every conversion, one line each: local time, source, command line,
// how it ended and the encoder's error line, separated by tabs. A tab, line end or other
// control character inside a field is written as an escape (\t, \n, \x1b; a backslash as
// \\), so that no file name can break a line. Once the file has reached its bound it is
// renamed to NAME.1 (replacing an older one) and a new file begins, so the log never takes
// much more than twice the bound. Writing is best effort: a log that cannot be written
// never holds up a conversion.
class ConversionLog {
 public:
  explicit ConversionLog(std::string path, std::int64_t bound = 1 << 20);

  // Appends the record with the time now, making the file and its folder when missing.
  void record(const ConversionRecord& record);
  const std::string& path() const { return filePath; }

 private:
  const std::string filePath;
  const std::int64_t bound;
};

// Where the program keeps its log: $XDG_STATE_HOME/vidmora/vidmora.log (default
// ~/.local/state/vidmora/vidmora.log).
std::string defaultConversionLogPath();
