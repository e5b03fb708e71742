#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
// What the program reads from the encoder's standard error: two figures, and the line that
// says why a run failed.

// The text after the first "time=" of one chunk, up to (without) the first '.' after it;
// nothing when either is missing from the chunk.
std::optional<std::string_view> timeFigureInChunk(std::string_view chunk);

// Seconds of the first "Duration: " in `text`: the two-character fields at offsets 10, 13
// and 16 from the match, each read as a leading number, as h * 3600 + m * 60 + s.
// 0 when there is no match.
std::int32_t durationSeconds(std::string_view text);

// The length a conversion announces in the first line of its standard error, which is the
// probe's "Duration: " line wherever the length is known without a pass of its own, however
// the text is cut into chunks.
class FirstLineDuration {
 public:
  // Forgets what was read: a new run begins.
  void clear();
  // Reads a chunk. Once, when the first line has ended: its duration by durationSeconds (0
  // for "Duration: N/A", for less than a second, and for a first line that is not the
  // duration line); nothing before or after.
  std::optional<std::int32_t> add(std::string_view chunk);

 private:
  std::string line;  // the first line so far, cut to the kept length
  bool ended = false;
};

// The encoder's reason for a failure: the first line of its standard error that starts with
// "error: ", however the text is cut into chunks. The encoder writes it at its end, after
// any number of progress lines, so it is looked for in the whole stream, not in a kept start.
class FailureLineFinder {
 public:
  // Forgets what was read: a new run begins.
  void clear();
  void add(std::string_view chunk);
  // The line without its line end, at most 2047 characters; empty when none came. A last
  // line without a line end counts.
  std::string line() const;

 private:
  void endLine();

  std::string current;  // the line being read, cut to the kept length
  std::string found;
};
