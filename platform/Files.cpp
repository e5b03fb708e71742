#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

namespace {
// Writes all of `content`, going on after interruptions and short writes.
bool WriteAll(int fd, std::string_view content) {
  for (std::size_t written = 0; written < content.size();) {
    const ssize_t n = write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}
}  // namespace

long long FileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

bool AppendToFile(const std::string& path, std::string_view text) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool done = WriteAll(fd, text);
  return close(fd) == 0 && done;
}

bool WriteFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                         bool keepExisting) {
  const std::size_t slash = path.rfind('/');
  // A short name of its own, so that a long target name cannot make it too long.
  std::string temporary =
      (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".vidmora-XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool done = fchmod(fd, mode) == 0 && WriteAll(fd, content);
  done = fsync(fd) == 0 && done;
  done = close(fd) == 0 && done;
  if (done) {
    done = keepExisting ? link(temporary.c_str(), path.c_str()) == 0
                        : rename(temporary.c_str(), path.c_str()) == 0;
  }
  unlink(temporary.c_str());  // gone after a rename already; after a link, the spare name
  return done;
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return entries;
  const int at = dirfd(listing);
  while (const dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat own {};
    struct stat target {};
    if (fstatat(at, entry->d_name, &own, AT_SYMLINK_NOFOLLOW) != 0) continue;
    const bool link = S_ISLNK(own.st_mode);
    // A dangling link points at nothing: it is neither a file nor a folder.
    if (link && fstatat(at, entry->d_name, &target, 0) != 0) target = {};
    const struct stat& what = link ? target : own;
    FolderEntry::Kind kind = FolderEntry::Kind::Other;
    if (S_ISREG(what.st_mode)) kind = FolderEntry::Kind::File;
    else if (S_ISDIR(what.st_mode))
      kind = link ? FolderEntry::Kind::LinkToFolder : FolderEntry::Kind::Folder;
    entries.push_back({name, kind});
  }
  closedir(listing);
  return entries;
}
