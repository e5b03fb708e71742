#include "engine/ConversionLog.h"

#include <cstdio>
#include <ctime>
#include <utility>

#include "platform/Files.h"
#include "platform/Paths.h"

namespace {
std::string escaped(const std::string& field) {
  std::string text;
  for (const char c : field) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') text += "\\\\";
    else if (c == '\t') text += "\\t";
    else if (c == '\n') text += "\\n";
    else if (c == '\r') text += "\\r";
    else if (byte < 0x20 || byte == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", byte);
      text += code;
    } else {
      text += c;
    }
  }
  return text;
}

std::string localTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[32] = "";
  if (localtime_r(&now, &local) != nullptr)
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}
}  // namespace

ConversionLog::ConversionLog(std::string path, std::int64_t limit)
    : filePath(std::move(path)), bound(limit) {}

void ConversionLog::record(const ConversionRecord& record) {
  const std::size_t slash = filePath.rfind('/');
  if (slash != std::string::npos) CreateFolderChain(filePath.substr(0, slash));
  if (FileSize(filePath) >= bound) RenameReplacing(filePath, filePath + ".1");
  AppendToFile(filePath, localTimeNow() + '\t' + escaped(record.source) + '\t' +
                             escaped(record.command) + '\t' + escaped(record.ending) + '\t' +
                             escaped(record.errorLine) + '\n');
}

std::string defaultConversionLogPath() { return LocalAppDataFolder() + "vidmora/vidmora.log"; }
