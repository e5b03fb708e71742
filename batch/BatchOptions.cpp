#include "batch/BatchOptions.h"

#include <array>
#include <cstdlib>
#include <functional>
#include <map>
#include <string_view>

#include "platform/Numbers.h"
#include "res/OutputSettingsLists.h"

namespace lists = output_settings_lists;

namespace {

// Thrown for a usage error; caught at the end of parsing.
struct UsageError {
  std::string text;
};

bool allDigits(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

template <std::size_t N>
std::string joined(const std::array<const char*, N>& items) {
  std::string text;
  for (const char* item : items) text += (text.empty() ? "" : ", ") + std::string(item);
  return text;
}

// The offered item `value` names: the same text for bit rates, the same value for frame
// rates ("25" is "25.00"); nullptr when none does.
template <std::size_t N>
const char* offeredItem(const std::array<const char*, N>& items, const std::string& value,
                        bool byValue) {
  char* end = nullptr;
  const double number = std::strtod(value.c_str(), &end);
  const bool isNumber = !value.empty() && *end == '\0' &&
                        value.find_first_not_of("0123456789.") == std::string::npos;
  for (const char* item : items)
    if (byValue ? isNumber && std::strtod(item, nullptr) == number : value == item) return item;
  return nullptr;
}

template <std::size_t N>
std::string offered(const std::string& option, const std::string& value,
                    const std::array<const char*, N>& items, bool byValue, const char* unit) {
  if (const char* item = offeredItem(items, value, byValue)) return item;
  throw UsageError{option + " takes one of " + joined(items) + " (" + unit + "), not '" +
                   value + "'"};
}

template <typename Code>
Code oneOf(const std::string& option, const std::string& value,
           const std::map<std::string, Code>& choices) {
  const auto found = choices.find(value);
  if (found != choices.end()) return found->second;
  std::string names;
  for (const auto& [name, code] : choices) names += (names.empty() ? "" : ", ") + name;
  throw UsageError{option + " takes one of " + names + ", not '" + value + "'"};
}

void readSize(const std::string& value, ConversionSettings& settings) {
  const std::size_t x = value.find('x');
  const std::string width = value.substr(0, x);
  const std::string height = x == std::string::npos ? std::string() : value.substr(x + 1);
  if (!allDigits(width) || !allDigits(height))
    throw UsageError{"--size takes WIDTHxHEIGHT in pixels, such as 640x480, not '" + value + "'"};
  settings.width = LeadingNumber(width);
  settings.height = LeadingNumber(height);
  const std::string smallest = std::to_string(kSmallestFrameSide);
  if (settings.width < kSmallestFrameSide)
    throw UsageError{"--size " + value + ": invalid width, the smallest is " + smallest};
  if (settings.height < kSmallestFrameSide)
    throw UsageError{"--size " + value + ": invalid height, the smallest is " + smallest};
  settings.sizeMode = CustomSize;
}

int readJobs(const std::string& value) {
  const int jobs = allDigits(value) ? LeadingNumber(value) : 0;
  if (jobs < 1 || jobs > kMostJobs)
    throw UsageError{"--jobs takes a number from 1 to " + std::to_string(kMostJobs) + ", not '" +
                     value + "'"};
  return jobs;
}

struct Format {
  std::int32_t format, mpegVersion;
};

void readOption(const std::string& name, const std::function<std::string()>& value,
                ParsedCommandLine& parsed) {
  BatchOptions& options = parsed.options;
  ConversionSettings& settings = options.settings;
  if (name == "--help" || name == "-h") {
    parsed.kind = ParsedCommandLine::Kind::Help;
  } else if (name == "--version") {
    parsed.kind = ParsedCommandLine::Kind::Version;
  } else if (name == "--format") {
    const Format chosen = oneOf<Format>(name, value(), {{"avi", {Avi, settings.mpegVersion}},
                                                        {"mpeg1", {Mpeg, 1}},
                                                        {"mpeg2", {Mpeg, 2}},
                                                        {"wmv", {Wmv, settings.mpegVersion}}});
    settings.format = chosen.format;
    settings.mpegVersion = chosen.mpegVersion;
  } else if (name == "--video-kbps") {
    settings.videoBitrate = offered(name, value(), lists::kVideoBitrates, false, "kbit/s");
    settings.useDefaultQuality = false;
  } else if (name == "--audio-kbps") {
    settings.audioBitrate = offered(name, value(), lists::kAudioBitrates, false, "kbit/s");
    settings.useDefaultQuality = false;
  } else if (name == "--fps") {
    settings.frameRate = offered(name, value(), lists::kFrameRates, true, "frames per second");
    settings.useDefaultQuality = false;
  } else if (name == "--size") {
    readSize(value(), settings);
  } else if (name == "--existing") {
    settings.existingFilePolicy = oneOf<std::int32_t>(
        name, value(), {{"rename", AutoRename}, {"overwrite", Overwrite}, {"skip", Skip}});
  } else if (name == "--output") {
    settings.outputFolder = value();
    if (settings.outputFolder.empty()) throw UsageError{"--output takes a folder"};
    options.outputGiven = true;
  } else if (name == "--jobs") {
    options.jobs = readJobs(value());
  } else if (name == "--mirror-folders") {
    options.mirrorFolders = true;
  } else if (name == "--quiet") {
    options.quiet = true;
  } else if (name == "--json") {
    options.json = true;
  } else {
    throw UsageError{"unknown option '" + name + "'"};
  }
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments,
                                   const ConversionSettings& startUp) {
  ParsedCommandLine parsed;
  parsed.options.settings = startUp;
  try {
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
      const std::string& argument = arguments[index];
      if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
        parsed.options.paths.push_back(argument);
        continue;
      }
      if (argument == "--") {
        optionsEnded = true;
        continue;
      }
      const std::size_t equals = argument.find('=');
      const std::string name = argument.substr(0, equals);
      bool valueTaken = false;
      const auto value = [&]() -> std::string {
        valueTaken = true;
        if (equals != std::string::npos) return argument.substr(equals + 1);
        if (index + 1 >= arguments.size()) throw UsageError{name + " needs a value"};
        return arguments[++index];
      };
      readOption(name, value, parsed);
      if (equals != std::string::npos && !valueTaken)
        throw UsageError{name + " takes no value"};
      if (parsed.kind != ParsedCommandLine::Kind::Run) return parsed;
    }
    if (parsed.options.quiet && parsed.options.json)
      throw UsageError{"--quiet and --json cannot be used together"};
    if (parsed.options.paths.empty())
      throw UsageError{"no PATH given: name .flv files or folders, or - for standard input"};
  } catch (const UsageError& error) {
    parsed.kind = ParsedCommandLine::Kind::UsageError;
    parsed.error = error.text;
  }
  return parsed;
}
