#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "engine/ConversionSettings.h"
#include "engine/EncoderCommand.h"
#include "engine/OutputNaming.h"
// How a batch begins and ends the conversion of one source: the same for the window's rows
// and the command line's files.

// One source's conversion as a batch starts it.
struct ConversionPlan {
  std::string target;
  CollisionOutcome outcome = Fresh;  // decides the status once the encoder has ended
  EncoderCommand command;
};

// The target in settings.outputFolder after the existing-file policy (resolveTarget) and the
// encoder's command line for it (composeEncoderCommand); std::nullopt when the source is
// skipped. Resolve a source only once every earlier conversion that could take one of its
// names (mayBeTargetOf) has ended, as the names it finds taken decide its own.
std::optional<ConversionPlan> planConversion(const std::string& sourcePath,
                                             const ConversionSettings& settings,
                                             const std::string& encoderPath,
                                             const std::string& companionPath);

// The status of a conversion that ended with `exitStatus`: "Failed" for any but 0, else
// "Done", "Renamed" or "Overwritten" by what naming did.
std::string endStatus(CollisionOutcome outcome, std::int64_t exitStatus);
// The status of a source the existing-file policy skipped.
inline constexpr const char* kSkippedStatus = "Skipped";

// Why a conversion that ended with `exitStatus` failed: the encoder's "error: " line, or a
// sentence saying that it gave none (a crash, a kill).
std::string failureReason(std::int64_t exitStatus, const std::string& errorLine);

// Removes the named temporary file (".vidmora-<pid>.part") the encoder with process id
// `encoder` may have left in `targetPath`'s folder: an encoder ended by a signal cannot,
// where a file cannot be made without a name. Call it once that encoder has ended; before it
// is reaped the name is surely its own. Nothing for a process id of 0.
void removeEncoderTemporary(const std::string& targetPath, int encoder);
