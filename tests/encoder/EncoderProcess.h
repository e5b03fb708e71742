#pragma once
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>
// Runs an encoder executable the way the program does (no shell, standard error on a pipe)
// and collects its standard error chunk by chunk, as reads of at most 256 bytes.

namespace encoder_test {

struct EncoderRun {
  int exitStatus = -1;      // -1 when it did not exit by itself (killed by a signal)
  int signal = 0;           // the signal that ended it, 0 for a normal exit
  bool timedOut = false;
  std::string errorText;    // all of standard error
  std::vector<std::string> chunks;  // standard error as it was read
  double seconds = 0;       // wall time of the run
};

class EncoderProcess {
 public:
  // Starts `executable` with `args` (without the program name); throws when it cannot start.
  EncoderProcess(const std::string& executable, const std::vector<std::string>& args);
  ~EncoderProcess();  // kills a child still running

  // Reads standard error until `marker` has appeared or the time is up; true when it did.
  bool waitForText(const std::string& marker, std::chrono::milliseconds timeout);
  // The same, until a progress line counts more video frames than an encoder holds back
  // before its first packet (MPEG's B-frames), so that some are in the output.
  bool waitForFrames(std::chrono::milliseconds timeout);
  // Sends SIGTERM; kill sends SIGKILL.
  void terminate();
  void kill();
  pid_t pid() const { return childPid; }
  // Reads to the end and reaps the child; kills it (timedOut) after `timeout`.
  EncoderRun finish(std::chrono::milliseconds timeout);

 private:
  bool waitFor(const std::function<bool(const std::string&)>& seen, std::chrono::milliseconds timeout);
  // One read of at most 256 bytes, waiting up to `wait`; false at the end of the pipe.
  bool readChunk(std::chrono::milliseconds wait);

  pid_t childPid = -1;
  int errorPipe = -1;
  bool pipeOpen = true;
  EncoderRun collected;
  std::chrono::steady_clock::time_point started;
};

// An output format and the executable that writes it.
struct OutputFormat {
  const char* codec;       // after -vcodec
  std::string executable;  // zandrio's build, or quimbel's for WMV
  const char* extension;   // of the target
};
// The four output formats in the order the program offers them, run by `zandrio` or, for
// WMV, by `quimbel`.
std::vector<OutputFormat> outputFormats(const std::string& zandrio, const std::string& quimbel);

// Starts, reads and reaps in one go.
EncoderRun runEncoder(const std::string& executable, const std::vector<std::string>& args,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60));

}  // namespace encoder_test
