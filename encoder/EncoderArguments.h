#pragma once
#include <optional>
#include <string>
#include <vector>
// The command lines the encoder accepts: the probe form and the four conversion shapes,
// switches in the composed order. Anything else is a usage error.

namespace vidmora_encoder {

// Which of the two executables is running: each accepts its own video codecs.
enum class EncoderRole { Zandrio, Quimbel };

struct FrameSize {
  int width = 0;
  int height = 0;
};

struct EncoderArguments {
  enum class Kind { Probe, Convert, Usage };
  Kind kind = Kind::Usage;
  std::string usageProblem;  // Usage only: what was wrong with the command line
  std::string source;
  std::string codec;  // one of the contract's codec tokens
  std::string target;
  std::optional<int> videoKbps;        // -b
  std::optional<std::string> frameRate;  // -r, as given (a positive decimal number)
  std::optional<int> audioKbps;        // -ab
  std::optional<FrameSize> frameSize;  // -s
};

// Parses argv without the program name. Never throws; a refusal has Kind::Usage and a
// one-line reason.
EncoderArguments parseEncoderArguments(EncoderRole role, const std::vector<std::string>& args);

// The usage text for the role's executable, several lines ending in a newline.
std::string usageText(EncoderRole role);

// The codec tokens the role accepts, in the order the usage text lists them.
std::vector<std::string> acceptedCodecs(EncoderRole role);

// The target extension (lower case, with its dot) that goes with a codec token.
std::string extensionForCodec(const std::string& codec);

}  // namespace vidmora_encoder
