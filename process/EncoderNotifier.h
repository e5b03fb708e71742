#pragma once
#include <cstdint>
#include <functional>

#include "platform/WinHandles.h"
#include "platform/WinMessages.h"
#include "process/ChildProcessRunner.h"

static_assert(sizeof(WPARAM) >= 8, "the job number travels in the high half of wParam");

// The one window message that carries every encoder event to the main dialog, and its
// event codes. wParam: the event code in its low 32 bits, the job number of the run that
// posted it in its high 32 bits; lParam: the value.
inline constexpr UINT WM_ENCODER_NOTIFY = WM_USER + 200;  // 1224
inline constexpr std::uint32_t ENC_STARTED = 7000;
inline constexpr std::uint32_t ENC_STDOUT = 7001;
inline constexpr std::uint32_t ENC_TIME = 7002;
inline constexpr std::uint32_t ENC_ENDED = 7003;

// wParam of a WM_ENCODER_NOTIFY for `code` posted during job `job`, and the two back.
constexpr WPARAM encoderNotifyWParam(std::uint32_t code, std::uint32_t job) {
  return static_cast<WPARAM>(job) << 32 | code;
}
constexpr std::uint32_t encoderNotifyCode(WPARAM wParam) {
  return static_cast<std::uint32_t>(wParam);
}
constexpr std::uint32_t encoderNotifyJob(WPARAM wParam) {
  return static_cast<std::uint32_t>(wParam >> 32);
}

// The runner of the encoder: turns the runner's hooks into posted WM_ENCODER_NOTIFY
// messages. ENC_ENDED carries, in probe mode, the probed duration in whole seconds (0 when
// none was found) and, in conversion mode, the encoder's exit status (0 for success).
class EncoderNotifier : public ChildProcessRunner {
 public:
  // Posts one message (the main dialog's is PostMessage to its window); called on the
  // runner's threads, so it must be thread-safe.
  using Post = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

  explicit EncoderNotifier(Post post, StopPauses pauses = StopPauses{});
  ~EncoderNotifier() override;

 protected:
  void OnStarted(const std::string& commandLine) override;
  void OnOutputText(const char* text) override;
  void OnTimeText(const char* text) override;
  void OnEnded() override;

 private:
  void notify(std::uint32_t code, LPARAM value);

  Post post;
};
