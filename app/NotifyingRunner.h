#pragma once
#include "engine/EncoderRunner.h"
#include "process/EncoderNotifier.h"

// The encoder runner the probe and the batch share: each start is a run of the notifier,
// whose messages say which kind of run they come from.
class NotifyingRunner final : public EncoderRunner {
 public:
  explicit NotifyingRunner(EncoderNotifier::Post post, RunnerStopPauses pauses = {})
      : notifier(std::move(post), pauses) {}

  void Stop() override { notifier.Stop(); }
  bool StartProbe(const EncoderCommand& command) override {
    return notifier.start(EncoderRun::Probe, command);
  }
  bool StartConversion(const EncoderCommand& command) override {
    return notifier.start(EncoderRun::Conversion, command);
  }
  std::uint32_t jobNumber() const override { return notifier.jobNumber(); }
  int processId() const override { return notifier.processId(); }
  std::string failureLine() const override { return notifier.failureLine(); }

 private:
  EncoderNotifier notifier;
};
