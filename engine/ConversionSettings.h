#pragma once
#include <cstdint>
#include <string>

// Output format codes.
enum OutputFormat : std::int32_t { Avi = 1, Mpeg = 2, Wmv = 3 };
// Frame size codes.
enum SizeMode : std::int32_t { SourceSize = 1, CustomSize = 2 };
// The smallest width and height the Output Settings take.
inline constexpr std::int32_t kSmallestFrameSide = 10;
// What to do when the target file already exists; the code is the position of the choice
// in the Output Settings dialog's list.
enum ExistingFilePolicy : std::int32_t { AutoRename = 0, Overwrite = 1, Skip = 2 };

// How every source of a batch is converted. A plain value; every start of the program
// begins from the defaults below, nothing is stored between runs.
struct ConversionSettings {
  std::int32_t format = Avi;
  std::int32_t mpegVersion = 2;           // 1 MPEG-1, 2 MPEG-2; read only for Mpeg
  bool useDefaultQuality = true;          // true: no bit rates, no frame rate passed
  std::string videoBitrate = "500";       // kbit/s, passed verbatim
  std::string audioBitrate = "128";       // kbit/s, passed verbatim
  std::string frameRate = "29.97";        // frames per second, passed verbatim
  std::int32_t sizeMode = SourceSize;
  std::int32_t width = 320;               // used only with CustomSize
  std::int32_t height = 240;
  std::int32_t existingFilePolicy = AutoRename;
  std::string outputFolder;               // always ends in '/' when used

  bool operator==(const ConversionSettings&) const = default;
};

// The start-up settings: the defaults above with the output folder set to the user's
// home folder + "videooutput/".
ConversionSettings defaultConversionSettings();
