#include "app/WindowMetrics.h"

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Profile.h"

namespace {
const char* const kSection = "Status";
const char* const kFileName = "option.ini";

std::string UserOptionFolder() { return AppDataFolder() + "vidmora/"; }

int Read(const std::string& file, const char* key, int defaultValue) {
  return static_cast<int>(GetPrivateProfileIntA(kSection, key, defaultValue, file));
}

void Write(const std::string& file, const char* key, int value) {
  WritePrivateProfileStringA(kSection, key, std::to_string(value), file);
}

std::string OptionFileToRead(const std::string& programFolder) {
  const std::string userFile = UserOptionFolder() + kFileName;
  if (!FolderIsWritable(programFolder) && FileOpensForReading(userFile)) return userFile;
  return programFolder + kFileName;
}

// The user's file, with its folder made, when the program folder cannot take it.
std::string OptionFileToWrite(const std::string& programFolder) {
  if (FolderIsWritable(programFolder)) return programFolder + kFileName;
  CreateFolderChain(UserOptionFolder());
  return UserOptionFolder() + kFileName;
}
}  // namespace

ColumnWidths loadColumnWidths(const std::string& programFolder) {
  const std::string file = OptionFileToRead(programFolder);
  return {Read(file, "w0", 310), Read(file, "w1", 100), Read(file, "w2", 80)};
}

SIZE loadWindowSize(const std::string& programFolder) {
  const std::string file = OptionFileToRead(programFolder);
  const int width = Read(file, "Width", 560);
  const int height = Read(file, "Height", 375);
  return {width, height};
}

void saveWindowMetrics(const std::string& programFolder, SIZE outerSize,
                       const ColumnWidths& widths) {
  const std::string file = OptionFileToWrite(programFolder);
  Write(file, "Width", outerSize.cx);
  Write(file, "Height", outerSize.cy);
  Write(file, "w0", widths.w0);
  Write(file, "w1", widths.w1);
  Write(file, "w2", widths.w2);
}
