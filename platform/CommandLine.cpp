#include "platform/CommandLine.h"

std::string EscapeQuotedArgument(const std::string& argument) {
  if (argument.find('"') == std::string::npos &&
      (argument.empty() || argument.back() != '\\'))
    return argument;
  std::string escaped;
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes right before a quote are doubled, and the quote itself is escaped.
    if (c == '"') escaped.append(backslashes * 2 + 1, '\\');
    else escaped.append(backslashes, '\\');
    backslashes = 0;
    escaped += c;
  }
  // Trailing backslashes stand before the closing quote: double them.
  escaped.append(backslashes * 2, '\\');
  return escaped;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  const std::size_t n = commandLine.size();
  for (std::size_t i = 0; i < n;) {
    const char c = commandLine[i];
    if (!quoted && (c == ' ' || c == '\t')) {
      if (inArgument) arguments.push_back(std::move(current));
      current.clear();
      inArgument = false;
      ++i;
      continue;
    }
    inArgument = true;
    if (c == '\\') {
      std::size_t run = 0;
      while (i < n && commandLine[i] == '\\') ++run, ++i;
      if (i < n && commandLine[i] == '"') {
        current.append(run / 2, '\\');
        if (run % 2 == 1) {
          current += '"';
          ++i;
        }
      } else {
        current.append(run, '\\');
      }
      continue;
    }
    if (c == '"') {
      if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
        current += '"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      ++i;
      continue;
    }
    current += c;
    ++i;
  }
  if (inArgument) arguments.push_back(std::move(current));
  return arguments;
}
