#include "engine/OutputNaming.h"

#include "engine/EncoderCommand.h"
#include "platform/Files.h"

std::string sourceBaseName(const std::string& sourcePath) {
  const std::size_t slash = sourcePath.rfind('/');
  std::string name = slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1);
  name.resize(name.size() > 4 ? name.size() - 4 : 0);
  return name;
}

std::optional<ResolvedTarget> resolveTarget(const std::string& sourcePath,
                                            const ConversionSettings& settings) {
  const char* extension = targetExtension(settings);
  if (extension == nullptr) return std::nullopt;
  const std::string stem = settings.outputFolder + sourceBaseName(sourcePath);
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
