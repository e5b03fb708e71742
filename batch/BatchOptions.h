#pragma once
#include <string>
#include <vector>

#include "engine/ConversionSettings.h"

// What the command line of vidmora-batch asks for.
struct BatchOptions {
  ConversionSettings settings;  // the output folder as given, or the start-up one
  bool outputGiven = false;     // --output named the output folder
  int jobs = 0;                 // conversions at once; 0 for the default rule
  bool mirrorFolders = false;
  bool quiet = false;
  bool json = false;
  std::vector<std::string> paths;  // files and folders as given; "-" stands for standard input
};

// What a command line says: convert, print the help or the version, or a usage error.
struct ParsedCommandLine {
  enum class Kind { Run, Help, Version, UsageError };
  Kind kind = Kind::Run;
  BatchOptions options;
  std::string error;  // for a usage error: what is wrong, without the program's name
};

// Reads the arguments after the program's name, starting from `startUp` (the Output
// Settings' start-up values). Every value is checked as the Output Settings dialog checks
// it: the bit rates and frame rates it offers, a width and height of at least
// kSmallestFrameSide. Any of --video-kbps, --audio-kbps and --fps unchecks "Default" as
// the dialog's box does, so the three are passed together, the others at the dialog's
// values. "--name=value" is read as "--name value"; "--" ends the options.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments,
                                   const ConversionSettings& startUp);

// The most conversions --jobs may ask for at once.
inline constexpr int kMostJobs = 64;
