#include "app/WindowMetrics.h"

#include "platform/Profile.h"

namespace {
const char* const kSection = "Status";

std::string OptionFile(const std::string& programFolder) { return programFolder + "option.ini"; }

int Read(const std::string& programFolder, const char* key, int defaultValue) {
  return static_cast<int>(
      GetPrivateProfileIntA(kSection, key, defaultValue, OptionFile(programFolder)));
}

void Write(const std::string& programFolder, const char* key, int value) {
  WritePrivateProfileStringA(kSection, key, std::to_string(value), OptionFile(programFolder));
}
}  // namespace

ColumnWidths loadColumnWidths(const std::string& programFolder) {
  return {Read(programFolder, "w0", 310), Read(programFolder, "w1", 100),
          Read(programFolder, "w2", 80)};
}

SIZE loadWindowSize(const std::string& programFolder) {
  const int width = Read(programFolder, "Width", 560);
  const int height = Read(programFolder, "Height", 375);
  return {width, height};
}

void saveWindowMetrics(const std::string& programFolder, SIZE outerSize,
                       const ColumnWidths& widths) {
  Write(programFolder, "Width", outerSize.cx);
  Write(programFolder, "Height", outerSize.cy);
  Write(programFolder, "w0", widths.w0);
  Write(programFolder, "w1", widths.w1);
  Write(programFolder, "w2", widths.w2);
}
