#include "encoder/EncoderProgram.h"

#include "encoder/Conversion.h"
#include "encoder/EncoderError.h"
#include "encoder/ErrorOutput.h"
#include "encoder/ProbeReport.h"
#include "encoder/StopSignal.h"
#include "encoder/contract/EncoderContract.h"
extern "C" {
#include <libavutil/log.h>
}

namespace vidmora_encoder {

int runEncoderProgram(EncoderRole role, int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const EncoderArguments parsed = parseEncoderArguments(role, args);
  if (parsed.kind == EncoderArguments::Kind::Usage) {
    writeStandardError("error: " + parsed.usageProblem + "\n" + usageText(role));
    return encoder_contract::kUsageExitStatus;
  }
  // The libraries' own messages would drown the one line a failure gives.
  av_log_set_level(AV_LOG_QUIET);
  installStopSignal();
  // Every failure, whatever its kind, is the one line and the failure status; the output
  // file is gone by then, as the objects that own it have been unwound.
  try {
    if (parsed.kind == EncoderArguments::Kind::Probe) return runProbe(parsed.source);
    return runConversion(parsed);
  } catch (const StoppedEarly&) {
    writeStandardError("stopped early: nothing was written\n");
    return kStoppedExitStatus;
  } catch (const EncoderError& error) {
    writeStandardError(std::string("error: ") + error.what() + "\n");
  } catch (const std::bad_alloc&) {
    writeStandardError("error: out of memory\n");
  } catch (const std::exception& error) {
    writeStandardError(std::string("error: internal failure: ") + error.what() + "\n");
  } catch (...) {
    writeStandardError("error: internal failure\n");
  }
  return kFailureExitStatus;
}

}  // namespace vidmora_encoder
