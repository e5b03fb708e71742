#pragma once
#include <string>
// The two encoder executables: shipped scrambled in the program folder, run from runnable
// copies in the system folder while the program runs.

struct EncoderPaths {
  std::string encoderSystemPath;     // runs probes, AVI and MPEG
  std::string companionSystemPath;   // runs WMV
  std::string encoderProgramPath;    // scrambled, as shipped
  std::string companionProgramPath;  // scrambled, as shipped
};

// The four paths for the two folders, each given with its trailing '/'.
EncoderPaths encoderPaths(const std::string& programFolder, const std::string& systemFolder);

// Companion first, then the encoder: removes the system-folder copy and writes the
// unscrambled program-folder file in its place, mode 0755. Each copy is written to a
// temporary file beside it and renamed into place only when complete, so a failed copy
// leaves nothing runnable. A missing or unreadable program-folder file leaves that encoder
// undeployed. Reports nothing.
void DeployEncoders(const EncoderPaths& paths);

// The encoder, then the companion: removes the system-folder copy and puts a plain copy
// of the scrambled file there, never overwriting a file that could not be removed.
void RestoreEncoders(const EncoderPaths& paths);
