#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "process/EncoderNotifier.h"

namespace {

using namespace std::chrono_literals;

struct Posted {
  unsigned message;
  std::uint32_t code;
  std::uint32_t job;
  EncoderRun run;
  std::int64_t value;
};

// Collects what the notifier posts, from any thread.
class Mailbox {
 public:
  EncoderNotifier::Post poster() {
    return [this](UINT message, WPARAM wParam, LPARAM lParam) {
      std::lock_guard lock(mutex);
      posted.push_back({message, encoderNotifyCode(wParam), encoderNotifyJob(wParam),
                        encoderNotifyRun(wParam), lParam});
    };
  }
  std::vector<Posted> waitForEnd() {
    const auto until = std::chrono::steady_clock::now() + 10s;
    for (;;) {
      {
        std::lock_guard lock(mutex);
        if (!posted.empty() && posted.back().code == ENC_ENDED) return posted;
        if (std::chrono::steady_clock::now() > until) return posted;
      }
      std::this_thread::sleep_for(5ms);
    }
  }

 private:
  std::mutex mutex;
  std::vector<Posted> posted;
};

std::vector<std::int64_t> valuesOf(const std::vector<Posted>& posted, std::uint32_t code) {
  std::vector<std::int64_t> values;
  for (const Posted& p : posted)
    if (p.code == code) values.push_back(p.value);
  return values;
}

}  // namespace

TEST(EncoderNotifier, WParamCarriesTheCodeTheWholeJobNumberAndTheRun) {
  const WPARAM wParam = encoderNotifyWParam(ENC_TIME, 0xFFFFFFFFu, EncoderRun::Probe);
  EXPECT_EQ(encoderNotifyCode(wParam), ENC_TIME);
  EXPECT_EQ(encoderNotifyJob(wParam), 0xFFFFFFFFu);
  EXPECT_EQ(encoderNotifyRun(wParam), EncoderRun::Probe);
}

// Every run posts ENC_STARTED first and ENC_ENDED last, all with its job and kind. Only a
// conversion posts times and the length its first line announces; a probe ends with the
// duration its captured text gives, a conversion with its exit status.
TEST(EncoderNotifier, EachRunPostsWhatItsKindReports) {
  using Values = std::vector<std::int64_t>;
  const std::string announcing = "say \"  Duration: 00:02:05.40, start: 0\ntime=3.00 b\n\"";
  const struct {
    EncoderRun run;
    std::string arguments;
    Values times, durations, ended;
    bool writesStandardOutput = false;
  } cases[] = {
      {EncoderRun::Conversion, "times 1.00 \"  7.96\" 12.50", {1, 7, 12}, {0}, {0}},
      {EncoderRun::Conversion, "exit 1", {}, {}, {1}},
      {EncoderRun::Conversion, "crash", {}, {}, {128 + 11}},
      {EncoderRun::Conversion, announcing, {3}, {125}, {0}},
      {EncoderRun::Conversion, "stdout 10", {}, {}, {0}, true},
      {EncoderRun::Probe, "times 3.00", {}, {}, {0}},  // its "time=" lines are not reported
      {EncoderRun::Probe, "say \"Input #0, flv\n  Duration: 00:02:05.40, start: 0.000000\n\"",
       {}, {}, {125}},
      {EncoderRun::Probe, announcing, {}, {}, {125}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    Mailbox mailbox;
    EncoderNotifier notifier(mailbox.poster(), RunnerStopPauses{1ms, 1ms, 1ms});
    ASSERT_TRUE(notifier.start(c.run, std::string("\"") + RUNNER_CHILD + "\" " + c.arguments));
    const std::uint32_t job = notifier.jobNumber();
    const std::vector<Posted> posted = mailbox.waitForEnd();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.front().code, ENC_STARTED);
    EXPECT_EQ(valuesOf(posted, ENC_TIME), c.times);
    EXPECT_EQ(valuesOf(posted, ENC_DURATION), c.durations);
    EXPECT_EQ(valuesOf(posted, ENC_ENDED), c.ended);
    // Standard output chunks are posted without their text.
    const Values chunks = valuesOf(posted, ENC_STDOUT);
    EXPECT_EQ(!chunks.empty(), c.writesStandardOutput);
    for (std::int64_t value : chunks) EXPECT_EQ(value, 0);
    for (const Posted& p : posted) {
      EXPECT_EQ(p.message, WM_ENCODER_NOTIFY);
      EXPECT_EQ(p.job, job);
      EXPECT_EQ(p.run, c.run);
    }
  }
}
