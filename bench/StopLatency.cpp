#include "bench/StopLatency.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "tests/encoder/EncoderProcess.h"

using Clock = std::chrono::steady_clock;

namespace {

// One run: SIGTERM a while after the first progress line; the milliseconds until it exited,
// negative when it did not stop as a stop should (exit status 3).
double stopMilliseconds(const encoder_test::OutputFormat& format, const std::string& size, const std::string& clip,
                        const std::string& target) {
  encoder_test::EncoderProcess process(
      format.executable, {"-i", clip, "-vcodec", format.codec, "-s", size, "-y", target});
  if (!process.waitForText("time=", std::chrono::seconds(60))) return -1;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the queues fill up
  const auto signalled = Clock::now();
  process.terminate();
  const encoder_test::EncoderRun run = process.finish(std::chrono::minutes(2));
  const double elapsed =
      std::chrono::duration<double, std::milli>(Clock::now() - signalled).count();
  std::filesystem::remove(target);
  return run.exitStatus == 3 ? elapsed : -1;
}

}  // namespace

void printStopLatency(const std::string& clip, const std::string& folder,
                      const std::string& zandrio, const std::string& quimbel, int runs) {
  const char* sizes[] = {"640x360", "1920x1080", "3840x2160"};
  std::printf("\nSIGTERM to exit, median of %d runs (ms; FAILED: no exit status 3):\n", runs);
  std::printf("%-11s", "codec");
  for (const char* size : sizes) std::printf(" %12s", size);
  std::printf("\n");
  for (const auto& format : encoder_test::outputFormats(zandrio, quimbel)) {
    std::printf("%-11s", format.codec);
    for (const char* size : sizes) {
      std::vector<double> times;
      for (int i = 0; i < runs; ++i)
        times.push_back(stopMilliseconds(format, size, clip,
                                         folder + "/encoder-bench-stop" + format.extension));
      std::sort(times.begin(), times.end());
      if (times.front() < 0)
        std::printf(" %12s", "FAILED");
      else
        std::printf(" %12.0f", times[times.size() / 2]);
      std::fflush(stdout);
    }
    std::printf("\n");
  }
}
