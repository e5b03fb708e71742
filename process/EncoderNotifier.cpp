#include "process/EncoderNotifier.h"

#include <string_view>
#include <utility>

#include "process/EncoderOutputParser.h"

EncoderNotifier::EncoderNotifier(Post poster, StopPauses pauses)
    : ChildProcessRunner(pauses), post(std::move(poster)) {}

// The hooks use `post`: the threads must end before it goes.
EncoderNotifier::~EncoderNotifier() { Stop(); }

void EncoderNotifier::notify(std::uint32_t code, LPARAM value) {
  post(WM_ENCODER_NOTIFY, encoderNotifyWParam(code, jobNumber()), value);
}

void EncoderNotifier::OnStarted(const std::string&) { notify(ENC_STARTED, 0); }

void EncoderNotifier::OnOutputText(const char*) { notify(ENC_STDOUT, 0); }

void EncoderNotifier::OnTimeText(const char* text) { notify(ENC_TIME, decimalNumber(text)); }

void EncoderNotifier::OnEnded() {
  notify(ENC_ENDED, probeMode ? durationSeconds(captureText) : exitStatus());
}
