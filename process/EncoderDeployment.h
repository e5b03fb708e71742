#pragma once
#include <string>

#include "platform/UniqueFd.h"
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

// The encoders for the life of one window. Every window of the user shares the system
// folder, so they agree through two lock files there: each window holds a shared lock on
// `windows.lock` while it lives (the kernel drops it when the process ends, however it
// ends), and `windows.gate` makes a start's or an exit's look at the others and its work
// on the copies one step.
// - A start with no other window deploys both encoders (DeployEncoders). A start while
//   others run never rewrites a copy they can run; it deploys only a copy that is missing
//   or not executable (scrambled by an older program's exit, or never deployed), which no
//   running window can be using.
// - An exit restores the encoders (RestoreEncoders) only when no other window runs.
// Where the lock files cannot be made or locked, a window behaves as the only one.
class EncoderDeployment {
 public:
  explicit EncoderDeployment(const EncoderPaths& paths);
  ~EncoderDeployment();
  EncoderDeployment(const EncoderDeployment&) = delete;
  EncoderDeployment& operator=(const EncoderDeployment&) = delete;

 private:
  EncoderPaths paths;
  UniqueFd windowLock;  // held shared from construction to destruction
};
