// encoder_fuzz SECONDS [SEED]: feeds mutated real samples (tests/samples) to the encoder built
// with AddressSanitizer and UndefinedBehaviorSanitizer, each input as a probe and as a
// conversion (the four codecs in turn, some into an existing target, some stopped with
// SIGTERM or killed with SIGKILL mid-run), and checks what every run must do: end within its
// time, without a signal or a sanitizer report, with exit status 0 or 1 (3 only when stopped),
// a failure with its "error: " line, a probe that does not report the metadata's length where
// the source's packets cover far less or far more, a success with a readable output that holds
// at least half the picture the source's video packets cover, and nothing in the output folder
// but the target afterwards.
// A walk of the input's tags of its own (whatever their codec: classic, ex-header with any
// FourCC, Multitrack) adds what the tags hold: a success must have picture where the video
// tags hold a second or more (and at least half of it), and sound where the audio tags do;
// a probe of a file whose tags chain cleanly must report their summed length (restarts and
// jumps taken out), within 2 s and a quarter (or the length their steps of up to a second
// hold, where a damaged timestamp made a step of a few seconds).
// Starts no new input after SECONDS; the same seed tries the same inputs. Each input that
// breaks a rule is written, with a note of what happened, to the findings folder. Exit status
// 1 when anything was found.
// VIDMORA_FUZZ_SAMPLES, when set, names the samples to mutate: file name patterns ("*enhanced*
// h264-aac-*"), separated by spaces or commas.
#include <fnmatch.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "encoder/contract/EncoderContract.h"
#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/FileContents.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/fixtures/FlvCensus.h"
#include "tests/fuzz/Mutator.h"
extern "C" {
#include <libavutil/log.h>
}

using namespace encoder_fuzz;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

constexpr const char* kEarlierContent = "the user's earlier file";

const std::vector<encoder_test::OutputFormat> kFormats =
    encoder_test::outputFormats(VIDMORA_ZANDRIO_ASAN, VIDMORA_QUIMBEL_ASAN);

enum class Ending { Natural, Stop, Kill };
enum class Finding { None, Crash, Hang, Leftover, Wrong };

struct Totals {
  int inputs = 0;
  int stopped = 0;
  int killed = 0;
  int found[5] = {};  // by Finding
  int removedByName = 0;  // pid-named temporaries a kill left, removed as the program does
  int converted = 0;      // conversions that ended with exit status 0
  int refused = 0;        // and with 1
};

struct Judgement {
  Finding finding = Finding::None;
  std::string why;
  const char* rule = "";  // which wrong-result rule, for the summary; "" for the others
};

void writeBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool holds(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// A SIGTERM sent while the process was still starting, before it could install its handler,
// ends it like a kill; from the "Output: " line on, the handler is long in place.
bool endedBeforeItsHandler(const encoder_test::EncoderRun& run, Ending ending) {
  return ending == Ending::Stop && run.signal == SIGTERM && !holds(run.errorText, "Output: ");
}

// The rules every run keeps, whatever its input.
Judgement judgeRun(const encoder_test::EncoderRun& run, Ending ending, bool probe) {
  if (run.timedOut) return {Finding::Hang, "did not end in time"};
  for (const char* report : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"})
    if (holds(run.errorText, report)) return {Finding::Crash, report};
  if (ending == Ending::Kill || endedBeforeItsHandler(run, ending)) return {};
  if (run.signal != 0) return {Finding::Crash, "ended by signal " + std::to_string(run.signal)};
  const int status = run.exitStatus;
  if (status != 0 && status != 1 && !(status == 3 && ending == Ending::Stop))
    return {Finding::Wrong, "exit status " + std::to_string(status)};
  if (status == 1 && !holds(run.errorText, "error: "))
    return {Finding::Wrong, "failure without its line"};
  if (probe && status == 0 && !holds(run.errorText, encoder_contract::kDurationMarker))
    return {Finding::Wrong, "probe succeeded without a duration"};
  return {};
}

// After a conversion the folder holds the target or nothing: a complete output after a
// success, the earlier file untouched after a failure or a stop.
Judgement judgeFolder(const fs::path& folder, const fs::path& target, bool existed,
                      const encoder_test::EncoderRun& run, Ending ending, pid_t pid,
                      Totals& totals) {
  const bool killed = ending == Ending::Kill || endedBeforeItsHandler(run, ending);
  if (killed) {
    const fs::path named = folder / encoder_contract::temporaryFileName(pid);
    if (fs::exists(named)) {
      fs::remove(named);
      ++totals.removedByName;
    }
  }
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path() != target)
      return {Finding::Leftover, "left " + entry.path().filename().string()};
  if (killed) return {};
  const bool present = fs::exists(target);
  const bool earlier = present && encoder_test::readAll(target) == kEarlierContent;
  if (run.exitStatus == 0 && (!present || earlier || !encoder_test::readMediaFacts(target).opened))
    return {Finding::Wrong, "success without a readable output"};
  if (run.exitStatus != 0 && existed && !earlier)
    return {Finding::Wrong, "the earlier file was changed by a run that did not complete"};
  if (run.exitStatus == 1 && !existed && present)
    return {Finding::Wrong, "a failure left an output"};
  return {};
}

// A picture shortfall this small (seconds) is not judged: the encoder lets half a second go
// itself, and the two readings count a stream's ends differently.
constexpr double kPictureToleranceSeconds = 1.0;

// Of a kind its tags hold this long (seconds) or longer, a success must have some: a stray
// tag a mutation made holds next to nothing.
constexpr double kHeldKindSeconds = 1.0;

// A wrong result under `rule`, its figures written into `format`.
template <typename... Figures>
Judgement wrongResult(const char* rule, const char* format, Figures... figures) {
  char why[160];
  std::snprintf(why, sizeof why, format, figures...);
  return {Finding::Wrong, why, rule};
}

// What a complete conversion holds against independent readings of its source (its packets
// as a demuxer sees them, its tags as they are): the wrong results an exit 0 can hide.
Judgement judgeContent(const encoder_test::SourceFacts& source,
                       const flv_fixture::FlvCensus& census, const fs::path& target) {
  const encoder_test::MediaFacts output = encoder_test::readMediaFacts(target);
  const double shown = output.videoSeconds;
  if (shown + kPictureToleranceSeconds < source.videoSeconds() / 2)
    return wrongResult("short picture",
                       "exit 0 with %.2f s of picture, the source's video covers %.2f s", shown,
                       source.videoSeconds());
  // What the tags surely hold: a mutation that moves one tag's time must not make a shortfall.
  const double videoHeld = census.video.steadySeconds, audioHeld = census.audio.steadySeconds;
  if (videoHeld >= kHeldKindSeconds && output.videoCodec.empty())
    return wrongResult("no picture", "exit 0 without picture, the source's video tags hold %.2f s",
                       videoHeld);
  if (shown + kPictureToleranceSeconds < videoHeld / 2)
    return wrongResult("short picture by tags",
                       "exit 0 with %.2f s of picture, the source's video tags hold %.2f s", shown,
                       videoHeld);
  if (audioHeld >= kHeldKindSeconds && output.audioCodec.empty())
    return wrongResult("no sound", "exit 0 without sound, the source's audio tags hold %.2f s",
                       audioHeld);
  return {};
}

// The length a successful probe reports, in seconds; negative when it gives none.
double reportedSeconds(const std::string& text) {
  const auto at = text.find(encoder_contract::kDurationMarker);
  int hours = 0, minutes = 0;
  double seconds = 0;
  if (at == std::string::npos ||
      std::sscanf(text.c_str() + at + std::strlen(encoder_contract::kDurationMarker), "%d:%d:%lf",
                  &hours, &minutes, &seconds) != 3)
    return -1;
  return hours * 3600.0 + minutes * 60.0 + seconds;
}

// The probe must not take a file's metadata at its word when what the file holds is far from
// it (a download cut short, a writer that lied). What a damaged file holds depends on how it
// is read, so a length the metadata states is wrong only when it is far (more than 2 s and a
// quarter) from every reading's figure: what each covers, and its first packet to its last.
Judgement judgeProbe(const encoder_test::SourceFacts& source, const encoder_test::EncoderRun& run) {
  const double reported = reportedSeconds(run.errorText);
  if (reported < 0 || source.statedSeconds <= 0 || std::fabs(reported - source.statedSeconds) > 0.01)
    return {};
  double nearest = 1e300;
  for (const auto& reading : {source.byFields, source.bySizes})
    for (double held : {std::max(reading.videoSeconds, reading.audioSeconds), reading.span})
      if (std::fabs(reported - held) < std::fabs(reported - nearest)) nearest = held;
  if (nearest > 0 && std::fabs(reported - nearest) > std::max(2.0, 0.25 * nearest))
    return wrongResult("metadata length", "probe reported the metadata's %.2f s, the media holds %.2f s",
                       reported, nearest);
  return {};
}

// A probe must report the length the file holds. Where the tags chain cleanly their walk
// knows it (restarts and jumps taken out): a length far (more than 2 s and a quarter) from
// both its readings, with steps up to 5 s or up to a second counted, is wrong. Where they do
// not, what the file holds depends on how it is read: not judged.
Judgement judgeProbeByTags(const flv_fixture::FlvCensus& census,
                           const encoder_test::EncoderRun& run) {
  const double reported = reportedSeconds(run.errorText);
  const double held = census.mediaSeconds();
  auto near = [reported](double figure) {
    return std::fabs(reported - figure) <= std::max(2.0, 0.25 * figure);
  };
  if (reported < 0 || !census.clean || held <= 0 || near(held) ||
      near(census.steadyMediaSeconds()))
    return {};
  return wrongResult("probe length by tags", "probe reported %.2f s, the source's tags hold %.2f s",
                     reported, held);
}

// The samples to mutate: every .flv in the samples folder, or those whose names match one of
// `patterns` (shell patterns separated by spaces or commas).
std::vector<fs::path> chooseSamples(const char* patterns) {
  std::vector<std::string> wanted;
  std::string text = patterns != nullptr ? patterns : "";
  std::replace(text.begin(), text.end(), ',', ' ');
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    if (end > at) wanted.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  std::vector<fs::path> samples;
  for (const auto& entry : fs::directory_iterator(VIDMORA_SAMPLES_DIR)) {
    const std::string name = entry.path().filename().string();
    const bool chosen = wanted.empty() || std::any_of(wanted.begin(), wanted.end(), [&](auto& p) {
                          return fnmatch(p.c_str(), name.c_str(), 0) == 0;
                        });
    if (entry.path().extension() == ".flv" && chosen) samples.push_back(entry.path());
  }
  std::sort(samples.begin(), samples.end());
  return samples;
}

class Fuzzer {
 public:
  Fuzzer(uint64_t firstSeed, fs::path workFolder, fs::path findingsFolder,
         std::vector<fs::path> seeds)
      : random(firstSeed),
        seed(firstSeed),
        work(std::move(workFolder)),
        findings(std::move(findingsFolder)),
        samples(std::move(seeds)) {}

  void tryOne() {
    const fs::path& sample = samples[random() % samples.size()];
    current = sample.filename().string();
    ++bySample[current].inputs;
    std::vector<std::string> mutations;
    const std::string inputBytes = encoder_test::readAll(sample);
    const Bytes input = mutate(Bytes(inputBytes.begin(), inputBytes.end()), random, mutations);
    const fs::path inputPath = work / "input.flv";
    writeBytes(inputPath, input);
    ++tally.inputs;
    std::string what = sample.filename().string() + " with";
    for (const auto& mutation : mutations) what += " " + mutation;

    const encoder_test::SourceFacts facts = encoder_test::readSourceFacts(inputPath);
    const flv_fixture::FlvCensus census = flv_fixture::takeCensus(input);
    const auto probe =
        encoder_test::runEncoder(VIDMORA_ZANDRIO_ASAN, {"-i", inputPath}, std::chrono::seconds(20));
    Judgement probed = judgeRun(probe, Ending::Natural, true);
    if (probed.finding == Finding::None && probe.exitStatus == 0) probed = judgeProbe(facts, probe);
    if (probed.finding == Finding::None && probe.exitStatus == 0)
      probed = judgeProbeByTags(census, probe);
    record(probed, input, what + "\nprobe", probe);

    const encoder_test::OutputFormat& format = kFormats[tally.inputs % kFormats.size()];
    const fs::path folder = work / "out";
    fs::remove_all(folder);
    fs::create_directory(folder);
    const fs::path target = folder / (std::string("target") + format.extension);
    const bool existed = random() % 4 == 0;
    if (existed) std::ofstream(target) << kEarlierContent;
    const unsigned draw = random() % 10;
    const Ending ending = draw < 2 ? Ending::Kill : draw < 4 ? Ending::Stop : Ending::Natural;
    const auto delay = std::chrono::milliseconds(20 + random() % 600);
    std::vector<std::string> args{"-i", inputPath, "-vcodec", format.codec};
    if (random() % 3 == 0) args.insert(args.end(), {"-b", "300", "-r", "25.00", "-ab", "64"});
    if (random() % 3 == 0) args.insert(args.end(), {"-s", "176x144"});
    args.insert(args.end(), {"-y", target});

    encoder_test::EncoderProcess conversion(format.executable, args);
    if (ending != Ending::Natural) {
      conversion.waitForText("\x01", delay);  // reads standard error for that long
      if (ending == Ending::Kill) {
        conversion.kill();
        ++tally.killed;
      } else {
        conversion.terminate();
        ++tally.stopped;
      }
    }
    const pid_t pid = conversion.pid();
    const auto run = conversion.finish(std::chrono::seconds(60));
    tally.converted += run.exitStatus == 0;
    tally.refused += run.exitStatus == 1;
    std::string command = format.codec;
    for (std::size_t i = 4; i + 2 < args.size(); ++i) command += " " + args[i];
    const char* endings[] = {"", " (SIGTERM", " (SIGKILL"};
    if (ending != Ending::Natural)
      command += endings[static_cast<int>(ending)] + std::string(" after ") +
                 std::to_string(delay.count()) + " ms)";
    if (existed) command += " into an existing target";
    Judgement verdict = judgeRun(run, ending, false);
    if (verdict.finding == Finding::None)
      verdict = judgeFolder(folder, target, existed, run, ending, pid, tally);
    if (verdict.finding == Finding::None && ending == Ending::Natural && run.exitStatus == 0)
      verdict = judgeContent(facts, census, target);
    record(verdict, input, what + "\nconversion " + command, run);
  }

  const Totals& totals() const { return tally; }

  // For each sample that gave findings: its inputs, and its findings by kind and rule.
  void printBySample() const {
    for (const auto& [name, counts] : bySample) {
      if (counts.found.empty()) continue;
      std::string line = "fuzz: " + name + ": " + std::to_string(counts.inputs) + " inputs;";
      for (const auto& [kind, count] : counts.found) line += " " + kind + " " + std::to_string(count) + ",";
      line.pop_back();
      std::printf("%s\n", line.c_str());
    }
  }

 private:
  void record(const Judgement& verdict, const Bytes& input, const std::string& what,
              const encoder_test::EncoderRun& run) {
    static const char* kNames[] = {"", "crash", "hang", "leftover", "wrong"};
    if (verdict.finding == Finding::None) return;
    ++tally.found[static_cast<int>(verdict.finding)];
    const std::string kind = kNames[static_cast<int>(verdict.finding)];
    ++bySample[current].found[*verdict.rule != 0 ? kind + " (" + verdict.rule + ")" : kind];
    fs::create_directories(findings);
    const std::string name = kind + "-seed" + std::to_string(seed) + "-" + std::to_string(tally.inputs);
    writeBytes(findings / (name + ".flv"), input);
    const std::string tail = run.errorText.size() > 4000
                                 ? run.errorText.substr(run.errorText.size() - 4000)
                                 : run.errorText;
    std::ofstream(findings / (name + ".txt")) << what << "\n" << verdict.why << "\n\n" << tail;
    std::printf("found %s: %s (%s)\n", kind.c_str(), what.c_str(), verdict.why.c_str());
    std::fflush(stdout);
  }

  std::mt19937_64 random;
  uint64_t seed;
  fs::path work;
  fs::path findings;
  std::vector<fs::path> samples;
  Totals tally;
  struct SampleCounts {
    int inputs = 0;
    std::map<std::string, int> found;  // by kind, and rule for wrong results
  };
  std::map<std::string, SampleCounts> bySample;
  std::string current;  // the sample of the input being tried
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: encoder_fuzz SECONDS [SEED]\n");
    return 2;
  }
  const double seconds = std::atof(argv[1]);
  av_log_set_level(AV_LOG_QUIET);  // reading outputs back, the libraries would chatter
  const uint64_t seed = argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 20240601;
  // A sanitizer report must not pass for the encoder's own failure status.
  setenv("ASAN_OPTIONS", "exitcode=86", 0);
  setenv("UBSAN_OPTIONS", "exitcode=86:print_stacktrace=1", 0);
  char pattern[] = "/tmp/vidmora-fuzz-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const fs::path work = pattern;
  std::vector<fs::path> samples = chooseSamples(std::getenv("VIDMORA_FUZZ_SAMPLES"));
  if (samples.empty()) {
    std::fprintf(stderr, "encoder_fuzz: no sample matches VIDMORA_FUZZ_SAMPLES\n");
    fs::remove_all(work);
    return 2;
  }
  std::printf("fuzz: mutating %zu samples\n", samples.size());
  Fuzzer fuzzer(seed, work, VIDMORA_FUZZ_FINDINGS, std::move(samples));
  const auto start = Clock::now();
  while (std::chrono::duration<double>(Clock::now() - start).count() < seconds) fuzzer.tryOne();
  fs::remove_all(work);
  const Totals& t = fuzzer.totals();
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf(
      "fuzz: seed %llu, %d inputs in %.0f s, each probed and converted (%d conversions stopped, "
      "%d killed mid-run; %d ended complete, %d refused)\n"
      "fuzz: crashes %d, hangs %d, leftover files %d, wrong results %d; pid-named temporaries "
      "removed after a kill %d\n",
      static_cast<unsigned long long>(seed), t.inputs, took, t.stopped, t.killed, t.converted,
      t.refused, t.found[int(Finding::Crash)], t.found[int(Finding::Hang)],
      t.found[int(Finding::Leftover)], t.found[int(Finding::Wrong)], t.removedByName);
  fuzzer.printBySample();
  const int found = std::accumulate(std::begin(t.found), std::end(t.found), 0);
  if (found > 0) std::printf("fuzz: the inputs are in %s\n", VIDMORA_FUZZ_FINDINGS);
  return found > 0 ? 1 : 0;
}
