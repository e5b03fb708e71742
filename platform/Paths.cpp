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

void CreateFolderChain(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1))
    mkdir(folder.substr(0, slash).c_str(), 0755);
  mkdir(folder.c_str(), 0755);
}

namespace {
// An XDG base folder: the variable when it holds an absolute path, else the home folder's
// `fallback`.
std::string BaseFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value == '/' ? WithTrailingSlash(value) : HomeFolder() + fallback;
}
}  // namespace

std::string SystemFolder() {
  const std::string folder = BaseFolder("XDG_DATA_HOME", ".local/share/") + "vidmora/system/";
  CreateFolderChain(folder);
  return folder;
}

std::string AppDataFolder() { return BaseFolder("XDG_CONFIG_HOME", ".config/"); }

std::string LocalAppDataFolder() { return BaseFolder("XDG_STATE_HOME", ".local/state/"); }

std::string GetFullPathNameA(const std::string& path) {
  if (path.empty()) return path;
  std::string whole = path;
  if (path.front() != '/') {
    char current[4096];
    if (getcwd(current, sizeof current) == nullptr) return path;
    whole = WithTrailingSlash(current) + path;
  }
  std::string full;
  for (std::size_t start = 0; start <= whole.size();) {
    std::size_t end = whole.find('/', start);
    if (end == std::string::npos) end = whole.size();
    const std::string part = whole.substr(start, end - start);
    if (!part.empty() && part != ".") full += '/' + part;
    start = end + 1;
  }
  if (full.empty() || whole.back() == '/') full += '/';
  return full;
}

bool CreateDirectoryA(const std::string& path) {
  return !path.empty() && mkdir(path.c_str(), 0755) == 0;
}
