#pragma once
#include <string>

#include "engine/ConversionSettings.h"

// The one command line of a conversion or probe, handed whole to the child process runner.
using EncoderCommand = std::string;

// The conversion command for one source:
//   "ENCODER" -i "SOURCE" -vcodec CODEC [-b V -r R -ab A] [-s WxH] -y "TARGET"
// The bit rates and frame rate appear only without default quality, the size only with a
// custom size. WMV runs `companionPath`, every other format `encoderPath`. Codes outside
// their domains give an empty command. Paths go between double quotes unchanged, except
// that a double quote (or a trailing backslash) is escaped so the argument survives.
EncoderCommand composeEncoderCommand(const ConversionSettings& settings,
                                     const std::string& sourcePath,
                                     const std::string& targetPath,
                                     const std::string& encoderPath,
                                     const std::string& companionPath);

// The probe command: "ENCODER" -i "SOURCE", nothing after it.
EncoderCommand composeProbeCommand(const std::string& encoderPath,
                                   const std::string& sourcePath);

// The video codec token and the target extension of the settings' format,
// or nullptr for codes outside their domains.
const char* codecToken(const ConversionSettings& settings);
const char* targetExtension(const ConversionSettings& settings);
