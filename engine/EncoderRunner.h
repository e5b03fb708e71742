#pragma once
#include <cstdint>
#include <string>

#include "engine/EncoderCommand.h"

// What the source probe and the batch driver need of the one encoder runner they share.
class EncoderRunner {
 public:
  virtual ~EncoderRunner() = default;
  // Ends whatever runs; harmless when nothing does. Holds the caller at least 700 ms.
  virtual void Stop() = 0;
  // Start a probe or a conversion (call Stop first); false when the encoder could not be
  // started. Each start is a new job.
  virtual bool StartProbe(const EncoderCommand& command) = 0;
  virtual bool StartConversion(const EncoderCommand& command) = 0;
  // The current job's number, 0 after Stop.
  virtual std::uint32_t jobNumber() const = 0;
  // The current job's process id until Stop, else 0 (once the job has ended by itself, the
  // id of the process it was, to name what it left behind).
  virtual int processId() const = 0;
  // The line the current conversion gave as the reason it failed ("error: ..."), once its
  // end has been reported; empty when it gave none.
  virtual std::string failureLine() const = 0;
};
