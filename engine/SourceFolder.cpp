#include "engine/SourceFolder.h"

#include <algorithm>
#include <cctype>

#include "platform/Files.h"

namespace {

// Nested folders deeper than this are not read: only a mount inside itself reaches it.
constexpr int kDeepestFolder = 64;

bool hasFlvExtension(const std::string& name) {
  static const std::string kExtension = ".flv";
  if (name.size() <= kExtension.size()) return false;
  return std::equal(kExtension.begin(), kExtension.end(), name.end() - 4,
                    [](char want, char got) { return want == std::tolower(static_cast<unsigned char>(got)); });
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// -1, 0 or 1 as `a` sorts before, with or after `b`, letter case aside and runs of digits
// compared by their value.
int compareNames(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      std::size_t endA = i, endB = j;
      while (endA < a.size() && isDigit(a[endA])) ++endA;
      while (endB < b.size() && isDigit(b[endB])) ++endB;
      if (endA - i != endB - j) return endA - i < endB - j ? -1 : 1;
      const int digits = a.compare(i, endA - i, b, j, endB - j);
      if (digits != 0) return digits < 0 ? -1 : 1;
      i = endA;
      j = endB;
      continue;
    }
    const int x = std::tolower(static_cast<unsigned char>(a[i]));
    const int y = std::tolower(static_cast<unsigned char>(b[j]));
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  return 0;
}

void collect(const std::string& folder, int depth, std::vector<std::string>& found) {
  if (depth > kDeepestFolder) return;
  std::vector<FolderEntry> entries = ListFolder(folder);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    return ComesBeforeByName(a.name, b.name);
  });
  for (const FolderEntry& entry : entries) {
    if (entry.name.front() == '.') continue;
    const std::string path = folder + entry.name;
    if (entry.kind == FolderEntry::Kind::Folder)
      collect(path + "/", depth + 1, found);
    else if (entry.kind == FolderEntry::Kind::File && hasFlvExtension(entry.name))
      found.push_back(path);
  }
}

}  // namespace

bool ComesBeforeByName(const std::string& a, const std::string& b) {
  const int order = compareNames(a, b);
  // Names the same but for letter case or leading zeros keep one order all the same.
  return order != 0 ? order < 0 : a < b;
}

std::vector<std::string> FlvFilesInFolder(const std::string& folder) {
  std::vector<std::string> found;
  if (folder.empty()) return found;
  collect(folder.back() == '/' ? folder : folder + "/", 0, found);
  return found;
}
