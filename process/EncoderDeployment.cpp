#include "process/EncoderDeployment.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

#include "encoder/contract/DeploymentKey.h"
#include "encoder/contract/EncoderContract.h"
#include "platform/Files.h"

namespace {

// The whole content of `path`, or false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& content) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool complete = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (complete) {
    content.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (complete && done < content.size()) {
      const ssize_t n = read(fd, content.data() + done, content.size() - done);
      if (n < 0 && errno == EINTR) continue;
      complete = n > 0;
      if (complete) done += static_cast<std::size_t>(n);
    }
  }
  close(fd);
  return complete;
}

std::string_view asText(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A copy a window could run: a regular file with the owner's execute bit.
bool runnable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IXUSR);
}

// With `keepRunnable`, a system-folder copy that can run already is left as it is.
void deployOne(const std::string& programPath, const std::string& systemPath,
               bool keepRunnable) {
  if (keepRunnable && runnable(systemPath)) return;
  DeleteFileA(systemPath);
  std::vector<std::uint8_t> content;
  if (!readWholeFile(programPath, content)) return;
  for (std::uint8_t& byte : content) byte = encoder_contract::unscrambleByte(byte);
  WriteFileAtomically(systemPath, asText(content), 0755);
}

void deployBoth(const EncoderPaths& paths, bool keepRunnable) {
  deployOne(paths.companionProgramPath, paths.companionSystemPath, keepRunnable);
  deployOne(paths.encoderProgramPath, paths.encoderSystemPath, keepRunnable);
}

// CopyFileA with fail-if-exists: a plain, not runnable copy.
void restoreOne(const std::string& programPath, const std::string& systemPath) {
  DeleteFileA(systemPath);
  std::vector<std::uint8_t> content;
  if (!readWholeFile(programPath, content)) return;
  WriteFileAtomically(systemPath, asText(content), 0644, /*keepExisting=*/true);
}

// The lock files sit beside the runnable copies.
std::string lockPath(const EncoderPaths& paths, const char* name) {
  const std::string& copy = paths.encoderSystemPath;
  return copy.substr(0, copy.rfind('/') + 1) + name;
}

// Close-on-exec: an encoder this window starts must not hold the window's locks, or a
// window that died would still count as running while its last encoder runs on.
UniqueFd openLockFile(const std::string& path) {
  return UniqueFd(open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
}

bool takeLock(const UniqueFd& file, int operation) {
  if (!file.valid()) return false;
  int result;
  do result = flock(file.get(), operation);
  while (result != 0 && errno == EINTR);
  return result == 0;
}

// No other window holds `windowLock` shared: it can be had exclusively at once. A lock
// that does not work (no file, a file system without flock) counts as no other window.
bool noOtherWindow(const UniqueFd& windowLock) {
  if (!windowLock.valid()) return true;
  return takeLock(windowLock, LOCK_EX | LOCK_NB) || errno != EWOULDBLOCK;
}

// The gate: held exclusively, blocking, around each start's and each exit's look at the
// other windows and its work on the copies; released when it goes out of scope. Without it
// a start and an exit racing each other go wrong, because flock changes a held lock
// (shared to exclusive, or back) by dropping it and then taking the new one, not in one
// step: an exiting window could hold `windows.lock` exclusively for the moment in which a
// starting one is refused it, so the start decides it is not alone and keeps the copies
// the exit then scrambles; or a start turning its exclusive lock into a shared one leaves
// a gap in which an exit finds no other window and scrambles what the start has just
// deployed. Every exclusive lock on `windows.lock` is taken under the gate, so the shared
// ones never wait for it.
UniqueFd passGate(const EncoderPaths& paths) {
  UniqueFd gate = openLockFile(lockPath(paths, "windows.gate"));
  if (!takeLock(gate, LOCK_EX)) gate.reset();  // the decision goes on without it
  return gate;
}

}  // namespace

EncoderPaths encoderPaths(const std::string& programFolder, const std::string& systemFolder) {
  return {systemFolder + encoder_contract::kEncoderFile,
          systemFolder + encoder_contract::kCompanionFile,
          programFolder + encoder_contract::kEncoderFile,
          programFolder + encoder_contract::kCompanionFile};
}

void DeployEncoders(const EncoderPaths& paths) { deployBoth(paths, /*keepRunnable=*/false); }

void RestoreEncoders(const EncoderPaths& paths) {
  restoreOne(paths.encoderProgramPath, paths.encoderSystemPath);
  restoreOne(paths.companionProgramPath, paths.companionSystemPath);
}

EncoderDeployment::EncoderDeployment(const EncoderPaths& encoderPaths)
    : paths(encoderPaths), windowLock(openLockFile(lockPath(paths, "windows.lock"))) {
  const UniqueFd gate = passGate(paths);
  // Alone, a copy may be stale (a window that crashed, another build): all are rewritten.
  // Beside running windows only what none of them can run is.
  deployBoth(paths, /*keepRunnable=*/!noOtherWindow(windowLock));
  takeLock(windowLock, LOCK_SH);  // from exclusive or from nothing; nobody else decides now
}

EncoderDeployment::~EncoderDeployment() {
  const UniqueFd gate = passGate(paths);
  if (noOtherWindow(windowLock)) RestoreEncoders(paths);
  windowLock.reset();  // released before the gate, so the next start finds this window gone
}
