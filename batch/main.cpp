// vidmora-batch: the command-line front end over the window's engine, runner and encoder.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "batch/BatchHelp.h"
#include "batch/BatchOptions.h"
#include "batch/BatchReport.h"
#include "batch/BatchRun.h"
#include "batch/DefaultJobs.h"
#include "batch/SourceList.h"
#include "engine/ConversionLog.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/UniqueFd.h"
#include "process/EncoderDeployment.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr int kStoppedStatus = 130;

int usageError(const std::string& text) {
  std::fprintf(stderr, "vidmora-batch: %s\nTry 'vidmora-batch --help' for more.\n", text.c_str());
  return kUsageStatus;
}

ReportStyle reportStyle(const BatchOptions& options) {
  if (options.json) return ReportStyle::Json;
  if (options.quiet) return ReportStyle::Quiet;
  return isatty(STDOUT_FILENO) ? ReportStyle::Terminal : ReportStyle::Lines;
}

// The signals that stop a batch, held back from every thread (the encoders' readers
// included) and read from the descriptor returned instead.
UniqueFd stopSignals() {
  sigset_t stops;
  sigemptyset(&stops);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signal);
  sigprocmask(SIG_BLOCK, &stops, nullptr);
  return UniqueFd(signalfd(-1, &stops, SFD_CLOEXEC));
}

}  // namespace

int main(int argc, char** argv) {
  const ParsedCommandLine parsed = parseCommandLine(
      std::vector<std::string>(argv + 1, argv + argc), defaultConversionSettings());
  switch (parsed.kind) {
    case ParsedCommandLine::Kind::Help:
      std::fputs(batchHelpText().c_str(), stdout);
      return 0;
    case ParsedCommandLine::Kind::Version:
      std::printf("vidmora-batch %s\n", VIDMORA_VERSION);
      return 0;
    case ParsedCommandLine::Kind::UsageError:
      return usageError(parsed.error);
    case ParsedCommandLine::Kind::Run:
      break;
  }
  BatchOptions options = parsed.options;
  ConversionSettings& settings = options.settings;
  // As the window at its start: the default folder is made when missing.
  if (!options.outputGiven) CreateDirectoryA(settings.outputFolder);
  settings.outputFolder = WithTrailingSlash(GetFullPathNameA(settings.outputFolder));
  if (!IsExistingFolder(settings.outputFolder))
    return usageError("the output folder " + settings.outputFolder + " does not exist");

  // A stdout closed early (`| head`) must not end the batch half way.
  signal(SIGPIPE, SIG_IGN);
  BatchReport report(reportStyle(options), stdout, stderr);
  SourceListing listing = listSources(options.paths, std::cin);
  for (const std::string& folder : listing.emptyFolders)
    report.warn(folder + ": no .flv file in it");

  const UniqueFd stops = stopSignals();
  const EncoderPaths paths = encoderPaths(ProgramFolder(), SystemFolder());
  bool stopped = false;
  RunSummary summary;
  {
    // Takes part in the deployment as one more window, until every encoder has ended.
    const EncoderDeployment deployment(paths);
    ConversionLog log(defaultConversionLogPath());
    BatchRun run(std::move(listing), settings, options.mirrorFolders,
                 options.jobs > 0 ? options.jobs : defaultJobs(), paths, log, report, stops.get());
    summary = run.run();
    stopped = run.stopped();
  }
  if (stopped) return kStoppedStatus;
  return summary.failed > 0 ? 1 : 0;
}
