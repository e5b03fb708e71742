#include "platform/Paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* entry = getpwuid(getuid());
    home = entry != nullptr ? entry->pw_dir : "/";
  }
  return WithTrailingSlash(home);
}

std::string ProgramFolder() {
  char buffer[4096];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "./";
  std::string path(buffer, static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  return WithTrailingSlash(slash == std::string::npos ? std::string() : path.substr(0, slash));
}

namespace {
// mkdir -p: creates every missing level of `folder`.
void CreateFolderChain(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1))
    mkdir(folder.substr(0, slash).c_str(), 0755);
  mkdir(folder.c_str(), 0755);
}
}  // namespace

std::string SystemFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const std::string base = dataHome != nullptr && *dataHome == '/'
                               ? WithTrailingSlash(dataHome)
                               : HomeFolder() + ".local/share/";
  const std::string folder = base + "vidmora/system/";
  CreateFolderChain(folder);
  return folder;
}

bool CreateDirectoryA(const std::string& path) {
  return !path.empty() && mkdir(path.c_str(), 0755) == 0;
}
