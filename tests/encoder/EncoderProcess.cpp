#include "tests/encoder/EncoderProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "encoder/contract/EncoderContract.h"

extern char** environ;

namespace encoder_test {

namespace {
// Frames an encoder may take before it gives its first packet: MPEG's two B-frames and the
// frame after them.
constexpr int kFramesHeldBack = 3;
}  // namespace

EncoderProcess::EncoderProcess(const std::string& executable,
                               const std::vector<std::string>& args) {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(executable.c_str()));
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  started = std::chrono::steady_clock::now();
  const int spawned =
      posix_spawn(&childPid, executable.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  errorPipe = pipeEnds[0];
  if (spawned != 0) {
    close(errorPipe);
    throw std::runtime_error("cannot start " + executable);
  }
}

EncoderProcess::~EncoderProcess() {
  if (childPid > 0) {
    ::kill(childPid, SIGKILL);
    waitpid(childPid, nullptr, 0);
  }
  if (errorPipe >= 0) close(errorPipe);
}

bool EncoderProcess::readChunk(std::chrono::milliseconds wait) {
  pollfd ready{errorPipe, POLLIN, 0};
  if (poll(&ready, 1, static_cast<int>(wait.count())) <= 0) return true;
  char buffer[256];
  const ssize_t got = read(errorPipe, buffer, sizeof buffer);
  if (got <= 0) return pipeOpen = false;
  collected.chunks.emplace_back(buffer, static_cast<std::size_t>(got));
  collected.errorText.append(buffer, static_cast<std::size_t>(got));
  return true;
}

bool EncoderProcess::waitFor(const std::function<bool(const std::string&)>& seen,
                             std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (pipeOpen && !seen(collected.errorText) && std::chrono::steady_clock::now() < deadline)
    readChunk(std::chrono::milliseconds(50));
  return seen(collected.errorText);
}

bool EncoderProcess::waitForText(const std::string& marker, std::chrono::milliseconds timeout) {
  return waitFor([&](const std::string& text) { return text.find(marker) != std::string::npos; },
                 timeout);
}

bool EncoderProcess::waitForFrames(std::chrono::milliseconds timeout) {
  return waitFor(
      [](const std::string& text) {
        for (auto at = text.find("frame="); at != std::string::npos; at = text.find("frame=", at + 1))
          if (std::atoi(text.c_str() + at + 6) > kFramesHeldBack) return true;
        return false;
      },
      timeout);
}

void EncoderProcess::terminate() { ::kill(childPid, SIGTERM); }

void EncoderProcess::kill() { ::kill(childPid, SIGKILL); }

EncoderRun EncoderProcess::finish(std::chrono::milliseconds timeout) {
  const auto deadline = started + timeout;
  while (pipeOpen && std::chrono::steady_clock::now() < deadline)
    readChunk(std::chrono::milliseconds(50));
  if (pipeOpen) {
    collected.timedOut = true;
    ::kill(childPid, SIGKILL);
  }
  int status = 0;
  waitpid(childPid, &status, 0);
  childPid = -1;
  collected.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (WIFEXITED(status)) collected.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) collected.signal = WTERMSIG(status);
  return collected;
}

EncoderRun runEncoder(const std::string& executable, const std::vector<std::string>& args,
                      std::chrono::milliseconds timeout) {
  EncoderProcess process(executable, args);
  return process.finish(timeout);
}

std::vector<OutputFormat> outputFormats(const std::string& zandrio, const std::string& quimbel) {
  namespace ec = encoder_contract;
  return {{ec::kCodecAvi, zandrio, ec::kExtensionAvi},
          {ec::kCodecMpeg1, zandrio, ec::kExtensionMpeg},
          {ec::kCodecMpeg2, zandrio, ec::kExtensionMpeg},
          {ec::kCodecWmv, quimbel, ec::kExtensionWmv}};
}

}  // namespace encoder_test
