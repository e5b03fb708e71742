#pragma once
#include <string>
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
