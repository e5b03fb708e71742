// probe_bench [SCRATCH_FOLDER [ENCODER_FOLDER]]: what a probe costs on long files, and how
// soon a stop ends a probe or a conversion of one. Makes one-hour and three-hour files from a
// real sample (its tags repeated, the metadata stating the new length), each also with every
// PreviousTagSize field wrong and cut in half, and prints for each: the duration the probe
// reports, its wall time with the file in the page cache (median of 5) and with the file's
// pages dropped first, and the bytes it read from the disk then; and the probe's own work
// without the process's start (in this process, file cached), with the bytes it read. Then the time from SIGTERM to
// exit for a probe and a conversion of each three-hour file, with the signal sent 20, 50,
// 100 and 300 ms after the start (median of 5). Exit 143 is the signal's own: it came before
// the encoder's handler was in place, while the process was still starting. ENCODER_FOLDER holds the zandrio to
// measure (default: this build's).
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "encoder/ProbeReport.h"
#include "encoder/SourceFile.h"
#include "tests/encoder/EncoderProcess.h"
#include "tests/fixtures/FlvFixture.h"
#include "tests/fixtures/FlvTagEdit.h"
extern "C" {
#include <libavutil/log.h>
}

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 5;

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Drops the file's pages from the page cache, so the next reader reads it from the disk.
void dropFromCache(const std::string& path) {
  const int file = ::open(path.c_str(), O_RDONLY);
  if (file < 0) return;
  ::fdatasync(file);
  ::posix_fadvise(file, 0, 0, POSIX_FADV_DONTNEED);
  ::close(file);
}

// Bytes the children that ended so far read from the disk.
long long childrenDiskBytes() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<long long>(usage.ru_inblock) * 512;
}

std::string reportedDuration(const std::string& text) {
  const auto at = text.find("Duration: ");
  const auto end = text.find(',', at);
  if (at == std::string::npos || end == std::string::npos) return "no duration";
  return std::string(text.begin() + static_cast<std::ptrdiff_t>(at) + 10,
                     text.begin() + static_cast<std::ptrdiff_t>(end));
}

// The probe's work in this process: the source opened and its duration found.
struct InProcess {
  double seconds = 0;
  int64_t bytes = 0;
};
InProcess probeHere(const std::string& path) {
  std::vector<double> times;
  int64_t bytes = 0;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = Clock::now();
    vidmora_encoder::SourceFile source(path);
    int64_t first = 0;
    vidmora_encoder::probeDuration(source, first);
    times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    bytes = source.file().bytesRead();
  }
  return {median(times), bytes};
}

void printProbe(const std::string& zandrio, const std::string& path, const char* label) {
  std::vector<double> warm;
  std::string duration;
  for (int i = 0; i < kRuns; ++i) {
    const auto run = encoder_test::runEncoder(zandrio, {"-i", path}, std::chrono::minutes(5));
    warm.push_back(run.seconds);
    duration = reportedDuration(run.errorText);
  }
  std::vector<double> cold;
  long long diskBytes = 0;
  for (int i = 0; i < kRuns; ++i) {
    dropFromCache(path);
    const long long before = childrenDiskBytes();
    cold.push_back(encoder_test::runEncoder(zandrio, {"-i", path}, std::chrono::minutes(5)).seconds);
    diskBytes = std::max(diskBytes, childrenDiskBytes() - before);
  }
  const double size = static_cast<double>(fs::file_size(path));
  const InProcess here = probeHere(path);
  std::printf("  %-22s %6.1f MB  %-12s %7.1f ms %7.1f ms %7.2f MB (%5.2f %%) %7.1f ms %7.2f MB\n",
              label, size / 1e6, duration.c_str(), median(warm) * 1000, median(cold) * 1000,
              diskBytes / 1e6, 100.0 * diskBytes / size, here.seconds * 1000, here.bytes / 1e6);
}

double stopLatency(const std::string& zandrio, const std::vector<std::string>& args,
                   std::chrono::milliseconds after, int& exitStatus) {
  encoder_test::EncoderProcess process(zandrio, args);
  std::this_thread::sleep_for(after);
  const auto signalled = Clock::now();
  process.terminate();
  const auto run = process.finish(std::chrono::seconds(60));
  exitStatus = run.timedOut ? -2 : run.signal != 0 ? 128 + run.signal : run.exitStatus;
  return std::chrono::duration<double>(Clock::now() - signalled).count();
}

void printStops(const std::string& zandrio, const std::string& path, const std::string& folder,
                const char* label) {
  for (const bool conversion : {false, true}) {
    std::printf("  %-22s %-10s", label, conversion ? "conversion" : "probe");
    for (const int ms : {20, 50, 100, 300}) {
      std::vector<double> latencies;
      std::string statuses;
      for (int i = 0; i < kRuns; ++i) {
        std::vector<std::string> args = {"-i", path};
        const std::string target = folder + "/stopped.avi";
        if (conversion) args.insert(args.end(), {"-vcodec", "msmpeg4v2", "-y", target});
        int status = 0;
        latencies.push_back(stopLatency(zandrio, args, std::chrono::milliseconds(ms), status));
        if (!statuses.empty()) statuses += ',';
        statuses += std::to_string(status);
        fs::remove(target);
      }
      std::printf("  %3d ms: %6.1f ms (exit %s)", ms, median(latencies) * 1000, statuses.c_str());
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  av_log_set_level(AV_LOG_QUIET);
  const std::string folder = argc > 1 ? argv[1] : "/tmp/vidmora-probe-bench";
  const std::string encoders = argc > 2 ? argv[2] : fs::path(VIDMORA_ZANDRIO).parent_path().string();
  const std::string zandrio = encoders + "/zandrio";
  fs::create_directories(folder);
  const std::string sample = std::string(VIDMORA_SAMPLES_DIR) + "/vp6-mp3.flv";
  struct Made {
    std::string path;
    const char* label;
    bool threeHours;
  };
  std::vector<Made> files;
  for (const int hours : {1, 3}) {
    const std::string base = folder + "/" + std::to_string(hours) + "h";
    const std::string whole = base + ".flv";
    // The sample holds 28.06 s: 129 rounds are an hour.
    if (!fs::exists(whole)) flv_fixture::writeRepeated(sample, whole, 129 * hours);
    if (!fs::exists(base + "-wrong-sizes.flv"))
      flv_fixture::writeWithWrongTagSizes(whole, base + "-wrong-sizes.flv");
    if (!fs::exists(base + "-cut-in-half.flv")) {
      fs::copy_file(whole, base + "-cut-in-half.flv");
      flv_fixture::truncateFile(base + "-cut-in-half.flv", 0.5);
    }
    const bool three = hours == 3;
    files.push_back({whole, three ? "3 h, well-formed" : "1 h, well-formed", three});
    files.push_back({base + "-wrong-sizes.flv", three ? "3 h, tag sizes wrong" : "1 h, tag sizes wrong", three});
    files.push_back({base + "-cut-in-half.flv", three ? "3 h, cut in half" : "1 h, cut in half", three});
  }
  std::printf("probe of %s (median of %d runs):\n", zandrio.c_str(), kRuns);
  std::printf("  %-22s %9s  %-12s %10s %10s %-19s %s\n", "file", "size", "duration",
              "cached", "from disk", "read from disk", "probe's own work, bytes read");
  for (const Made& file : files) printProbe(zandrio, file.path, file.label);
  std::printf("\nSIGTERM to exit, by when the signal comes after the start (median of %d):\n", kRuns);
  for (const Made& file : files)
    if (file.threeHours) printStops(zandrio, file.path, folder, file.label);
  return 0;
}
