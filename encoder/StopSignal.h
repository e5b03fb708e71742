#pragma once
// SIGTERM asks a conversion to stop early: reading stops, the encoders are flushed and the
// output is finished as a shorter valid file.

namespace vidmora_encoder {

// Installs the SIGTERM handler (and ignores SIGPIPE, so a closed error pipe cannot kill a
// run that is writing its output).
void installStopSignal();

// True once SIGTERM has arrived (or requestStop was called).
bool stopRequested();

// Sets the same flag as SIGTERM; async-signal-safe.
void requestStop();

}  // namespace vidmora_encoder
