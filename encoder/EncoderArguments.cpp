#include "encoder/EncoderArguments.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "encoder/contract/EncoderContract.h"

namespace ec = encoder_contract;

namespace vidmora_encoder {

namespace {

const char* executableName(EncoderRole role) {
  return role == EncoderRole::Zandrio ? ec::kEncoderExecutable : ec::kCompanionExecutable;
}

bool allDigits(const std::string& text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// A positive whole number of at most nine digits.
std::optional<int> parseCount(const std::string& text) {
  if (!allDigits(text)) return std::nullopt;
  const int value = std::atoi(text.c_str());
  if (value <= 0) return std::nullopt;
  return value;
}

// Digits with at most one '.', a positive value of at most 1000 frames per second.
bool isFrameRateText(const std::string& text) {
  if (text.empty() || text.size() > 12 || std::count(text.begin(), text.end(), '.') > 1)
    return false;
  if (!std::all_of(text.begin(), text.end(),
                   [](unsigned char c) { return std::isdigit(c) || c == '.'; }))
    return false;
  if (text == ".") return false;
  const double value = std::strtod(text.c_str(), nullptr);
  return value > 0 && value <= 1000;
}

std::optional<FrameSize> parseFrameSize(const std::string& text) {
  const auto x = text.find('x');
  if (x == std::string::npos) return std::nullopt;
  const auto width = parseCount(text.substr(0, x));
  const auto height = parseCount(text.substr(x + 1));
  if (!width || !height || *width > 65535 || *height > 65535) return std::nullopt;
  return FrameSize{*width, *height};
}

std::string lowerExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

EncoderArguments refuse(const std::string& problem) {
  EncoderArguments refused;
  refused.usageProblem = problem;
  return refused;
}

}  // namespace

std::vector<std::string> acceptedCodecs(EncoderRole role) {
  if (role == EncoderRole::Quimbel) return {ec::kCodecWmv};
  return {ec::kCodecAvi, ec::kCodecMpeg1, ec::kCodecMpeg2};
}

std::string extensionForCodec(const std::string& codec) {
  if (codec == ec::kCodecAvi) return ec::kExtensionAvi;
  if (codec == ec::kCodecWmv) return ec::kExtensionWmv;
  if (codec == ec::kCodecMpeg1 || codec == ec::kCodecMpeg2) return ec::kExtensionMpeg;
  return {};
}

std::string usageText(EncoderRole role) {
  const std::string name = executableName(role);
  std::string codecs, extensions;
  for (const auto& codec : acceptedCodecs(role)) {
    codecs += (codecs.empty() ? "" : "|") + codec;
    const std::string extension = extensionForCodec(codec);
    if (extensions.find(extension) == std::string::npos)
      extensions += (extensions.empty() ? "" : "|") + extension;
  }
  return "usage: " + name + " -i SOURCE\n" +
         "       " + name + " -i SOURCE -vcodec " + codecs +
         " [-b KBITS -r FPS -ab KBITS] [-s WIDTHxHEIGHT] -y TARGET(" + extensions + ")\n";
}

EncoderArguments parseEncoderArguments(EncoderRole role, const std::vector<std::string>& args) {
  std::size_t at = 0;
  auto next = [&](const char* expected) {
    if (at < args.size() && args[at] == expected) {
      ++at;
      return true;
    }
    return false;
  };
  auto value = [&]() -> std::optional<std::string> {
    if (at >= args.size()) return std::nullopt;
    return args[at++];
  };

  EncoderArguments parsed;
  if (!next(ec::kInput)) return refuse("the command line must start with -i SOURCE");
  const auto source = value();
  if (!source || source->empty()) return refuse("-i needs a source file");
  parsed.source = *source;
  if (at == args.size()) {
    parsed.kind = EncoderArguments::Kind::Probe;
    return parsed;
  }

  if (!next(ec::kVideoCodec)) return refuse("expected -vcodec after the source");
  const auto codec = value();
  const auto accepted = acceptedCodecs(role);
  if (!codec || std::find(accepted.begin(), accepted.end(), *codec) == accepted.end())
    return refuse("this executable does not write the video codec '" + codec.value_or("") +
                  "'");
  parsed.codec = *codec;

  if (next(ec::kVideoBitrate)) {
    parsed.videoKbps = parseCount(value().value_or(""));
    if (!parsed.videoKbps) return refuse("-b needs a video bit rate in kbit/s");
    if (!next(ec::kFrameRate)) return refuse("-b must be followed by -r FPS");
    parsed.frameRate = value();
    if (!parsed.frameRate || !isFrameRateText(*parsed.frameRate))
      return refuse("-r needs a frame rate such as 29.97");
    if (!next(ec::kAudioBitrate)) return refuse("-r must be followed by -ab KBITS");
    parsed.audioKbps = parseCount(value().value_or(""));
    if (!parsed.audioKbps) return refuse("-ab needs an audio bit rate in kbit/s");
  }
  if (next(ec::kFrameSize)) {
    parsed.frameSize = parseFrameSize(value().value_or(""));
    if (!parsed.frameSize) return refuse("-s needs a frame size such as 320x240");
  }
  if (!next(ec::kOverwrite)) return refuse("expected -y TARGET at the end");
  const auto target = value();
  if (!target || target->empty()) return refuse("-y needs a target file");
  if (at != args.size()) return refuse("unexpected text after the target: " + args[at]);
  if (lowerExtension(*target) != extensionForCodec(parsed.codec))
    return refuse("a " + parsed.codec + " target must end in " + extensionForCodec(parsed.codec));
  parsed.target = *target;
  parsed.kind = EncoderArguments::Kind::Convert;
  return parsed;
}

}  // namespace vidmora_encoder
