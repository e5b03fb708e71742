#include "engine/ConversionPlan.h"

#include "encoder/contract/EncoderContract.h"
#include "platform/Files.h"

std::optional<ConversionPlan> planConversion(const std::string& sourcePath,
                                             const ConversionSettings& settings,
                                             const std::string& encoderPath,
                                             const std::string& companionPath) {
  const std::optional<ResolvedTarget> target = resolveTarget(sourcePath, settings);
  if (!target) return std::nullopt;
  return ConversionPlan{
      target->path, target->outcome,
      composeEncoderCommand(settings, sourcePath, target->path, encoderPath, companionPath)};
}

std::string endStatus(CollisionOutcome outcome, std::int64_t exitStatus) {
  if (exitStatus != 0) return "Failed";
  switch (outcome) {
    case Numbered: return "Renamed";
    case Replaced: return "Overwritten";
    default: return "Done";
  }
}

std::string failureReason(std::int64_t exitStatus, const std::string& errorLine) {
  if (!errorLine.empty()) return errorLine;
  return "The encoder ended with exit status " + std::to_string(exitStatus) +
         " without saying why.";
}

void removeEncoderTemporary(const std::string& targetPath, int encoder) {
  if (encoder <= 0) return;
  const std::string folder = targetPath.substr(0, targetPath.rfind('/') + 1);
  DeleteFileA(folder + encoder_contract::temporaryFileName(encoder));
}
