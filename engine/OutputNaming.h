#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "engine/ConversionSettings.h"

// What output naming did for a row; it decides the row's status when its encoder ends.
enum CollisionOutcome : std::int32_t { Fresh = 0, Numbered = 1, Replaced = 2 };

struct ResolvedTarget {
  std::string path;
  CollisionOutcome outcome = Fresh;
};

// The source's file name (after its last '/') with its last four bytes removed.
std::string sourceBaseName(const std::string& sourcePath);

// The target of one source in settings.outputFolder before the existing-file policy: the
// output folder, the source's base name and the format's extension; empty for a format code
// outside its domain.
std::string plainTarget(const std::string& sourcePath, const ConversionSettings& settings);

// The target of one source in settings.outputFolder (which ends in '/'), after the existing
// file policy: a free "_N" name under AutoRename (N from 1, gaps filled), the plain name
// under Overwrite (the old file is left in place; the encoder's final rename replaces it
// only when the new output is complete), or std::nullopt to skip the source.
// Returns nullopt as well for a format code outside its domain.
std::optional<ResolvedTarget> resolveTarget(const std::string& sourcePath,
                                            const ConversionSettings& settings);

// Whether resolveTarget may look at, or give, `path` for `sourcePath` under `settings`: its
// plain target or one of its "_N" names. A conversion still running towards such a path
// changes what the source resolves to once it ends, so a batch that runs several at once
// resolves the source only after it.
bool mayBeTargetOf(const std::string& path, const std::string& sourcePath,
                   const ConversionSettings& settings);
