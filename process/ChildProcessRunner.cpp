#include "process/ChildProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

#include "platform/CommandLine.h"
#include "process/EncoderOutputParser.h"

extern char** environ;

namespace {

constexpr std::size_t kChunkSize = 256;

void closeDescriptor(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

using Clock = std::chrono::steady_clock;

constexpr int kGateClosed = 0;
constexpr int kGateOpen = 1;
constexpr int kGateAbandoned = 2;

// Waits until `fd` is readable (for a pidfd: the process has ended) or `until` has come.
void waitUntilReadable(int fd, Clock::time_point until) {
  pollfd watched{fd, POLLIN, 0};
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    if (left.count() <= 0) return;
    const int ready = poll(&watched, 1, static_cast<int>(left.count()));
    if (ready > 0 || (ready < 0 && errno != EINTR)) return;
  }
}

void signalEvent(int fd) {
  const std::uint64_t one = 1;
  while (write(fd, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

// Starts `arguments` with the three child ends as its standard streams, in a new session
// (and so a new process group, without a terminal). Returns the pid, or -1 when the
// executable could not be started: posix_spawn reports a failed exec as its result.
pid_t launch(const std::vector<std::string>& arguments, int input, int output, int error) {
  if (arguments.empty() || arguments.front().empty()) return -1;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, error, STDERR_FILENO);
  // Whatever else the program holds open, even without close-on-exec, stays out.
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  for (int signal : {SIGPIPE, SIGTERM, SIGINT, SIGQUIT, SIGHUP, SIGCHLD}) sigaddset(&signals, signal);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = -1;
  const int result = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? pid : -1;
}

int statusOf(const siginfo_t& info) {
  return info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
}

}  // namespace

ChildProcessRunner::ChildProcessRunner(StopPauses stopPauses) : pauses(stopPauses) {}

ChildProcessRunner::~ChildProcessRunner() {
  if (stopEvent >= 0 || stdinWrite >= 0) Stop();
}

void ChildProcessRunner::OnStarted(const std::string&) {}
void ChildProcessRunner::OnOutputText(const char*) {}
void ChildProcessRunner::OnTimeText(const char*) {}
void ChildProcessRunner::OnEnded() {}

bool ChildProcessRunner::Start(const std::string& commandLine, bool showWindow) {
  (void)showWindow;
  if (stopEvent >= 0 || stdinWrite >= 0) Stop();  // the caller forgot: never lose a thread
  if (++lastJob == 0) ++lastJob;                  // 0 stands for "no job"
  currentJob = lastJob;
  int input[2], output[2], error[2];
  if (pipe2(input, O_CLOEXEC) != 0) return false;
  if (pipe2(output, O_CLOEXEC) != 0) {
    close(input[0]);
    close(input[1]);
    return false;
  }
  if (pipe2(error, O_CLOEXEC) != 0) {
    for (int fd : {input[0], input[1], output[0], output[1]}) close(fd);
    return false;
  }
  childStdinRead = input[0];
  stdinWrite = input[1];
  stdoutRead = output[0];
  childStdoutWrite = output[1];
  stderrRead = error[0];
  childStderrWrite = error[1];

  running = true;
  const pid_t pid = launch(SplitCommandLine(commandLine), childStdinRead, childStdoutWrite,
                           childStderrWrite);
  const int pidfd = pid > 0 ? static_cast<int>(syscall(SYS_pidfd_open, pid, 0)) : -1;
  // The child holds its own copies now. Closing ours lets the readers see end of file
  // when the child ends.
  closeDescriptor(childStdinRead);
  closeDescriptor(childStdoutWrite);
  closeDescriptor(childStderrWrite);
  if (pid <= 0) {
    running = false;
    return false;
  }
  process = pidfd;
  processId = pid;
  captureLength = 0;
  readersFinished = 0;
  stopEvent = eventfd(0, EFD_CLOEXEC);
  readersDone = eventfd(0, EFD_CLOEXEC);
  // Without these the child could never be seen to end: it is ended at once instead.
  if (pidfd < 0 || stopEvent < 0 || readersDone < 0) {
    abandonStart();
    return false;
  }
  gate = kGateClosed;
  try {
    stdoutThread = std::thread(&ChildProcessRunner::readStdout, this);
    stderrThread = std::thread(&ChildProcessRunner::readStderr, this);
    waiterThread = std::thread(&ChildProcessRunner::waitForExit, this);
  } catch (const std::system_error&) {
    gate = kGateAbandoned;
    gate.notify_all();
    for (std::thread* worker : {&stdoutThread, &stderrThread, &waiterThread})
      if (worker->joinable()) worker->join();
    abandonStart();
    return false;
  }
  // Before the workers go on, so that whatever OnStarted reports comes first.
  OnStarted(commandLine);
  gate = kGateOpen;
  gate.notify_all();
  return true;
}

void ChildProcessRunner::abandonStart() {
  running = false;
  kill(-processId, SIGKILL);
  while (waitpid(processId, nullptr, 0) < 0 && errno == EINTR) {
  }
  processId = 0;
  closeDescriptor(process);
  closeDescriptor(stopEvent);
  closeDescriptor(readersDone);
}

bool ChildProcessRunner::waitForGo() {
  gate.wait(kGateClosed);
  return gate.load() == kGateOpen;
}

template <typename Handler>
void ChildProcessRunner::readUntilEnd(int fd, Handler handle) {
  char buffer[kChunkSize + 1];
  pollfd watched[2] = {{fd, POLLIN, 0}, {stopEvent, POLLIN, 0}};
  for (;;) {
    if (poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[1].revents != 0) return;
    const ssize_t length = read(fd, buffer, kChunkSize);
    if (length < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (length <= 0) return;
    buffer[length] = '\0';
    handle(buffer, static_cast<std::size_t>(length));
  }
}

void ChildProcessRunner::readerFinished() {
  readersFinished.fetch_add(1, std::memory_order_release);
  signalEvent(readersDone);
}

// The readers drain their pipes until the end, also while Stop waits for the child to
// finish (a full pipe would hold it), but call no hook once Stop has begun.
void ChildProcessRunner::readStdout() {
  if (!waitForGo()) return;
  readUntilEnd(stdoutRead, [this](char* text, std::size_t) {
    if (running) OnOutputText(text);
  });
  readerFinished();
}

void ChildProcessRunner::readStderr() {
  if (!waitForGo()) return;
  if (probeMode) captureText[0] = '\0';
  readUntilEnd(stderrRead, [this](char* text, std::size_t length) {
    const std::string_view chunk(text, length);
    if (probeMode) {
      captureLength = appendCapture(captureText, sizeof captureText, captureLength, chunk);
    } else if (const auto figure = timeFigureInChunk(chunk); figure && running) {
      text[figure->data() + figure->size() - text] = '\0';  // cut at the '.'
      OnTimeText(figure->data());
    }
  });
  readerFinished();
}

void ChildProcessRunner::waitForExit() {
  if (!waitForGo()) return;
  // Observes the end with WNOWAIT: the child stays a zombie, so its pid and process group
  // cannot be reused before Stop signals the group and reaps it, exactly once.
  bool exited = false;
  pollfd watched[3] = {{process, POLLIN, 0}, {readersDone, POLLIN, 0}, {stopEvent, POLLIN, 0}};
  while (!exited || readersFinished.load(std::memory_order_acquire) < 2) {
    watched[0].fd = exited ? -1 : process;
    if (poll(watched, 3, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[2].revents != 0) return;
    if (watched[0].revents != 0) {
      siginfo_t info{};
      int waited;
      while ((waited = waitid(P_PID, static_cast<id_t>(processId), &info, WEXITED | WNOWAIT)) != 0 &&
             errno == EINTR) {
      }
      if (waited != 0) return;
      endStatus = statusOf(info);
      exited = true;
    }
    if (watched[1].revents != 0) {
      std::uint64_t count = 0;
      if (read(readersDone, &count, sizeof count) < 0 && errno != EINTR) return;
    }
  }
  // The end of the child and of both pipes has been seen: captureText is complete and
  // no reader touches it any more.
  if (running.exchange(false)) OnEnded();
}

void ChildProcessRunner::Stop() {
  running = false;
  const auto terminated = Clock::now();
  if (process >= 0) {
    kill(-processId, SIGTERM);
    // The child finishes what it writes; only one that outlives the bound is killed.
    waitUntilReadable(process, terminated + pauses.killAfter);
  }
  std::this_thread::sleep_until(terminated + pauses.afterTerminate);
  // Whatever of the group is still alive; a child that has ended is a zombie and keeps the
  // group's id from being reused until it is reaped below.
  if (process >= 0) kill(-processId, SIGKILL);
  if (stopEvent >= 0) signalEvent(stopEvent);
  if (waiterThread.joinable()) waiterThread.join();
  if (stdoutThread.joinable()) stdoutThread.join();
  if (stderrThread.joinable()) stderrThread.join();
  currentJob = 0;  // read by the hooks: changed only while no thread runs
  if (process >= 0) {
    while (waitpid(processId, nullptr, 0) < 0 && errno == EINTR) {
    }
    closeDescriptor(process);
    processId = 0;
  }
  closeDescriptor(childStdinRead);
  closeDescriptor(childStdoutWrite);
  closeDescriptor(childStderrWrite);
  std::this_thread::sleep_for(pauses.afterThreads);
  closeDescriptor(stdinWrite);
  closeDescriptor(stdoutRead);
  closeDescriptor(stderrRead);
  std::this_thread::sleep_for(pauses.afterPipes);
  closeDescriptor(stopEvent);
  closeDescriptor(readersDone);
}
