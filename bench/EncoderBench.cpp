// encoder_bench CLIP [SCRATCH_FOLDER [ENCODER_FOLDER]]: how fast the encoder converts CLIP to
// each output codec (at -b 500 -r 30.00 -ab 128, the anchor's settings), against its
// pipeline's bound: the slowest of its stages measured alone (decoding only; video encoding
// only and audio encoding only, from frames already in memory), or all their processor time
// spread over the cores, whichever is longer. Then how long a probe takes, and how long a stop
// takes at three frame sizes. ENCODER_FOLDER holds the zandrio and quimbel to measure (default:
// this build's).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/StopLatency.h"
#include "encoder/AudioStage.h"
#include "encoder/ConversionPipeline.h"
#include "encoder/ConversionProfile.h"
#include "encoder/OutputFile.h"
#include "encoder/SourceDecoder.h"
#include "encoder/SourceFile.h"
#include "encoder/VideoStage.h"
#include "tests/encoder/EncoderProcess.h"

using namespace vidmora_encoder;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 3;  // of each conversion and each stage; the median counts

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time this process has used so far, all threads together.
double processorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

// Wall and processor time of one measured piece of work.
struct Timing {
  double wall = 0;
  double processor = 0;
};

class Stopwatch {
 public:
  Timing elapsed() const { return {secondsSince(wall), processorSeconds() - processor}; }

 private:
  Clock::time_point wall = Clock::now();
  double processor = processorSeconds();
};

// Processor time of this process's children that have ended so far.
double childrenProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](timeval t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Run {
  Timing timing;
  bool succeeded = false;  // exit status 0
};

// Runs an encoder executable as the program does; started without copying this process,
// which holds the decoded clip.
Run timeRun(const std::string& executable, const std::vector<std::string>& args) {
  const double before = childrenProcessorSeconds();
  const encoder_test::EncoderRun run =
      encoder_test::runEncoder(executable, args, std::chrono::minutes(10));
  return {{run.seconds, childrenProcessorSeconds() - before}, run.exitStatus == 0};
}

struct DecodedClip {
  std::vector<DecodedFrame> video, audio;
  Timing timing;  // of decoding
  double videoEnd = 0;
};

// Decodes the clip on the encoder's own decoding thread, keeping the frames or dropping them.
DecodedClip decodeClip(const std::string& path, bool keep) {
  DecodedClip clip;
  const Stopwatch stopwatch;
  SourceFile source(path);
  SourceDecoder decoder(source, {});
  auto taker = [keep](std::vector<DecodedFrame>& into) {
    return [keep, &into](DecodedFrame frame) {
      if (keep) into.push_back(std::move(frame));
    };
  };
  ConversionPipeline(decoder, taker(clip.video), taker(clip.audio)).run([] {});
  clip.timing = stopwatch.elapsed();
  clip.videoEnd = decoder.videoEnd();
  return clip;
}

DecodedFrame sharing(const DecodedFrame& item) {
  DecodedFrame copy;
  copy.type = item.type;
  copy.seconds = item.seconds;
  copy.duration = item.duration;
  copy.frame.reset(av_frame_clone(item.frame.get()));  // a new reference, not a copy
  return copy;
}

// Encodes the clip's frames of one kind, already in memory, as the encoder does, into
// `target`; only that stream is written.
Timing encodeKind(const std::string& source, const DecodedClip& clip, AVMediaType type,
                  const std::string& codec, const std::string& target) {
  SourceFile file(source);
  SourceDecoder decoder(file, {});  // only for the stream parameters
  const ConversionProfile& profile = ConversionProfile::forCodec(codec);
  const Stopwatch stopwatch;
  OutputFile output(target, profile.muxer);
  if (type == AVMEDIA_TYPE_VIDEO) {
    VideoOutput settings;
    settings.size = {decoder.videoDecoder()->width, decoder.videoDecoder()->height};
    settings.frameRate = parseFrameRate("30.00");
    settings.kbps = 500;
    VideoStage video(profile, settings, output);
    output.open();
    for (const auto& item : clip.video) video.add(sharing(item));
    video.finish(clip.videoEnd);
  } else {
    AudioStage audio(profile, decoder.audioDecoder(), 128, output);
    output.open();
    for (const auto& item : clip.audio) audio.add(item);
    audio.finish();
  }
  output.commit();
  return stopwatch.elapsed();
}

Timing median(std::vector<Timing> runs) {
  std::sort(runs.begin(), runs.end(), [](auto a, auto b) { return a.wall < b.wall; });
  return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: encoder_bench CLIP [SCRATCH_FOLDER [ENCODER_FOLDER]]\n");
    return 2;
  }
  av_log_set_level(AV_LOG_QUIET);
  const std::string clipPath = argv[1];
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  const std::string zandrio = argc > 3 ? std::string(argv[3]) + "/zandrio" : VIDMORA_ZANDRIO;
  const std::string quimbel = argc > 3 ? std::string(argv[3]) + "/quimbel" : VIDMORA_QUIMBEL;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

  const Timing decodeOnly = decodeClip(clipPath, false).timing;
  DecodedClip decoded = decodeClip(clipPath, true);
  const double frames = static_cast<double>(decoded.video.size());
  std::printf("%s: %.0f video frames; %u cores\n", clipPath.c_str(), frames, cores);
  std::printf("decode only: %.2f s wall, %.2f s processor (%.0f fps)\n\n", decodeOnly.wall,
              decodeOnly.processor, frames / decodeOnly.wall);

  std::printf("%-11s %9s %9s %9s %9s %9s %9s %9s %7s\n", "codec", "wall (s)", "cpu (s)", "fps",
              "video (s)", "audio (s)", "cpu/cores", "bound fps", "ratio");
  for (const auto& row : encoder_test::outputFormats(zandrio, quimbel)) {
    const std::string target = folder + "/encoder-bench-out" + row.extension;
    std::vector<Timing> videoRuns, audioRuns, runs;
    for (int i = 0; i < kRuns; ++i) {
      videoRuns.push_back(encodeKind(clipPath, decoded, AVMEDIA_TYPE_VIDEO, row.codec, target));
      audioRuns.push_back(encodeKind(clipPath, decoded, AVMEDIA_TYPE_AUDIO, row.codec, target));
    }
    const Timing video = median(videoRuns), audio = median(audioRuns);
    for (int i = 0; i < kRuns; ++i) {
      const Run run = timeRun(row.executable, {"-i", clipPath, "-vcodec", row.codec, "-b", "500",
                                               "-r", "30.00", "-ab", "128", "-y", target});
      if (!run.succeeded) break;
      runs.push_back(run.timing);
    }
    std::filesystem::remove(target);
    if (runs.size() < kRuns) {
      std::printf("%-11s conversion FAILED\n", row.codec);
      continue;
    }
    const Timing ours = median(runs);
    const double spread = (decodeOnly.processor + video.processor + audio.processor) / cores;
    const double bound = std::max({decodeOnly.wall, video.wall, audio.wall, spread});
    std::printf("%-11s %9.2f %9.2f %9.0f %9.2f %9.2f %9.2f %9.0f %7.2f\n", row.codec, ours.wall,
                ours.processor, frames / ours.wall, video.wall, audio.wall, spread,
                frames / bound, ours.wall / bound);
  }
  decoded = {};

  std::printf("\nprobe time per file:\n");
  std::vector<std::string> probed = {clipPath};
  const std::filesystem::path samples = std::string(VIDMORA_SAMPLES_DIR);
  for (const auto& entry : std::filesystem::directory_iterator(samples))
    if (entry.path().extension() == ".flv") probed.push_back(entry.path());
  std::sort(probed.begin() + 1, probed.end());
  for (const auto& path : probed) {
    constexpr int kProbes = 5;
    double total = 0;
    bool found = true;
    for (int i = 0; i < kProbes; ++i) {
      const Run run = timeRun(zandrio, {"-i", path});
      found = found && run.succeeded;
      total += run.timing.wall;
    }
    std::printf("  %7.1f ms  %s%s\n", total / kProbes * 1000,
                std::filesystem::path(path).filename().c_str(), found ? "" : " (refused)");
  }
  printStopLatency(clipPath, folder, zandrio, quimbel);
  return 0;
}
