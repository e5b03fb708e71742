// encoder_bench: how fast the encoder converts a generated 640x360, 60-second clip to each
// output codec, against the two halves of its pipeline measured alone (decoding only, and
// encoding only from frames already in memory), how long a probe takes, and how long a stop
// takes at three frame sizes.
//   usage: encoder_bench [SCRATCH_FOLDER]   (default /tmp)
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/StopLatency.h"
#include "encoder/AudioStage.h"
#include "encoder/ConversionProfile.h"
#include "encoder/OutputFile.h"
#include "encoder/SourceDecoder.h"
#include "encoder/SourceFile.h"
#include "encoder/VideoStage.h"
#include "tests/fixtures/FlvFixture.h"

using namespace vidmora_encoder;
using Clock = std::chrono::steady_clock;

namespace {

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

// Runs an executable with its standard error discarded; returns its wall time in seconds
// and sets `succeeded` to whether it exited with status 0.
double timeRun(const std::vector<std::string>& argv, bool& succeeded) {
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stderr);
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return secondsSince(start);
}

struct DecodedClip {
  std::vector<DecodedFrame> frames;
  int videoFrames = 0;
  Timing timing;  // of decoding
  double videoEnd = 0;
};

DecodedClip decodeAll(const std::string& path, bool keep) {
  DecodedClip clip;
  const auto start = Clock::now();
  const double processorStart = processorSeconds();
  SourceFile source(path);
  SourceDecoder decoder(source);
  decoder.start();
  while (auto item = decoder.next()) {
    if (item->type == AVMEDIA_TYPE_VIDEO) ++clip.videoFrames;
    if (keep) clip.frames.push_back(std::move(*item));
  }
  clip.timing = {secondsSince(start), processorSeconds() - processorStart};
  clip.videoEnd = decoder.videoEnd();
  return clip;
}

// Encodes the frames in memory as the encoder does, into a file in `folder`.
Timing encodeAll(const std::string& source, DecodedClip& clip, const std::string& codec,
                 const std::string& target) {
  SourceFile file(source);
  SourceDecoder decoder(file);  // only for the stream parameters
  const ConversionProfile& profile = ConversionProfile::forCodec(codec);
  const auto start = Clock::now();
  const double processorStart = processorSeconds();
  OutputFile output(target, profile.muxer);
  VideoOutput settings;
  settings.size = {decoder.videoDecoder()->width, decoder.videoDecoder()->height};
  settings.frameRate = sourceFrameRate(file.context(), file.videoStream());
  VideoStage video(profile, settings, output);
  AudioStage audio(profile, decoder.audioDecoder(), std::nullopt, output);
  output.open();
  for (auto& item : clip.frames) {
    DecodedFrame copy;
    copy.type = item.type;
    copy.seconds = item.seconds;
    copy.duration = item.duration;
    copy.frame.reset(av_frame_clone(item.frame.get()));
    if (copy.type == AVMEDIA_TYPE_VIDEO)
      video.add(std::move(copy));
    else
      audio.add(copy);
  }
  video.finish(clip.videoEnd);
  audio.finish();
  output.commit();
  return {secondsSince(start), processorSeconds() - processorStart};
}

}  // namespace

int main(int argc, char** argv) {
  av_log_set_level(AV_LOG_QUIET);
  const std::string folder = argc > 1 ? argv[1] : "/tmp";
  const std::string clipPath = folder + "/encoder-bench-640x360.flv";
  const std::string bare = folder + "/encoder-bench-640x360-no-metadata.flv";
  std::printf("making the 640x360 60 s clip (Sorenson H.263 + MP3, 30 fps)...\n");
  flv_fixture::makeClip(clipPath, {.seconds = 60, .width = 640, .height = 360, .fps = 30});
  flv_fixture::makeClip(bare, {.seconds = 60, .width = 640, .height = 360, .fps = 30,
                               .durationMetadata = false});

  DecodedClip decoded = decodeAll(clipPath, true);
  const double decodeFps = decoded.videoFrames / decoded.timing.wall;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::printf("decode only: %d frames in %.2f s = %.0f fps; %u cores\n\n", decoded.videoFrames,
              decoded.timing.wall, decodeFps, cores);

  struct Row {
    const char* codec;
    const char* executable;
    const char* extension;
  };
  const Row rows[] = {{"msmpeg4v2", VIDMORA_ZANDRIO, ".avi"},
                      {"mpeg1video", VIDMORA_ZANDRIO, ".mpg"},
                      {"mpeg2video", VIDMORA_ZANDRIO, ".mpg"},
                      {"wmv2", VIDMORA_QUIMBEL, ".wmv"}};
  // The pipeline's bound is the slower half; when the halves together need more processor
  // time than the cores give in that time, the cores are the bound instead.
  std::printf("%-11s %12s %12s %12s %8s %14s\n", "codec", "encoder fps", "decode fps",
              "encode fps", "ratio", "ratio (cores)");
  for (const Row& row : rows) {
    const std::string target = folder + "/encoder-bench-out" + row.extension;
    const Timing encode = encodeAll(clipPath, decoded, row.codec, target);
    bool converted = false;
    const double runSeconds =
        timeRun({row.executable, "-i", clipPath, "-vcodec", row.codec, "-y", target}, converted);
    if (!converted) std::printf("%-11s conversion FAILED\n", row.codec);
    const double bound = std::max(decoded.timing.wall, encode.wall);
    const double coreBound =
        std::max(bound, (decoded.timing.processor + encode.processor) / cores);
    std::printf("%-11s %12.0f %12.0f %12.0f %8.2f %14.2f\n", row.codec,
                decoded.videoFrames / runSeconds, decodeFps, decoded.videoFrames / encode.wall,
                runSeconds / bound, runSeconds / coreBound);
    std::filesystem::remove(target);
  }

  std::printf("\nprobe time per file:\n");
  std::vector<std::string> probed = {clipPath, bare};
  const std::filesystem::path samples = std::string(VIDMORA_SAMPLES_DIR);
  if (std::filesystem::exists(samples))
    for (const auto& entry : std::filesystem::directory_iterator(samples))
      if (entry.path().extension() == ".flv") probed.push_back(entry.path());
  for (const auto& path : probed) {
    constexpr int kRuns = 5;
    double total = 0;
    bool found = false;
    for (int i = 0; i < kRuns; ++i) total += timeRun({VIDMORA_ZANDRIO, "-i", path}, found);
    std::printf("  %7.1f ms  %s%s\n", total / kRuns * 1000,
                std::filesystem::path(path).filename().c_str(), found ? "" : " (refused)");
  }
  printStopLatency(clipPath, folder);
  std::filesystem::remove(clipPath);
  std::filesystem::remove(bare);
  return 0;
}
