#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/WinHandles.h"
#include "platform/WinMessages.h"
#include "process/ChildProcessRunner.h"
#include "process/EncoderOutputParser.h"

static_assert(sizeof(WPARAM) >= 8, "the job number travels in the high half of wParam");

// The one window message that carries every encoder event to the main dialog, and its
// event codes. wParam: the event code in its low 16 bits, the kind of run in the next 16,
// the job number of the run that posted it in its high 32 bits; lParam: the value.
inline constexpr UINT WM_ENCODER_NOTIFY = WM_USER + 200;  // 1224
inline constexpr std::uint32_t ENC_STARTED = 7000;
inline constexpr std::uint32_t ENC_STDOUT = 7001;
inline constexpr std::uint32_t ENC_TIME = 7002;
inline constexpr std::uint32_t ENC_ENDED = 7003;
inline constexpr std::uint32_t ENC_DURATION = 7004;

// What an encoder run is for.
enum class EncoderRun : std::uint32_t { Conversion = 0, Probe = 1 };

// wParam of a WM_ENCODER_NOTIFY for `code` posted by job `job` of kind `run`, and the
// three back.
constexpr WPARAM encoderNotifyWParam(std::uint32_t code, std::uint32_t job,
                                     EncoderRun run = EncoderRun::Conversion) {
  return static_cast<WPARAM>(job) << 32 | static_cast<WPARAM>(run) << 16 | (code & 0xFFFF);
}
constexpr std::uint32_t encoderNotifyCode(WPARAM wParam) {
  return static_cast<std::uint32_t>(wParam & 0xFFFF);
}
constexpr EncoderRun encoderNotifyRun(WPARAM wParam) {
  return static_cast<EncoderRun>(wParam >> 16 & 0xFFFF);
}
constexpr std::uint32_t encoderNotifyJob(WPARAM wParam) {
  return static_cast<std::uint32_t>(wParam >> 32);
}

// Runs the encoder, one run at a time, and turns what the run reports into posted
// WM_ENCODER_NOTIFY messages: ENC_STARTED, ENC_STDOUT for each output chunk; for conversions
// only, one ENC_DURATION with the whole seconds of the length the run announces in its first
// line (0 when it announces none) and ENC_TIME with the whole seconds of each progress
// figure; and one ENC_ENDED when the run ends by itself, carrying the probed duration in
// whole seconds (0 when none was found) or the conversion's exit status (0 for success). No
// message is posted once Stop has begun. User-interface thread, but for the posting.
class EncoderNotifier {
 public:
  // Posts one message (the main dialog's is PostMessage to its window); called on the
  // runner's threads, so it must be thread-safe.
  using Post = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

  explicit EncoderNotifier(Post post, RunnerStopPauses pauses = RunnerStopPauses{});

  // Starts the command as a run of kind `run` (call Stop first); false when it could not
  // be started (nothing is posted then).
  bool start(EncoderRun run, const std::string& commandLine);
  // The runner's Stop: ends the run, at least 700 ms.
  void Stop() { runner.Stop(); }
  // The current run's job number and process id (both 0 after Stop).
  std::uint32_t jobNumber() const { return runner.jobNumber(); }
  pid_t processId() const { return runner.processId(); }
  // The current conversion's "error: " line, empty when it gave none. Read it once its
  // ENC_ENDED has arrived: the run writes it until then.
  std::string failureLine() const { return failure.line(); }

 private:
  void notify(std::uint32_t code, std::uint32_t job, LPARAM value);

  const Post post;
  EncoderRun currentRun = EncoderRun::Conversion;  // changed only while nothing runs
  FailureLineFinder failure;  // of the current conversion, written by its error reader
  FirstLineDuration announced;  // likewise
  ChildProcessRunner runner;                       // last: stopped before the rest goes
};
