#pragma once
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/UniqueFd.h"

// How a child that ended by itself ended.
struct ChildEnding {
  int exitStatus = 0;     // its exit code, or 128 + the signal number when a signal ended it
  std::string errorText;  // the start of its standard error, as much as Start asked to keep
};

// What a runner reports, each through a function given at construction (any may be empty).
// Every hook gets the number of the job it reports on. Except OnStarted, hooks run on the
// runner's worker threads: they must be thread-safe and must not touch windows.
struct ChildHooks {
  // Once per successful Start, on the caller's thread, before any other hook of that job.
  std::function<void(std::uint32_t job)> OnStarted;
  // Each chunk read from standard output or standard error: 1 to 256 bytes as they came,
  // so a chunk may end in the middle of a line.
  std::function<void(std::uint32_t job, std::string_view chunk)> OnOutputText;
  std::function<void(std::uint32_t job, std::string_view chunk)> OnErrorText;
  // Once when the child ends by itself, after both pipes are drained to their end.
  std::function<void(std::uint32_t job, const ChildEnding& ending)> OnEnded;
};

// The pauses and the bound of every Stop. The defaults hold the caller at least 700 ms.
struct RunnerStopPauses {
  // Stop waits at least this long after SIGTERM, and longer while the child is finishing.
  std::chrono::milliseconds afterTerminate{500};
  std::chrono::milliseconds afterThreads{100};
  std::chrono::milliseconds afterPipes{100};
  // A child still alive this long after SIGTERM is killed (SIGKILL).
  std::chrono::milliseconds killAfter{5000};
};

// Runs one command line at a time as a child process whose standard input, output and
// error are pipes, reads both output pipes on worker threads, notices the child's end, and
// stops it all on demand. Knows nothing of what the child is.
//
// Start and Stop are called from one thread only. Destruction stops whatever runs, so no
// hook runs once the runner is gone.
class ChildProcessRunner final {
 public:
  using StopPauses = RunnerStopPauses;

  explicit ChildProcessRunner(ChildHooks hooks, StopPauses pauses = StopPauses{});
  ~ChildProcessRunner();
  ChildProcessRunner(const ChildProcessRunner&) = delete;
  ChildProcessRunner& operator=(const ChildProcessRunner&) = delete;

  // Starts the command line (executable path first, arguments by the Windows argument
  // rules) in a new session, never through a shell and without a terminal, as a new job.
  // OnEnded will hold the first `keptErrorText` characters of its standard error. True when
  // the child runs; false, with no hook called and nothing left running, when anything
  // needed to run and watch it (pipes, descriptors, threads, the child itself) could not be
  // had. Stops what still runs first.
  bool Start(const std::string& commandLine, std::size_t keptErrorText = 0);

  // Ends the child: SIGTERM to its process group, then waits for the child to finish (at
  // least the first pause; SIGKILL to the group only once killAfter has passed). Then ends
  // all three threads and closes every descriptor. A child that has ended by itself has been
  // reaped already, and its group is not signalled. Harmless at any time; always holds the
  // caller for the three pauses. No hook runs once Stop has begun; an OnEnded already under
  // way has returned when Stop returns.
  void Stop();

  // The number of the current job: a new one at every Start, 0 after Stop.
  std::uint32_t jobNumber() const { return currentJob; }
  // The current job's process id until Stop, else 0. A child that ended by itself is reaped
  // as it ends (before OnEnded), so its id then only names what the child left behind.
  pid_t processId() const { return childId; }

 private:
  void readOutput();
  void readErrors();
  void waitForExit();
  // Reads `fd` in chunks of at most 256 bytes until end of file, an error or the stop
  // event, handing each chunk to `handle`; then tells the exit waiter.
  template <typename Handler>
  void readUntilEnd(int fd, Handler handle);
  // Workers wait here until Start has decided; false when the start was abandoned.
  bool waitForGo();
  // Ends and reaps a child that was started but cannot be watched.
  void abandonStart();
  // The exit waiter's reaping of the ended child, with its exit status into `ending`;
  // false once Stop has begun (Stop reaps then) or when it could not be reaped.
  bool reapEndedChild();
  // Sends `signal` to the child's process group while the child is unreaped.
  void signalGroup(int signal);

  const ChildHooks hooks;
  const StopPauses pauses;
  UniqueFd stdinWrite;  // nothing is ever written; it stays open until Stop
  UniqueFd stdoutRead;
  UniqueFd stderrRead;
  UniqueFd process;      // pidfd of the child
  UniqueFd stopEvent;    // eventfd: Stop ends the workers' waits
  UniqueFd readersDone;  // eventfd the readers write once each when they end
  std::thread outputThread;
  std::thread errorThread;
  std::thread waiterThread;
  pid_t childId = 0;  // also its process group and session id
  std::atomic<int> readersFinished{0};
  std::atomic<bool> running{false};
  std::atomic<int> gate{0};  // closed, open or abandoned: see waitForGo
  std::mutex reaping;        // between the exit waiter's reaping and Stop's signals
  bool stopping = false;     // Stop has begun: the waiter no longer reaps
  bool reaped = false;       // the child has been reaped by the exit waiter
  std::size_t errorTextLimit = 0;
  ChildEnding ending;  // written by the workers, handed to OnEnded
  std::uint32_t currentJob = 0;
  std::uint32_t lastJob = 0;
};
