#pragma once
#include <string>

#include "engine/ConversionSettings.h"

// The one-line summary of the settings shown above the file list, e.g.
// "Output:MPEG1, Video:800kb/s, Audio:192kb/s, Framerate:25.00f/s, Size: 640x480".
// The output folder and the existing-file policy are not shown.
std::string summaryLineText(const ConversionSettings& settings);
