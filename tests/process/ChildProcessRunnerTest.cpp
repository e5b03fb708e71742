#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "process/ChildProcessRunner.h"
#include "tests/process/TemporaryFolder.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const ChildProcessRunner::StopPauses kShortPauses{1ms, 1ms, 1ms};

std::string childLine(const std::string& arguments) {
  return std::string("\"") + RUNNER_CHILD + "\" " + arguments;
}

std::size_t countEntries(const char* folder) {
  std::size_t count = 0;
  DIR* dir = opendir(folder);
  while (dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') ++count;
  closedir(dir);
  return count;
}

// A runner whose hooks record every call. The hooks run on the runner's threads, so all
// state is guarded.
class RecordingRunner {
 public:
  explicit RecordingRunner(ChildProcessRunner::StopPauses pauses = {}) : runner(hooks(), pauses) {}

  bool Start(const std::string& commandLine, std::size_t keptErrorText = 0) {
    return runner.Start(commandLine, keptErrorText);
  }
  void Stop() { runner.Stop(); }

  std::atomic<int> started{0};
  std::atomic<int> ended{0};
  std::atomic<int> status{-1};

  std::string output() { std::lock_guard lock(mutex); return stdoutText; }
  std::string errors() { std::lock_guard lock(mutex); return stderrText; }
  std::vector<std::size_t> chunkSizes() { std::lock_guard lock(mutex); return sizes; }
  std::string capturedAtEnd() { std::lock_guard lock(mutex); return capture; }

  // Waits until OnEnded has run, or standard output holds `text`, or `limit` has passed.
  bool waitForEnd(std::chrono::milliseconds limit = 10s) {
    return waitUntil([&] { return ended > 0; }, limit);
  }
  bool waitForOutput(const std::string& text) {
    return waitUntil([&] { return output().find(text) != std::string::npos; }, 10s);
  }

 private:
  ChildHooks hooks() {
    return {
        .OnStarted = [this](std::uint32_t) { ++started; },
        .OnOutputText =
            [this](std::uint32_t, std::string_view chunk) {
              std::lock_guard lock(mutex);
              stdoutText += chunk;
              sizes.push_back(chunk.size());
            },
        .OnErrorText =
            [this](std::uint32_t, std::string_view chunk) {
              std::lock_guard lock(mutex);
              stderrText += chunk;
              sizes.push_back(chunk.size());
            },
        .OnEnded =
            [this](std::uint32_t, const ChildEnding& ending) {
              {
                std::lock_guard lock(mutex);
                capture = ending.errorText;
              }
              status = ending.exitStatus;
              ++ended;
            },
    };
  }

  static bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto until = Clock::now() + limit;
    while (!done() && Clock::now() < until) std::this_thread::sleep_for(5ms);
    return done();
  }

  std::mutex mutex;
  std::string stdoutText, stderrText;
  std::vector<std::size_t> sizes;
  std::string capture;

 public:
  ChildProcessRunner runner;  // last: stopped before the recorded state goes
};

std::string pattern(std::size_t bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

bool processGone(pid_t pid) {
  const auto until = Clock::now() + 5s;
  while (Clock::now() < until) {
    if (kill(pid, 0) != 0 && errno == ESRCH) return true;
    // A reparented grandchild may linger as a zombie until its new parent reaps it.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidField, name, state;
    if (stat >> pidField >> name >> state && state == "Z") return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

// The bytes of address space the process holds now (VmSize).
rlim_t addressSpaceInUse() {
  std::ifstream status("/proc/self/status");
  std::string key;
  rlim_t kilobytes = 0;
  while (status >> key)
    if (key == "VmSize:" && status >> kilobytes) break;
  return kilobytes * 1024;
}

}  // namespace

TEST(RunnerStop, HoldsTheCallerAtLeast700msEvenWhenIdle) {
  RecordingRunner runner;
  for (int call = 0; call < 2; ++call) {
    const auto begin = Clock::now();
    runner.Stop();
    EXPECT_GE(Clock::now() - begin, 700ms) << "call " << call;
  }
}

TEST(RunnerStart, FailsWithoutAnyHookWhenTheChildCannotStart) {
  const TemporaryFolder folder;
  const std::string plain = folder.path() + "plain";
  const std::string garbage = folder.path() + "garbage";
  std::ofstream(plain) << "not a program\n";
  std::ofstream(garbage) << "\x01\x02\x03 not a program either\n";
  chmod(garbage.c_str(), 0755);

  const std::size_t descriptorsBefore = countEntries("/proc/self/fd");
  for (const std::string& line :
       {std::string("\"/no/such/encoder\" -i \"x.flv\""), std::string(""),
        "\"" + folder.path() + "\" -i x", "\"" + plain + "\"", "\"" + garbage + "\""}) {
    RecordingRunner runner(kShortPauses);
    EXPECT_FALSE(runner.Start(line)) << line;
    runner.Stop();
    EXPECT_EQ(runner.started, 0) << line;
    EXPECT_EQ(runner.ended, 0) << line;
  }
  EXPECT_EQ(countEntries("/proc/self/fd"), descriptorsBefore);
}

// With the address space held to what the process has now, no thread stack can be had
// (glibc's cache of old stacks is turned off for this by the test's environment).
TEST(RunnerStart, ThreadsThatCannotBeCreatedGiveAFailedStart) {
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  if (tunables == nullptr || std::string(tunables).find("stack_cache_size=0") == std::string::npos)
    GTEST_SKIP() << "needs GLIBC_TUNABLES=glibc.pthread.stack_cache_size=0";
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
  RecordingRunner runner(kShortPauses);
  std::string command = childLine("sleep");
  bool started = true;
  rlimit tight = saved;
  tight.rlim_cur = addressSpaceInUse() + (1 << 20);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  EXPECT_NO_THROW(started = runner.Start(command));
  setrlimit(RLIMIT_AS, &saved);
  EXPECT_FALSE(started);
  EXPECT_EQ(runner.started, 0);
  runner.Stop();
  EXPECT_TRUE(runner.Start(command)) << "the runner works again once threads can be had";
}

// No zombie is left until the next Start or Stop: the child is reaped as it ends.
TEST(RunnerEnd, ChildEndingByItselfIsReapedBeforeItsOneOnEnded) {
  RecordingRunner runner(kShortPauses);
  ASSERT_TRUE(runner.Start(childLine("exit 3")));
  EXPECT_EQ(runner.started, 1);
  const pid_t child = runner.runner.processId();
  ASSERT_TRUE(runner.waitForEnd());
  EXPECT_NE(kill(child, 0), 0) << "a zombie is left";
  EXPECT_EQ(runner.runner.processId(), child);
  std::this_thread::sleep_for(50ms);
  runner.Stop();
  EXPECT_EQ(runner.ended, 1);
  EXPECT_EQ(runner.status, 3);
  EXPECT_EQ(runner.runner.processId(), 0);
}

TEST(RunnerEnd, ChildEndedByStopGivesNoOnEnded) {
  RecordingRunner runner(kShortPauses);
  ASSERT_TRUE(runner.Start(childLine("sleep")));
  ASSERT_TRUE(runner.waitForOutput("ready"));
  runner.Stop();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(runner.ended, 0);
}

TEST(RunnerEnd, ExitStatusIsTheExitCodeOr128PlusTheSignal) {
  const struct {
    const char* arguments;
    int status;
  } cases[] = {{"exit 0", 0}, {"exit 3", 3}, {"exit 255", 255}, {"crash", 128 + SIGSEGV},
               {"unknown-mode", 2}};
  for (const auto& c : cases) {
    RecordingRunner runner(kShortPauses);
    ASSERT_TRUE(runner.Start(childLine(c.arguments)));
    ASSERT_TRUE(runner.waitForEnd()) << c.arguments;
    EXPECT_EQ(runner.status, c.status) << c.arguments;
  }
}

TEST(RunnerStop, WaitsForAChildThatTakesTimeToFinishAfterSigterm) {
  const TemporaryFolder folder;
  const std::string finished = folder.path() + "finished";
  RecordingRunner runner(kShortPauses);  // SIGKILL only after the default bound of 5 s
  ASSERT_TRUE(runner.Start(childLine("slow-term 1500 \"" + finished + "\"")));
  ASSERT_TRUE(runner.waitForOutput("ready"));
  runner.Stop();
  EXPECT_EQ(access(finished.c_str(), F_OK), 0) << "killed before it had finished";
  EXPECT_EQ(runner.ended, 0);
}

TEST(RunnerStop, EndsAChildAndGrandchildThatIgnoreSigterm) {
  RecordingRunner runner(ChildProcessRunner::StopPauses{1ms, 1ms, 1ms, 300ms});
  ASSERT_TRUE(runner.Start(childLine("ignore-term")));
  ASSERT_TRUE(runner.waitForOutput("\n"));
  pid_t child = 0, grandchild = 0;
  ASSERT_EQ(std::sscanf(runner.output().c_str(), "%d %d", &child, &grandchild), 2);
  runner.Stop();
  EXPECT_TRUE(processGone(child));
  EXPECT_TRUE(processGone(grandchild));
  EXPECT_EQ(runner.ended, 0);
}

// Both pipes are drained together and arrive whole, in chunks of 1 to 256 bytes; OnEnded
// sees as much of standard error's start as Start asked to keep.
TEST(RunnerOutput, ArrivesWholeInSmallChunksAndTheErrorTextsStartIsKeptOnlyWhenAsked) {
  const std::string mebibyte = pattern(1024 * 1024);
  const struct {
    std::string arguments;
    std::size_t kept;
    std::string output, errors, captured;
  } cases[] = {
      {"stdout 100000", 0, pattern(100000), "", ""},
      {"both 1048576", 0, mebibyte, mebibyte, ""},
      {"fds", 0, "3\n", "", ""},  // the child gets only its three standard descriptors
      {"stderr 10240", 2047, "", pattern(10240), pattern(2047)},
      {"stderr 1048576", 2047, "", mebibyte, pattern(2047)},
      {"stderr 300", 2047, "", pattern(300), pattern(300)},
      {"stderr 10000", 0, "", pattern(10000), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments + ", " + std::to_string(c.kept) + " kept");
    RecordingRunner runner(kShortPauses);
    ASSERT_TRUE(runner.Start(childLine(c.arguments), c.kept));
    ASSERT_TRUE(runner.waitForEnd(20s));
    EXPECT_TRUE(runner.output() == c.output) << runner.output().size() << " bytes of output";
    EXPECT_TRUE(runner.errors() == c.errors) << runner.errors().size() << " bytes of errors";
    EXPECT_EQ(runner.capturedAtEnd(), c.captured);
    const std::vector<std::size_t> sizes = runner.chunkSizes();
    EXPECT_EQ(std::count_if(sizes.begin(), sizes.end(), [](auto n) { return n < 1 || n > 256; }),
              0);
  }
}

// Short pauses keep 200 cycles fast; the pauses themselves are pinned by the tests above.
TEST(RunnerCycles, LeakNoDescriptorAndNoThreadOver200StartsAndStops) {
  RecordingRunner runner(kShortPauses);
  const std::size_t descriptors = countEntries("/proc/self/fd");
  const std::size_t threads = countEntries("/proc/self/task");
  for (int cycle = 0; cycle < 200; ++cycle) {
    runner.Stop();
    ASSERT_TRUE(runner.Start(childLine(cycle % 2 == 0 ? "exit 0" : "sleep")));
  }
  runner.Stop();
  EXPECT_EQ(countEntries("/proc/self/fd"), descriptors);
  EXPECT_EQ(countEntries("/proc/self/task"), threads);
  EXPECT_EQ(runner.started, 200);
}

TEST(RunnerJob, NumbersEveryStartAndClearsOnStop) {
  ChildProcessRunner runner({}, kShortPauses);
  EXPECT_EQ(runner.jobNumber(), 0u);
  ASSERT_TRUE(runner.Start(childLine("exit 0")));
  const std::uint32_t first = runner.jobNumber();
  EXPECT_NE(first, 0u);
  EXPECT_GT(runner.processId(), 0);
  runner.Stop();
  EXPECT_EQ(runner.jobNumber(), 0u);
  EXPECT_EQ(runner.processId(), 0);
  EXPECT_FALSE(runner.Start("\"/no/such/encoder\""));
  EXPECT_GT(runner.jobNumber(), first);
  runner.Stop();
}
