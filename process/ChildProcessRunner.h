#pragma once
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

// Runs one command line as a child process whose standard input, output and error are
// pipes, reads both output pipes on worker threads, notices the child's end and stops it
// all on demand. It reports through four hooks and knows nothing of windows.
//
// Threads: Start, Stop and OnStarted run on the caller's thread; OnOutputText runs on the
// standard-output reader, OnTimeText on the standard-error reader, OnEnded on the exit
// waiter. Start and Stop are called from one thread only.
// The pauses and the bound of every Stop. The defaults hold the caller at least 700 ms.
struct RunnerStopPauses {
  // Stop waits at least this long after SIGTERM, and longer while the child is finishing.
  std::chrono::milliseconds afterTerminate{500};
  std::chrono::milliseconds afterThreads{100};
  std::chrono::milliseconds afterPipes{100};
  // A child still alive this long after SIGTERM is killed (SIGKILL).
  std::chrono::milliseconds killAfter{5000};
};

class ChildProcessRunner {
 public:
  using StopPauses = RunnerStopPauses;

  explicit ChildProcessRunner(StopPauses pauses = StopPauses{});
  // Stops whatever still runs. A derived class whose hooks use its own members must call
  // Stop in its own destructor, before those members go.
  virtual ~ChildProcessRunner();
  ChildProcessRunner(const ChildProcessRunner&) = delete;
  ChildProcessRunner& operator=(const ChildProcessRunner&) = delete;

  // Starts the command line (executable path first, arguments by the Windows argument
  // rules) in a new session, never through a shell. True when the child runs; false, with
  // no hook called and nothing left running, when anything needed to run and watch it
  // (pipes, descriptors, threads, the child itself) could not be had. `showWindow` has no
  // effect: the child never has a terminal. Call Stop first.
  bool Start(const std::string& commandLine, bool showWindow);

  // Ends the child: SIGTERM to its process group, then waits for the child to finish (at
  // least the first pause; SIGKILL to the group only once killAfter has passed). Then ends
  // all three threads and closes every descriptor. Harmless at any time; always holds the
  // caller for the three pauses. No hook runs once Stop has begun; an OnEnded already under
  // way has returned when Stop returns.
  void Stop();

  // The number of the current start: a new one at every Start, 0 after Stop.
  std::uint32_t jobNumber() const { return currentJob; }

 protected:
  // Called once by a successful Start, on the caller's thread, before any other hook.
  virtual void OnStarted(const std::string& commandLine);
  // Called with each standard-output chunk, 1 to 256 bytes, NUL-terminated.
  virtual void OnOutputText(const char* text);
  // Called in conversion mode with the figure after "time=", cut at the next '.'.
  virtual void OnTimeText(const char* text);
  // Called once when the child ends by itself, after both pipes are drained to their end
  // and never after Stop has begun. captureText and exitStatus are final by then.
  virtual void OnEnded();

  // Probe-mode standard-error text, NUL-terminated: the first 2047 characters are kept.
  char captureText[2048] = {};

 public:
  // Set by the caller before Start: true for a duration probe, false for a conversion.
  bool probeMode = false;

 protected:
  // How the child ended, valid in OnEnded: its exit code, or 128 + the signal number
  // when a signal ended it.
  int exitStatus() const { return endStatus; }

 private:
  void readStdout();
  void readStderr();
  void waitForExit();
  // Reads `fd` in chunks of at most 256 bytes until end of file, an error or stopEvent,
  // handing each NUL-terminated chunk to `handle(buffer, length)`.
  template <typename Handler>
  void readUntilEnd(int fd, Handler handle);
  void readerFinished();
  // Workers wait here until Start has decided; false when the start was abandoned.
  bool waitForGo();
  // Ends and reaps a child that was started but cannot be watched; closes its descriptors.
  void abandonStart();

  int stopEvent = -1;
  int childStdinRead = -1;
  int childStdoutWrite = -1;
  int childStderrWrite = -1;
  int stdinWrite = -1;
  int stdoutRead = -1;
  int stderrRead = -1;
  std::thread stdoutThread;
  std::thread stderrThread;
  std::thread waiterThread;
  int process = -1;          // pidfd of the child; it stays unreaped until Stop reaps it
  pid_t processId = 0;       // also its process group and session id
  int readersDone = -1;      // eventfd the readers write once each when they end
  std::atomic<int> readersFinished{0};
  std::atomic<bool> running{false};
  std::atomic<int> gate{0};  // kGateClosed, kGateOpen or kGateAbandoned: see waitForGo
  std::size_t captureLength = 0;
  int endStatus = 0;
  std::uint32_t currentJob = 0;
  std::uint32_t lastJob = 0;
  StopPauses pauses;
};
