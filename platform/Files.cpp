#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileOpensForReading(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  close(fd);
  return regular;
}

bool IsExistingFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FolderIsWritable(const std::string& path) {
  return IsExistingFolder(path) && access(path.c_str(), W_OK | X_OK) == 0;
}

bool DeleteFileA(const std::string& path) { return unlink(path.c_str()) == 0; }
