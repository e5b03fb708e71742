#include "engine/EncoderCommand.h"

#include "encoder/contract/EncoderContract.h"
#include "platform/CommandLine.h"

namespace ec = encoder_contract;

const char* codecToken(const ConversionSettings& settings) {
  switch (settings.format) {
    case Avi: return ec::kCodecAvi;
    case Wmv: return ec::kCodecWmv;
    case Mpeg:
      if (settings.mpegVersion == 1) return ec::kCodecMpeg1;
      if (settings.mpegVersion == 2) return ec::kCodecMpeg2;
      return nullptr;
    default: return nullptr;
  }
}

const char* targetExtension(const ConversionSettings& settings) {
  switch (settings.format) {
    case Avi: return ec::kExtensionAvi;
    case Mpeg: return ec::kExtensionMpeg;
    case Wmv: return ec::kExtensionWmv;
    default: return nullptr;
  }
}

namespace {
// "ENCODER" -i "SOURCE   (the closing quote of SOURCE is left to the caller)
std::string commandOpening(const std::string& encoderPath, const std::string& sourcePath) {
  return std::string("\"") + EscapeQuotedArgument(encoderPath) + "\" " + ec::kInput + " \"" +
         EscapeQuotedArgument(sourcePath);
}
}  // namespace

EncoderCommand composeProbeCommand(const std::string& encoderPath,
                                   const std::string& sourcePath) {
  return commandOpening(encoderPath, sourcePath) + "\"";
}

EncoderCommand composeEncoderCommand(const ConversionSettings& settings,
                                     const std::string& sourcePath,
                                     const std::string& targetPath,
                                     const std::string& encoderPath,
                                     const std::string& companionPath) {
  const char* codec = codecToken(settings);
  const bool customSize = settings.sizeMode == CustomSize;
  if (codec == nullptr || (!customSize && settings.sizeMode != SourceSize)) return {};

  const std::string& executable = settings.format == Wmv ? companionPath : encoderPath;
  std::string command = commandOpening(executable, sourcePath);
  command += std::string("\" ") + ec::kVideoCodec + " " + codec + " ";
  if (!settings.useDefaultQuality) {
    command += std::string(ec::kVideoBitrate) + " " + settings.videoBitrate + " ";
    command += std::string(ec::kFrameRate) + " " + settings.frameRate + " ";
    command += std::string(ec::kAudioBitrate) + " " + settings.audioBitrate + " ";
  }
  if (customSize)
    command += std::string(ec::kFrameSize) + " " + std::to_string(settings.width) + "x" +
               std::to_string(settings.height) + " ";
  command += std::string(ec::kOverwrite) + " \"" + EscapeQuotedArgument(targetPath) + "\"";
  return command;
}
