#include "batch/BatchRun.h"

#include <poll.h>

#include <algorithm>
#include <thread>
#include <utility>

#include "engine/OutputNaming.h"
#include "platform/Paths.h"
#include "process/EncoderNotifier.h"

namespace {

using Clock = std::chrono::steady_clock;

// No pauses of the window's around a stop: the runner still waits for the encoder to
// finish its file, and kills it only after the same bound.
constexpr RunnerStopPauses kNoPauses{std::chrono::milliseconds(0), std::chrono::milliseconds(0),
                                     std::chrono::milliseconds(0),
                                     RunnerStopPauses{}.killAfter};
// How often the progress is drawn again without news.
constexpr int kTickMilliseconds = 250;
// How many pending sources a start looks through for one whose names are free.
constexpr std::size_t kLookAhead = 64;
// The window's words for an encoder that could not be started.
constexpr const char* kNotStarted = "Failed to start child process!";

FileResult ended(const std::string& target, const std::string& status) {
  FileResult result;
  result.target = target;
  result.status = status;
  return result;
}

std::int32_t clampedSeconds(LPARAM value) {
  return static_cast<std::int32_t>(std::clamp<LPARAM>(value, 0, INT32_MAX));
}

}  // namespace

// One encoder with the conversion it runs.
struct BatchRun::Slot {
  explicit Slot(EncoderNotifier::Post post) : notifier(std::move(post), kNoPauses) {}

  EncoderNotifier notifier;
  bool busy = false;
  std::size_t source = 0;
  ConversionPlan plan;
  std::int32_t announced = 0;  // the length the encoder announced; 0 for none (yet)
  std::int32_t converted = 0;
  Clock::time_point started;
};

BatchRun::BatchRun(SourceListing listing, const ConversionSettings& batchSettings,
                   bool mirror, int jobs, const EncoderPaths& encoderPaths,
                   ConversionLog& conversionLog, BatchReport& batchReport, int stop)
    : sources(std::move(listing.sources)),
      missing(std::move(listing.missing)),
      settings(batchSettings),
      mirrorFolders(mirror),
      paths(encoderPaths),
      log(conversionLog),
      out(batchReport),
      stopFd(stop),
      states(sources.size()) {
  for (std::size_t index = 0; index < static_cast<std::size_t>(std::max(1, jobs)); ++index)
    slots.push_back(std::make_unique<Slot>([this, index](UINT, WPARAM wParam, LPARAM lParam) {
      queue.post({index, wParam, lParam});
    }));
  for (std::size_t index = 0; index < sources.size(); ++index) pending.push_back(index);
}

// The slots go first: their encoders are stopped before the queue they post to goes.
BatchRun::~BatchRun() { slots.clear(); }

RunSummary BatchRun::run() {
  began = Clock::now();
  for (const MissingPath& path : missing) {
    ++summary.failed;
    FileResult result;
    result.source = path.path;
    result.status = "Failed";
    result.reason = path.reason;
    out.fileEnded(result);
  }
  startWhatMay();
  const auto busy = [this] {
    return std::any_of(slots.begin(), slots.end(), [](const auto& slot) { return slot->busy; });
  };
  while (busy() || !pending.empty()) {
    out.progress(progress());
    pollfd watched[2] = {{queue.readableFd(), POLLIN, 0}, {stopFd, POLLIN, 0}};
    poll(watched, 2, kTickMilliseconds);
    for (const SlotNotification& notification : queue.takeAll()) handle(notification);
    if (watched[1].revents != 0) {
      stopAll();
      break;
    }
    startWhatMay();
  }
  summary.seconds = secondsSince(began);
  out.finished(summary);
  return summary;
}

ConversionSettings BatchRun::settingsFor(std::size_t source) const {
  ConversionSettings own = settings;
  if (mirrorFolders) own.outputFolder += sources[source].subfolder;
  return own;
}

void BatchRun::startWhatMay() {
  for (;;) {
    const auto free = std::find_if(slots.begin(), slots.end(),
                                   [](const auto& slot) { return !slot->busy; });
    if (free == slots.end()) return;
    const auto next = nextStartable();
    if (next == pending.end()) return;
    const std::size_t source = *next;
    pending.erase(next);
    start(source, **free);
  }
}

std::vector<std::size_t>::iterator BatchRun::nextStartable() {
  const auto end =
      pending.begin() + static_cast<std::ptrdiff_t>(std::min(pending.size(), kLookAhead));
  for (auto candidate = pending.begin(); candidate != end; ++candidate) {
    const std::string& path = sources[*candidate].fullPath;
    const ConversionSettings own = settingsFor(*candidate);
    const bool takenByRunning = std::any_of(slots.begin(), slots.end(), [&](const auto& slot) {
      return slot->busy && mayBeTargetOf(slot->plan.target, path, own);
    });
    // The names of two sources that may resolve to a same name keep their order.
    const bool sharedWithEarlier =
        std::any_of(pending.begin(), candidate, [&](std::size_t earlier) {
          const ConversionSettings theirs = settingsFor(earlier);
          return mayBeTargetOf(plainTarget(sources[earlier].fullPath, theirs), path, own) ||
                 mayBeTargetOf(plainTarget(path, own), sources[earlier].fullPath, theirs);
        });
    if (!takenByRunning && !sharedWithEarlier) return candidate;
  }
  return pending.end();
}

void BatchRun::start(std::size_t source, Slot& slot) {
  const BatchSource& named = sources[source];
  const ConversionSettings own = settingsFor(source);
  if (mirrorFolders && !named.subfolder.empty()) CreateFolderChain(own.outputFolder);
  const std::optional<ConversionPlan> plan =
      planConversion(named.fullPath, own, paths.encoderSystemPath, paths.companionSystemPath);
  if (!plan) {
    ++summary.skipped;
    report(source, ended(plainTarget(named.fullPath, own), kSkippedStatus));
    return;
  }
  const Clock::time_point now = Clock::now();
  if (!slot.notifier.start(EncoderRun::Conversion, plan->command)) {
    log.record({named.fullPath, plan->command, "not started", ""});
    ++summary.failed;
    FileResult result = ended(plan->target, "Failed");
    result.reason = kNotStarted;
    report(source, result);
    return;
  }
  slot.busy = true;
  slot.source = source;
  slot.plan = *plan;
  slot.announced = 0;
  slot.converted = 0;
  slot.started = now;
  states[source].phase = SourceState::Phase::Running;
}

void BatchRun::handle(const SlotNotification& notification) {
  Slot& slot = *slots[notification.slot];
  const std::uint32_t job = encoderNotifyJob(notification.wParam);
  if (!slot.busy || job == 0 || job != slot.notifier.jobNumber()) return;
  switch (encoderNotifyCode(notification.wParam)) {
    case ENC_DURATION:
      slot.announced = clampedSeconds(notification.lParam);
      states[slot.source].length = slot.announced;
      break;
    case ENC_TIME:
      slot.converted = clampedSeconds(notification.lParam);
      states[slot.source].media = slot.converted;
      break;
    case ENC_ENDED:
      finish(slot, notification.lParam);
      break;
    default:
      break;
  }
}

void BatchRun::finish(Slot& slot, std::int64_t exitStatus) {
  // Before the reaping, so that the temporary's name is surely this encoder's.
  removeEncoderTemporary(slot.plan.target, slot.notifier.processId());
  const std::string errorLine = exitStatus != 0 ? slot.notifier.failureLine() : std::string();
  slot.notifier.Stop();
  slot.busy = false;
  log.record({sources[slot.source].fullPath, slot.plan.command,
              "exit status " + std::to_string(exitStatus), errorLine});
  const std::string status = endStatus(slot.plan.outcome, exitStatus);
  if (exitStatus != 0) ++summary.failed;
  else ++summary.converted;
  // A whole conversion converted what it announced; the last progress figure is older.
  const std::int32_t converted =
      exitStatus == 0 && slot.announced > 0 ? slot.announced : slot.converted;
  FileResult result = ended(slot.plan.target, status);
  result.length = slot.announced > 0 ? slot.announced : -1;
  result.converted = converted;
  result.seconds = secondsSince(slot.started);
  result.exitStatus = exitStatus;
  if (exitStatus != 0) result.reason = failureReason(exitStatus, errorLine);
  report(slot.source, result);
}

void BatchRun::stopAll() {
  wasStopped = true;
  std::vector<Slot*> running;
  for (const auto& slot : slots)
    if (slot->busy) running.push_back(slot.get());
  std::vector<int> encoders;
  std::vector<std::uint32_t> jobs;
  for (Slot* slot : running) {
    encoders.push_back(slot->notifier.processId());
    jobs.push_back(slot->notifier.jobNumber());
  }
  // Each runner's Stop waits for its encoder to finish its file: all at once, one thread
  // each, so that the batch stops as soon as the slowest. This thread waits meanwhile and
  // calls nothing on them.
  std::vector<std::thread> stoppers;
  for (Slot* slot : running) stoppers.emplace_back([slot] { slot->notifier.Stop(); });
  for (std::thread& stopper : stoppers) stopper.join();
  // An encoder that ended by itself just before its Stop has its end waiting here.
  std::vector<std::int64_t> endedBy(running.size(), -1);
  for (const SlotNotification& notification : queue.takeAll())
    for (std::size_t i = 0; i < running.size(); ++i)
      if (slots[notification.slot].get() == running[i] &&
          encoderNotifyCode(notification.wParam) == ENC_ENDED &&
          encoderNotifyJob(notification.wParam) == jobs[i])
        endedBy[i] = notification.lParam;
  for (std::size_t i = 0; i < running.size(); ++i) {
    Slot& slot = *running[i];
    if (endedBy[i] >= 0) {
      finish(slot, endedBy[i]);
      continue;
    }
    removeEncoderTemporary(slot.plan.target, encoders[i]);
    slot.busy = false;
    log.record({sources[slot.source].fullPath, slot.plan.command, "stopped", ""});
    ++summary.stopped;
    FileResult result = ended(slot.plan.target, "Stopped");
    result.length = slot.announced > 0 ? slot.announced : -1;
    result.converted = slot.converted;
    result.seconds = secondsSince(slot.started);
    report(slot.source, result);
  }
  summary.notStarted = static_cast<int>(pending.size());
}

void BatchRun::report(std::size_t source, FileResult result) {
  SourceState& state = states[source];
  state.phase = SourceState::Phase::Ended;
  state.media = result.converted;
  result.source = sources[source].path;
  out.fileEnded(result);
}

RunProgress BatchRun::progress() const {
  RunProgress now;
  now.filesTotal = static_cast<int>(sources.size() + missing.size());
  now.filesEnded = summary.converted + summary.skipped + summary.failed + summary.stopped;
  now.filesFailed = summary.failed;
  now.elapsed = secondsSince(began);
  // The seconds of media per byte of the sources whose length is known, to tell the others'.
  long long knownBytes = 0;
  std::int64_t knownSeconds = 0;
  for (std::size_t i = 0; i < sources.size(); ++i)
    if (states[i].length > 0 && sources[i].bytes > 0) {
      knownBytes += sources[i].bytes;
      knownSeconds += states[i].length;
    }
  bool unknown = false;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const SourceState& state = states[i];
    if (state.phase == SourceState::Phase::Ended) {
      now.mediaDone += state.media;
      now.mediaTotal += state.media;
      continue;
    }
    now.mediaDone += std::min(state.media, state.length > 0 ? state.length : state.media);
    if (state.length > 0) {
      now.mediaTotal += state.length;
    } else if (knownBytes > 0) {
      now.mediaTotal += static_cast<std::int64_t>(static_cast<double>(sources[i].bytes) *
                                                  static_cast<double>(knownSeconds) /
                                                  static_cast<double>(knownBytes));
      now.estimated = true;
    } else {
      unknown = true;
    }
  }
  if (unknown) now.mediaTotal = 0;
  return now;
}

double BatchRun::secondsSince(Clock::time_point since) const {
  return std::chrono::duration<double>(Clock::now() - since).count();
}
