#pragma once
// SIGTERM asks a run to stop early. A conversion stops taking frames, drops what is queued and
// finishes its output with what was written so far; a probe stops reading.

namespace vidmora_encoder {

// Installs the SIGTERM handler (and ignores SIGPIPE, so a closed error pipe cannot kill a
// run that is writing its output).
void installStopSignal();

// True once SIGTERM has arrived (or requestStop was called).
bool stopRequested();

// Sets the same flag as SIGTERM; async-signal-safe.
void requestStop();

// Thrown by a step that a stop request cut short before it had any result.
struct StoppedEarly {};

}  // namespace vidmora_encoder
