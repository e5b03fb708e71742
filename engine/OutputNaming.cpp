#include "engine/OutputNaming.h"

#include <string_view>

#include "engine/EncoderCommand.h"
#include "platform/Files.h"

std::string sourceBaseName(const std::string& sourcePath) {
  const std::size_t slash = sourcePath.rfind('/');
  std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
  name.resize(name.size() > 4 ? name.size() - 4 : 0);
  return name;
}

namespace {
// The target's path without the extension and without a number.
std::string targetStem(const std::string& sourcePath, const ConversionSettings& settings) {
  return settings.outputFolder + sourceBaseName(sourcePath);
}
}  // namespace

std::string plainTarget(const std::string& sourcePath, const ConversionSettings& settings) {
  const char* extension = targetExtension(settings);
  if (extension == nullptr) return {};
  return targetStem(sourcePath, settings) + extension;
}

bool mayBeTargetOf(const std::string& path, const std::string& sourcePath,
                   const ConversionSettings& settings) {
  const char* extension = targetExtension(settings);
  if (extension == nullptr) return false;
  const std::string stem = targetStem(sourcePath, settings);
  const std::string_view ending(extension);
  if (!path.starts_with(stem) || !path.ends_with(ending) ||
      path.size() < stem.size() + ending.size())
    return false;
  // What lies between the stem and the extension: nothing, or "_" and a number.
  const std::string_view middle =
      std::string_view(path).substr(stem.size(), path.size() - stem.size() - ending.size());
  if (middle.empty()) return true;
  return middle.size() > 1 && middle.front() == '_' &&
         middle.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

std::optional<ResolvedTarget> resolveTarget(const std::string& sourcePath,
                                            const ConversionSettings& settings) {
  const char* extension = targetExtension(settings);
  if (extension == nullptr) return std::nullopt;
  const std::string stem = targetStem(sourcePath, settings);
  const std::string plain = stem + extension;
  if (!FileOpensForReading(plain)) return ResolvedTarget{plain, Fresh};

  switch (settings.existingFilePolicy) {
    case AutoRename:
      for (long long n = 1;; ++n) {
        std::string numbered = stem + "_" + std::to_string(n) + extension;
        if (!FileOpensForReading(numbered)) return ResolvedTarget{std::move(numbered), Numbered};
      }
    case Overwrite:
      return ResolvedTarget{plain, Replaced};
    default:
      return std::nullopt;
  }
}
