#include "process/EncoderDeployment.h"

#include <fcntl.h>
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

void deployOne(const std::string& programPath, const std::string& systemPath) {
  DeleteFileA(systemPath);
  std::vector<std::uint8_t> content;
  if (!readWholeFile(programPath, content)) return;
  for (std::uint8_t& byte : content) byte = encoder_contract::unscrambleByte(byte);
  WriteFileAtomically(systemPath, asText(content), 0755);
}

// CopyFileA with fail-if-exists: a plain, not runnable copy.
void restoreOne(const std::string& programPath, const std::string& systemPath) {
  DeleteFileA(systemPath);
  std::vector<std::uint8_t> content;
  if (!readWholeFile(programPath, content)) return;
  WriteFileAtomically(systemPath, asText(content), 0644, /*keepExisting=*/true);
}

}  // namespace

EncoderPaths encoderPaths(const std::string& programFolder, const std::string& systemFolder) {
  return {systemFolder + encoder_contract::kEncoderFile,
          systemFolder + encoder_contract::kCompanionFile,
          programFolder + encoder_contract::kEncoderFile,
          programFolder + encoder_contract::kCompanionFile};
}

void DeployEncoders(const EncoderPaths& paths) {
  deployOne(paths.companionProgramPath, paths.companionSystemPath);
  deployOne(paths.encoderProgramPath, paths.encoderSystemPath);
}

void RestoreEncoders(const EncoderPaths& paths) {
  restoreOne(paths.encoderProgramPath, paths.encoderSystemPath);
  restoreOne(paths.companionProgramPath, paths.companionSystemPath);
}
