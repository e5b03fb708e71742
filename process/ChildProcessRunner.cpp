#include "process/ChildProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <vector>

#include "platform/CommandLine.h"

extern char** environ;

namespace {

constexpr std::size_t kChunkSize = 256;

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

ChildProcessRunner::ChildProcessRunner(ChildHooks childHooks, StopPauses stopPauses)
    : hooks(std::move(childHooks)), pauses(stopPauses) {}

ChildProcessRunner::~ChildProcessRunner() {
  if (stopEvent.valid() || stdinWrite.valid()) Stop();
}

bool ChildProcessRunner::Start(const std::string& commandLine, std::size_t keptErrorText) {
  if (stopEvent.valid() || stdinWrite.valid()) Stop();  // never lose a thread
  if (++lastJob == 0) ++lastJob;                          // 0 stands for "no job"
  currentJob = lastJob;
  int input[2], output[2], error[2];
  if (pipe2(input, O_CLOEXEC) != 0) return false;
  UniqueFd childInput(input[0]);
  stdinWrite.reset(input[1]);
  if (pipe2(output, O_CLOEXEC) != 0) return false;
  stdoutRead.reset(output[0]);
  UniqueFd childOutput(output[1]);
  if (pipe2(error, O_CLOEXEC) != 0) return false;
  stderrRead.reset(error[0]);
  UniqueFd childError(error[1]);

  const pid_t pid = launch(SplitCommandLine(commandLine), childInput.get(), childOutput.get(),
                           childError.get());
  if (pid <= 0) return false;
  // The child holds its own copies of its ends now; the readers see end of file once it
  // and whatever it started have closed theirs.
  childInput.reset();
  childOutput.reset();
  childError.reset();
  childId = pid;
  process.reset(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
  stopEvent.reset(eventfd(0, EFD_CLOEXEC));
  readersDone.reset(eventfd(0, EFD_CLOEXEC));
  // Without these the child could never be seen to end: it is ended at once instead.
  if (!process.valid() || !stopEvent.valid() || !readersDone.valid()) {
    abandonStart();
    return false;
  }
  errorTextLimit = keptErrorText;
  ending = ChildEnding{};
  ending.errorText.reserve(keptErrorText);  // the reader appends without allocating
  readersFinished = 0;
  running = true;
  gate = kGateClosed;
  try {
    outputThread = std::thread(&ChildProcessRunner::readOutput, this);
    errorThread = std::thread(&ChildProcessRunner::readErrors, this);
    waiterThread = std::thread(&ChildProcessRunner::waitForExit, this);
  } catch (const std::system_error&) {
    gate = kGateAbandoned;
    gate.notify_all();
    for (std::thread* worker : {&outputThread, &errorThread, &waiterThread})
      if (worker->joinable()) worker->join();
    abandonStart();
    return false;
  }
  // Before the workers go on, so that whatever OnStarted reports comes first.
  if (hooks.OnStarted) hooks.OnStarted(currentJob);
  gate = kGateOpen;
  gate.notify_all();
  return true;
}

void ChildProcessRunner::abandonStart() {
  running = false;
  kill(-childId, SIGKILL);
  while (waitpid(childId, nullptr, 0) < 0 && errno == EINTR) {
  }
  childId = 0;
  process.reset();
  stopEvent.reset();
  readersDone.reset();
}

bool ChildProcessRunner::waitForGo() {
  gate.wait(kGateClosed);
  return gate.load() == kGateOpen;
}

template <typename Handler>
void ChildProcessRunner::readUntilEnd(int fd, Handler handle) {
  char buffer[kChunkSize];
  pollfd watched[2] = {{fd, POLLIN, 0}, {stopEvent.get(), POLLIN, 0}};
  for (;;) {
    if (poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (watched[1].revents != 0) break;
    const ssize_t length = read(fd, buffer, kChunkSize);
    if (length < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (length <= 0) break;
    handle(std::string_view(buffer, static_cast<std::size_t>(length)));
  }
  readersFinished.fetch_add(1, std::memory_order_release);
  signalEvent(readersDone.get());
}

// The readers drain their pipes until the end, also while Stop waits for the child to
// finish (a full pipe would hold it), but call no hook once Stop has begun.
void ChildProcessRunner::readOutput() {
  if (!waitForGo()) return;
  readUntilEnd(stdoutRead.get(), [this](std::string_view chunk) {
    if (running && hooks.OnOutputText) hooks.OnOutputText(currentJob, chunk);
  });
}

void ChildProcessRunner::readErrors() {
  if (!waitForGo()) return;
  readUntilEnd(stderrRead.get(), [this](std::string_view chunk) {
    std::string& kept = ending.errorText;
    kept.append(chunk.substr(0, errorTextLimit - std::min(errorTextLimit, kept.size())));
    if (running && hooks.OnErrorText) hooks.OnErrorText(currentJob, chunk);
  });
}

void ChildProcessRunner::waitForExit() {
  if (!waitForGo()) return;
  bool exited = false;
  pollfd watched[3] = {{process.get(), POLLIN, 0},
                       {readersDone.get(), POLLIN, 0},
                       {stopEvent.get(), POLLIN, 0}};
  while (!exited || readersFinished.load(std::memory_order_acquire) < 2) {
    watched[0].fd = exited ? -1 : process.get();
    if (poll(watched, 3, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[2].revents != 0) return;
    if (watched[0].revents != 0) {
      if (!reapEndedChild()) return;
      exited = true;
    }
    if (watched[1].revents != 0) {
      std::uint64_t count = 0;
      if (read(readersDone.get(), &count, sizeof count) < 0 && errno != EINTR) return;
    }
  }
  // The end of the child and of both pipes has been seen: the ending is complete and no
  // reader touches it any more.
  if (running.exchange(false) && hooks.OnEnded) hooks.OnEnded(currentJob, ending);
}

// Reaped exactly once: the exit waiter owns the pid until Stop begins, Stop from then on.
bool ChildProcessRunner::reapEndedChild() {
  std::lock_guard lock(reaping);
  if (stopping) return false;
  siginfo_t info{};
  int waited;
  while ((waited = waitid(P_PIDFD, static_cast<id_t>(process.get()), &info, WEXITED)) != 0 &&
         errno == EINTR) {
  }
  if (waited != 0) return false;
  ending.exitStatus = statusOf(info);
  reaped = true;
  return true;
}

// Only an unreaped child's group: once the child is reaped its id may be another's.
void ChildProcessRunner::signalGroup(int signal) {
  if (process.valid() && !reaped) kill(-childId, signal);
}

void ChildProcessRunner::Stop() {
  running = false;
  const auto terminated = Clock::now();
  {
    std::lock_guard lock(reaping);
    stopping = true;
    signalGroup(SIGTERM);
  }
  // The child finishes what it writes; only one that outlives the bound is killed.
  if (process.valid() && !reaped) waitUntilReadable(process.get(), terminated + pauses.killAfter);
  std::this_thread::sleep_until(terminated + pauses.afterTerminate);
  // Whatever of the group is still alive; a child that has ended is a zombie and keeps the
  // group's id from being reused until it is reaped below.
  signalGroup(SIGKILL);
  if (stopEvent.valid()) signalEvent(stopEvent.get());
  for (std::thread* worker : {&waiterThread, &outputThread, &errorThread})
    if (worker->joinable()) worker->join();
  currentJob = 0;  // read by the workers: changed only while none runs
  if (process.valid()) {
    while (!reaped && waitpid(childId, nullptr, 0) < 0 && errno == EINTR) {
    }
    process.reset();
  }
  childId = 0;
  reaped = false;
  stopping = false;
  std::this_thread::sleep_for(pauses.afterThreads);
  stdinWrite.reset();
  stdoutRead.reset();
  stderrRead.reset();
  std::this_thread::sleep_for(pauses.afterPipes);
  stopEvent.reset();
  readersDone.reset();
}
