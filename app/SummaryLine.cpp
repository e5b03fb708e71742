#include "app/SummaryLine.h"

namespace {
const char* formatPart(const ConversionSettings& settings) {
  switch (settings.format) {
    case Avi: return "AVI, ";
    case Wmv: return "WMV, ";
    case Mpeg:
      if (settings.mpegVersion == 1) return "MPEG1, ";
      if (settings.mpegVersion == 2) return "MPEG2, ";
      return "";
    default: return "";
  }
}

std::string sizePart(const ConversionSettings& settings) {
  if (settings.sizeMode == SourceSize) return "Original";
  if (settings.sizeMode == CustomSize)
    return std::to_string(settings.width) + "x" + std::to_string(settings.height);
  return "";
}
}  // namespace

std::string summaryLineText(const ConversionSettings& settings) {
  std::string line = "Output:";
  line += formatPart(settings);
  if (!settings.useDefaultQuality) {
    line += "Video:" + settings.videoBitrate + "kb/s, ";
    line += "Audio:" + settings.audioBitrate + "kb/s, ";
    line += "Framerate:" + settings.frameRate + "f/s, ";
  }
  return line + "Size: " + sizePart(settings);
}
