#pragma once
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>
// Whole-file questions the program asks of the file system.

// True when `path` names an existing regular file that can be opened for reading.
// A folder, or a file that exists but cannot be read, does not count.
bool FileOpensForReading(const std::string& path);

// GetFileAttributesA with FILE_ATTRIBUTE_DIRECTORY: `path` is an existing folder.
bool IsExistingFolder(const std::string& path);

// The caller may create and replace files in the folder `path` (access with W_OK: the
// folder's rights for this process, a read-only file system included).
bool FolderIsWritable(const std::string& path);

// DeleteFileA: removes a file; false when it could not be removed.
bool DeleteFileA(const std::string& path);

// The size in bytes of the file `path`; -1 when it cannot be looked at.
long long FileSize(const std::string& path);

// Renames `from` to `to`, replacing a file of that name; false when it could not be done.
bool RenameReplacing(const std::string& from, const std::string& to);

// Appends `text` to the file `path` with one write (repeated only for what a short write
// left), so that the lines of several processes appending to it never mix. The file is
// made (mode 0644) when missing. False when it could not be done.
bool AppendToFile(const std::string& path, std::string_view text);

// Makes `path` a file of `content` with the permission bits `mode` so that nobody ever
// sees a part of it: written to a temporary file beside it, synced, then renamed onto
// `path`. With `keepExisting` it only becomes `path` when no file has that name yet, and an
// existing one is kept. False when it could not be done; no temporary file is left.
bool WriteFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                         bool keepExisting = false);

// FindFirstFileA/FindNextFileA over one folder: its entries (not "." and ".."), each named
// and told apart by what it is. A link counts as what it points to, except that a link to a
// folder is told apart from a folder. Empty when the folder cannot be read.
struct FolderEntry {
  enum class Kind { File, Folder, LinkToFolder, Other };
  std::string name;
  Kind kind = Kind::Other;
};
std::vector<FolderEntry> ListFolder(const std::string& folder);
