#pragma once
#include <istream>
#include <string>
#include <vector>

// One source of a batch.
struct BatchSource {
  std::string path;       // as named, or the named folder joined with what lies below it
  std::string fullPath;   // what the encoder is given (GetFullPathNameA)
  std::string subfolder;  // where --mirror-folders puts its output below the output folder:
                          // "" or relative folders ending in '/'
  long long bytes = 0;    // its size, to tell the length of the batch before it is known
};

// A PATH that names neither a file nor a folder, and why.
struct MissingPath {
  std::string path, reason;
};

// The sources a batch's PATHs name, in order, each once (the first time it is named).
struct SourceListing {
  std::vector<BatchSource> sources;
  std::vector<MissingPath> missing;
  std::vector<std::string> emptyFolders;  // folders holding no .flv file
};

// Reads each PATH: a folder gives every .flv file under it as the window reads a dropped
// folder (FlvFilesInFolder), its subfolder the folders below the named one; a file is taken
// whatever its name, its subfolder the folders of its path when that is relative and has
// no "..", else none. "-" reads one PATH a line from `input` (once, however often named).
SourceListing listSources(const std::vector<std::string>& paths, std::istream& input);
