#include "platform/Profile.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/Files.h"
#include "platform/Numbers.h"

namespace {
std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

// The name of a "[section]" line, or nothing.
std::optional<std::string> SectionName(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

// The key of a "key=value" line, or nothing (comments, blank lines).
std::optional<std::string> KeyName(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return Trim(trimmed.substr(0, equals));
}

struct IniText {
  std::vector<std::string> lines;
  std::string newline = "\n";
};

std::optional<IniText> ReadIni(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream content;
  content << in.rdbuf();
  IniText ini;
  const std::string text = content.str();
  if (text.find("\r\n") != std::string::npos) ini.newline = "\r\n";
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ini.lines.push_back(std::move(line));
    start = end + 1;
  }
  return ini;
}

// Where a key's line is, and where its section's lines end.
struct Place {
  std::optional<std::size_t> section;  // the section's header line
  std::optional<std::size_t> key;      // the key's line
  std::size_t insertAt = 0;            // after the section's last non-blank line
};

Place Find(const IniText& ini, const std::string& section, const std::string& key) {
  Place place;
  bool inSection = false;
  for (std::size_t i = 0; i < ini.lines.size(); ++i) {
    if (const auto name = SectionName(ini.lines[i])) {
      if (inSection) break;
      inSection = !place.section && SameName(*name, section);
      if (inSection) {
        place.section = i;
        place.insertAt = i + 1;
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trim(ini.lines[i]).empty()) place.insertAt = i + 1;
    if (const auto name = KeyName(ini.lines[i]); name && !place.key && SameName(*name, key))
      place.key = i;
  }
  return place;
}

// The file's own permission bits are kept; a new file gets 0644.
bool WriteWhole(const std::string& file, const std::string& content) {
  struct stat existing {};
  const mode_t mode = stat(file.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
  return WriteFileAtomically(file, content, mode);
}
}  // namespace

std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, const std::string& file) {
  const std::optional<IniText> ini = ReadIni(file);
  if (!ini) return defaultValue;
  const Place place = Find(*ini, section, key);
  if (!place.key) return defaultValue;
  const std::string& line = ini->lines[*place.key];
  return Trim(line.substr(line.find('=') + 1));
}

UINT GetPrivateProfileIntA(const std::string& section, const std::string& key, int defaultValue,
                           const std::string& file) {
  const std::string missing = "\n";  // no value can hold a line break
  const std::string value = GetPrivateProfileStringA(section, key, missing, file);
  if (value == missing) return static_cast<UINT>(defaultValue);
  return static_cast<UINT>(LeadingNumber(value));
}

BOOL WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                const std::string& value, const std::string& file) {
  IniText ini = ReadIni(file).value_or(IniText{});
  const Place place = Find(ini, section, key);
  const std::string line = key + "=" + value;
  if (place.key) {
    ini.lines[*place.key] = line;
  } else if (place.section) {
    ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(place.insertAt), line);
  } else {
    ini.lines.push_back("[" + section + "]");
    ini.lines.push_back(line);
  }
  std::string content;
  for (const std::string& each : ini.lines) content += each + ini.newline;
  return WriteWhole(file, content) ? TRUE : FALSE;
}
