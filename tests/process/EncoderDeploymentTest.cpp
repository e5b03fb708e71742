#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "encoder/contract/DeploymentKey.h"
#include "platform/Files.h"
#include "platform/UniqueFd.h"
#include "process/ChildProcessRunner.h"
#include "process/EncoderDeployment.h"
#include "tests/process/TemporaryFolder.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string transformed(std::string bytes, std::uint8_t (*map)(std::uint8_t)) {
  for (char& c : bytes) c = static_cast<char>(map(static_cast<std::uint8_t>(c)));
  return bytes;
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

mode_t modeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

// The file at a path, held open so that its inode cannot be reused: while the path still
// names that inode, the file was never replaced.
class HeldFile {
 public:
  explicit HeldFile(std::string file)
      : path(std::move(file)), fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  bool stillInPlace() const {
    struct stat held {}, now {};
    return fstat(fd.get(), &held) == 0 && stat(path.c_str(), &now) == 0 &&
           held.st_ino == now.st_ino;
  }

 private:
  std::string path;
  UniqueFd fd;
};

std::set<std::string> namesIn(const std::string& folder) {
  std::set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') names.insert(entry->d_name);
  closedir(dir);
  return names;
}

// A program folder and a system folder of the test's own.
class Deployment : public ::testing::Test {
 protected:
  void SetUp() override {
    programFolder = root + "program/";
    systemFolder = root + "system/";
    mkdir(programFolder.c_str(), 0755);
    mkdir(systemFolder.c_str(), 0755);
    paths = encoderPaths(programFolder, systemFolder);
  }
  // Program-folder files of the given content; the runnable copies they give.
  void ship(const std::string& encoder, const std::string& companion) {
    writeFile(paths.encoderProgramPath, shippedEncoder = encoder);
    writeFile(paths.companionProgramPath, shippedCompanion = companion);
    runnableEncoder = transformed(encoder, encoder_contract::unscrambleByte);
    runnableCompanion = transformed(companion, encoder_contract::unscrambleByte);
  }
  // Both system-folder copies are the runnable ones, mode 0755.
  bool deployed() const {
    return readFile(paths.encoderSystemPath) == runnableEncoder &&
           readFile(paths.companionSystemPath) == runnableCompanion &&
           modeOf(paths.encoderSystemPath) == 0755 && modeOf(paths.companionSystemPath) == 0755;
  }
  // Both are the shipped scrambled files again, not executable.
  bool restored() const {
    return readFile(paths.encoderSystemPath) == shippedEncoder &&
           readFile(paths.companionSystemPath) == shippedCompanion &&
           (modeOf(paths.encoderSystemPath) & 0111) == 0 &&
           (modeOf(paths.companionSystemPath) & 0111) == 0;
  }
  TemporaryFolder folder;
  const std::string& root = folder.path();
  std::string programFolder, systemFolder;
  EncoderPaths paths;
  std::string shippedEncoder, shippedCompanion, runnableEncoder, runnableCompanion;
};

std::string everyByte() {
  std::string bytes;
  for (int i = 0; i < 256 * 4; ++i) bytes += static_cast<char>(i * 37 + i / 256);
  return bytes;
}

}  // namespace

TEST_F(Deployment, PathsJoinTheFoldersAndTheFileNames) {
  EXPECT_EQ(paths.encoderSystemPath, systemFolder + "zandrio.dll");
  EXPECT_EQ(paths.companionSystemPath, systemFolder + "quimbel.dll");
  EXPECT_EQ(paths.encoderProgramPath, programFolder + "zandrio.dll");
  EXPECT_EQ(paths.companionProgramPath, programFolder + "quimbel.dll");
}

TEST_F(Deployment, StartUnscramblesRunnableCopiesAndExitPutsThePlainBytesBack) {
  ship(everyByte(), everyByte().substr(100) + "companion");
  writeFile(paths.encoderSystemPath, "stale");
  DeployEncoders(paths);
  EXPECT_TRUE(deployed());
  EXPECT_EQ(namesIn(systemFolder), (std::set<std::string>{"quimbel.dll", "zandrio.dll"}));
  RestoreEncoders(paths);
  EXPECT_TRUE(restored());
  EXPECT_EQ(namesIn(systemFolder), (std::set<std::string>{"quimbel.dll", "zandrio.dll"}));
  // The program folder is only read.
  EXPECT_EQ(readFile(paths.encoderProgramPath), shippedEncoder);
  EXPECT_EQ(readFile(paths.companionProgramPath), shippedCompanion);
}

TEST_F(Deployment, EmptyProgramFileGivesEmptySystemFile) {
  writeFile(paths.encoderProgramPath, "");
  DeployEncoders(paths);
  EXPECT_TRUE(exists(paths.encoderSystemPath));
  EXPECT_EQ(readFile(paths.encoderSystemPath), "");
}

TEST_F(Deployment, MissingCompanionLeavesOnlyWmvWithoutAnEncoder) {
  const std::string program = readFile(RUNNER_CHILD);
  writeFile(paths.encoderProgramPath, transformed(program, encoder_contract::scrambleByte));
  writeFile(paths.companionSystemPath, "left over from an earlier run");

  DeployEncoders(paths);
  EXPECT_FALSE(exists(paths.companionSystemPath));
  ChildProcessRunner runner({}, ChildProcessRunner::StopPauses{{}, {}, {}});
  EXPECT_TRUE(runner.Start("\"" + paths.encoderSystemPath + "\" exit 0"));
  runner.Stop();
  EXPECT_FALSE(runner.Start("\"" + paths.companionSystemPath + "\" exit 0"));
  runner.Stop();
}

TEST_F(Deployment, UnwritableSystemFolderLeavesNothingBehind) {
  writeFile(paths.encoderProgramPath, "abc");
  const EncoderPaths nowhere = encoderPaths(programFolder, root + "missing/");
  DeployEncoders(nowhere);
  EXPECT_FALSE(exists(nowhere.encoderSystemPath));
  EXPECT_EQ(namesIn(root), (std::set<std::string>{"program", "system"}));
}

TEST_F(Deployment, UnreadableProgramFileIsNotDeployed) {
  mkdir(paths.encoderProgramPath.c_str(), 0755);  // a folder where the file should be
  DeployEncoders(paths);
  EXPECT_FALSE(exists(paths.encoderSystemPath));
  EXPECT_TRUE(namesIn(systemFolder).empty());
}

TEST_F(Deployment, RestoreDoesNotOverwriteWhatItCannotRemove) {
  writeFile(paths.encoderProgramPath, "scrambled");
  mkdir(paths.encoderSystemPath.c_str(), 0755);  // cannot be removed as a file
  RestoreEncoders(paths);
  struct stat info {};
  ASSERT_EQ(stat(paths.encoderSystemPath.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(namesIn(systemFolder), std::set<std::string>{"zandrio.dll"});
}

TEST_F(Deployment, WindowsShareTheCopiesAndOnlyTheLastToCloseRestoresThem) {
  ship(everyByte(), "companion");
  std::optional<EncoderDeployment> first, second;
  first.emplace(paths);
  ASSERT_TRUE(deployed());
  const HeldFile encoder(paths.encoderSystemPath), companion(paths.companionSystemPath);

  second.emplace(paths);  // never rewritten under the first window
  EXPECT_TRUE(encoder.stillInPlace());
  EXPECT_TRUE(companion.stillInPlace());

  first.reset();
  EXPECT_TRUE(deployed());
  EXPECT_TRUE(encoder.stillInPlace());
  second.reset();
  EXPECT_TRUE(restored());

  first.emplace(paths);  // alone again: deploys as the first window did
  EXPECT_TRUE(deployed());
  first.reset();
  EXPECT_TRUE(restored());
}

TEST_F(Deployment, AStartBesideARunningWindowDeploysOnlyWhatNoWindowCanRun) {
  ship("encoder", "companion");
  const struct {
    const char* state;
    std::function<void()> make;
    std::string expected;
  } cases[] = {
      {"missing", [&] { unlink(paths.encoderSystemPath.c_str()); }, runnableEncoder},
      {"scrambled back by an older program's exit", [&] { RestoreEncoders(paths); },
       runnableEncoder},
      {"another build's runnable copy",
       [&] { WriteFileAtomically(paths.encoderSystemPath, "other build", 0755); },
       "other build"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    std::optional<EncoderDeployment> running(std::in_place, paths);
    c.make();
    const EncoderDeployment starting(paths);
    EXPECT_EQ(readFile(paths.encoderSystemPath), c.expected);
    EXPECT_EQ(modeOf(paths.encoderSystemPath), 0755u);
    EXPECT_EQ(readFile(paths.companionSystemPath), runnableCompanion);
    running.reset();
    EXPECT_EQ(readFile(paths.encoderSystemPath), c.expected);  // the other window still runs
  }
}

// The kernel drops a dead window's lock, also while an encoder it started runs on.
TEST_F(Deployment, AWindowKilledWhileItsEncoderRunsNoLongerCounts) {
  ship("encoder", "companion");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t window = fork();
  if (window == 0) {
    setpgid(0, 0);  // its encoder goes in its group, to be ended with it at the end
    const EncoderDeployment deployment(paths);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 1);  // "ready" once it runs
    char* const arguments[] = {const_cast<char*>(RUNNER_CHILD), const_cast<char*>("sleep"),
                               nullptr};
    pid_t encoder = 0;
    posix_spawn(&encoder, RUNNER_CHILD, &actions, nullptr, arguments, environ);
    close(ready[1]);  // a failed spawn leaves the pipe without a writer
    for (;;) pause();
  }
  close(ready[1]);
  char said[6] = {};
  const ssize_t heard = read(ready[0], said, sizeof said);
  close(ready[0]);
  kill(window, SIGKILL);
  waitpid(window, nullptr, 0);
  ASSERT_EQ(heard, static_cast<ssize_t>(sizeof said));
  WriteFileAtomically(paths.encoderSystemPath, "stale", 0755);

  std::optional<EncoderDeployment> alone(std::in_place, paths);
  EXPECT_TRUE(deployed());  // the stale copy was rewritten: no other window runs
  alone.reset();
  EXPECT_TRUE(restored());
  kill(-window, SIGKILL);
}

// Two windows start and close over and over, in two processes: neither ever sees its
// copies scrambled or missing while it runs.
TEST_F(Deployment, StartsAndExitsRacingEachOtherNeverTakeTheCopiesFromAWindow) {
  ship(everyByte(), "companion");
  const auto startAndCloseOften = [this] {
    int broken = 0;
    for (int round = 0; round < 100; ++round) {
      {
        const EncoderDeployment window(paths);
        broken += !deployed();
        sched_yield();
        broken += !deployed();
      }
      usleep(round % 4 * 100);  // now and then no window runs, so starts meet exits
    }
    return broken;
  };
  const pid_t other = fork();
  if (other == 0) _exit(startAndCloseOften() == 0 ? 0 : 1);
  EXPECT_EQ(startAndCloseOften(), 0);
  int status = -1;
  waitpid(other, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(restored());
}
