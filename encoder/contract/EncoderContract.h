#pragma once
// What the program and the encoder agree on: executable names, switches, codec tokens,
// container extensions and the two markers the program reads from the encoder's standard
// error. Both sides include this header, so they cannot drift apart.
#include <string>

namespace encoder_contract {

// Executables as shipped in the program folder and run from the system folder.
inline constexpr const char* kEncoderFile = "zandrio.dll";    // probes, AVI and MPEG
inline constexpr const char* kCompanionFile = "quimbel.dll";  // WMV
// The plain executables the build produces before scrambling.
inline constexpr const char* kEncoderExecutable = "zandrio";
inline constexpr const char* kCompanionExecutable = "quimbel";

// Switches, in the order a conversion command gives them.
inline constexpr const char* kInput = "-i";
inline constexpr const char* kVideoCodec = "-vcodec";
inline constexpr const char* kVideoBitrate = "-b";   // kbit/s
inline constexpr const char* kFrameRate = "-r";      // frames per second, decimal text
inline constexpr const char* kAudioBitrate = "-ab";  // kbit/s
inline constexpr const char* kFrameSize = "-s";      // WIDTHxHEIGHT
inline constexpr const char* kOverwrite = "-y";      // always present, right before the target

// Video codec tokens given after -vcodec.
inline constexpr const char* kCodecAvi = "msmpeg4v2";
inline constexpr const char* kCodecMpeg1 = "mpeg1video";
inline constexpr const char* kCodecMpeg2 = "mpeg2video";
inline constexpr const char* kCodecWmv = "wmv2";

// Target extensions; the encoder picks the container from them.
inline constexpr const char* kExtensionAvi = ".avi";
inline constexpr const char* kExtensionMpeg = ".mpg";
inline constexpr const char* kExtensionWmv = ".wmv";

// Standard-error markers. The probe writes "Duration: HH:MM:SS.cc, ..." (or "Duration: N/A");
// a conversion writes progress lines holding "time=SECONDS.FRACTION", each in one write.
inline constexpr const char* kDurationMarker = "Duration: ";
inline constexpr const char* kTimeMarker = "time=";

// Exit status of the encoder for a command line it does not accept.
inline constexpr int kUsageExitStatus = 2;

// The name of the file an encoder with process id `pid` may hold in the target's folder while
// it converts (".vidmora-<pid>.part"); only on file systems that cannot create a file without
// a name, and while replacing an existing target. An encoder that was killed can leave it
// behind: the program removes it by this name once that encoder has ended.
inline std::string temporaryFileName(long pid) {
  return ".vidmora-" + std::to_string(pid) + ".part";
}

}  // namespace encoder_contract
