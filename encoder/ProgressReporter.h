#pragma once
#include <chrono>
#include <cstdint>
#include <string>
// The progress lines of a conversion on standard error, e.g.
// "frame=  250 fps= 30 q=5.0 size=    1024kB time=10.00 bitrate= 838.9kbits/s",
// each written whole in one write call, a few a second and one at the end.

namespace vidmora_encoder {

struct ProgressFigures {
  int64_t frames = 0;    // video frames encoded
  float quality = 0;     // the video encoder's last quantizer
  int64_t bytes = 0;     // output written so far
  double seconds = 0;    // output position reached
};

class ProgressReporter {
 public:
  // Lines at most `every` apart; the first one comes after that long.
  explicit ProgressReporter(std::chrono::milliseconds every = std::chrono::milliseconds(250));

  // Writes a line when the interval has passed since the last one.
  void update(const ProgressFigures& figures);
  // Writes the last line.
  void finish(const ProgressFigures& figures);

  // The line for `figures` after `elapsedSeconds` of work, ending in '\n'.
  static std::string formatLine(const ProgressFigures& figures, double elapsedSeconds);

 private:
  using Clock = std::chrono::steady_clock;
  void report(const ProgressFigures& figures);
  std::chrono::milliseconds interval;
  Clock::time_point started;
  Clock::time_point lastLine;
};

}  // namespace vidmora_encoder
