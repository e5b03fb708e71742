#include "process/EncoderNotifier.h"

#include <utility>

#include "platform/Numbers.h"

namespace {
// The probe's standard error the program reads its duration from: the first 2047
// characters, as the program has always kept.
constexpr std::size_t kKeptProbeText = 2047;
}  // namespace

EncoderNotifier::EncoderNotifier(Post poster, RunnerStopPauses pauses)
    : post(std::move(poster)),
      runner(
          ChildHooks{
              .OnStarted = [this](std::uint32_t job) { notify(ENC_STARTED, job, 0); },
              .OnOutputText = [this](std::uint32_t job,
                                     std::string_view) { notify(ENC_STDOUT, job, 0); },
              .OnErrorText =
                  [this](std::uint32_t job, std::string_view chunk) {
                    if (currentRun != EncoderRun::Conversion) return;
                    failure.add(chunk);
                    if (const auto seconds = announced.add(chunk))
                      notify(ENC_DURATION, job, *seconds);
                    if (const auto figure = timeFigureInChunk(chunk))
                      notify(ENC_TIME, job, LeadingNumber(*figure));
                  },
              .OnEnded =
                  [this](std::uint32_t job, const ChildEnding& ending) {
                    notify(ENC_ENDED, job,
                           currentRun == EncoderRun::Probe ? durationSeconds(ending.errorText)
                                                           : ending.exitStatus);
                  },
          },
          pauses) {}

bool EncoderNotifier::start(EncoderRun run, const std::string& commandLine) {
  if (runner.jobNumber() != 0) runner.Stop();  // the caller forgot: the workers read the kind
  currentRun = run;
  failure.clear();
  announced.clear();
  return runner.Start(commandLine, run == EncoderRun::Probe ? kKeptProbeText : 0);
}

void EncoderNotifier::notify(std::uint32_t code, std::uint32_t job, LPARAM value) {
  post(WM_ENCODER_NOTIFY, encoderNotifyWParam(code, job, currentRun), value);
}
