#include "batch/SourceList.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include "engine/SourceFolder.h"
#include "platform/Paths.h"

namespace {

// The folders of a relative file path, "." parts left out, ending in '/'; "" for a path
// that is absolute or goes up ("..") and so names no place below the output folder.
std::string relativeFolders(const std::string& path) {
  if (path.empty() || path.front() == '/') return {};
  std::string folders;
  std::size_t start = 0;
  for (std::size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1) {
    const std::string part = path.substr(start, slash - start);
    if (part == "..") return {};
    if (!part.empty() && part != ".") folders += part + "/";
  }
  return folders;
}

class Lister {
 public:
  explicit Lister(SourceListing& listing) : listing(listing) {}

  void read(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
      listing.missing.push_back({path, std::strerror(errno)});
    } else if (S_ISDIR(info.st_mode)) {
      readFolder(path);
    } else {
      add(path, relativeFolders(path), info.st_size);
    }
  }

 private:
  void readFolder(const std::string& path) {
    const std::string folder = WithTrailingSlash(path);
    const std::vector<std::string> files = FlvFilesInFolder(folder);
    if (files.empty()) listing.emptyFolders.push_back(path);
    for (const std::string& file : files) {
      struct stat info {};
      const long long bytes = stat(file.c_str(), &info) == 0 ? info.st_size : 0;
      const std::string below = file.substr(folder.size());
      add(file, below.substr(0, below.rfind('/') + 1), bytes);
    }
  }

  void add(const std::string& path, const std::string& subfolder, long long bytes) {
    std::string fullPath = GetFullPathNameA(path);
    if (!named.insert(fullPath).second) return;
    listing.sources.push_back({path, std::move(fullPath), subfolder, bytes});
  }

  SourceListing& listing;
  std::set<std::string> named;
};

}  // namespace

SourceListing listSources(const std::vector<std::string>& paths, std::istream& input) {
  SourceListing listing;
  Lister lister(listing);
  bool inputRead = false;
  for (const std::string& path : paths) {
    if (path != "-") {
      lister.read(path);
    } else if (!std::exchange(inputRead, true)) {
      for (std::string line; std::getline(input, line);)
        if (!line.empty()) lister.read(line);
    }
  }
  return listing;
}
