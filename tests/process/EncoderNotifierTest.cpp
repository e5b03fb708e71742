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

const ChildProcessRunner::StopPauses kShortPauses{1ms, 1ms, 1ms};

std::string childLine(const std::string& arguments) {
  return std::string("\"") + RUNNER_CHILD + "\" " + arguments;
}

std::vector<std::int64_t> valuesOf(const std::vector<Posted>& posted, std::uint32_t code) {
  std::vector<std::int64_t> values;
  for (const Posted& p : posted)
    if (p.code == code) values.push_back(p.value);
  return values;
}

}  // namespace

TEST(EncoderNotifier, MessageAndCodesKeepTheirNumbers) {
  EXPECT_EQ(WM_ENCODER_NOTIFY, 1224u);
  EXPECT_EQ(ENC_STARTED, 7000u);
  EXPECT_EQ(ENC_STDOUT, 7001u);
  EXPECT_EQ(ENC_TIME, 7002u);
  EXPECT_EQ(ENC_ENDED, 7003u);
  EXPECT_EQ(ENC_DURATION, 7004u);
  const WPARAM wParam = encoderNotifyWParam(ENC_TIME, 0xFFFFFFFFu, EncoderRun::Probe);
  EXPECT_EQ(encoderNotifyCode(wParam), ENC_TIME);
  EXPECT_EQ(encoderNotifyJob(wParam), 0xFFFFFFFFu);
  EXPECT_EQ(encoderNotifyRun(wParam), EncoderRun::Probe);
}

TEST(EncoderNotifier, ConversionPostsStartedTimesAndEndedWithTheExitStatus) {
  Mailbox mailbox;
  EncoderNotifier notifier(mailbox.poster(), kShortPauses);
  ASSERT_TRUE(notifier.start(EncoderRun::Conversion, childLine("times 1.00 \"  7.96\" 12.50")));
  const std::uint32_t job = notifier.jobNumber();
  const std::vector<Posted> posted = mailbox.waitForEnd();
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted.front().code, ENC_STARTED);
  EXPECT_EQ(valuesOf(posted, ENC_TIME), (std::vector<std::int64_t>{1, 7, 12}));
  EXPECT_EQ(valuesOf(posted, ENC_ENDED), std::vector<std::int64_t>{0});
  for (const Posted& p : posted) {
    EXPECT_EQ(p.message, WM_ENCODER_NOTIFY);
    EXPECT_EQ(p.job, job);
    EXPECT_EQ(p.run, EncoderRun::Conversion);
  }
}

TEST(EncoderNotifier, FailedConversionEndsWithItsNonZeroStatus) {
  for (const char* arguments : {"exit 1", "crash"}) {
    Mailbox mailbox;
    EncoderNotifier notifier(mailbox.poster(), kShortPauses);
    ASSERT_TRUE(notifier.start(EncoderRun::Conversion, childLine(arguments)));
    const auto ended = valuesOf(mailbox.waitForEnd(), ENC_ENDED);
    ASSERT_EQ(ended.size(), 1u) << arguments;
    EXPECT_NE(ended.front(), 0) << arguments;
  }
}

TEST(EncoderNotifier, ProbeEndsWithTheDurationAndPostsNoTime) {
  Mailbox mailbox;
  EncoderNotifier notifier(mailbox.poster(), kShortPauses);
  // "times" writes "time=" lines, which a probe must not report.
  ASSERT_TRUE(notifier.start(EncoderRun::Probe, childLine("times 3.00")));
  std::vector<Posted> posted = mailbox.waitForEnd();
  EXPECT_TRUE(valuesOf(posted, ENC_TIME).empty());
  EXPECT_EQ(valuesOf(posted, ENC_ENDED), std::vector<std::int64_t>{0});
  for (const Posted& p : posted) EXPECT_EQ(p.run, EncoderRun::Probe);
}

TEST(EncoderNotifier, ProbeEndsWithTheDurationOfTheCapturedText) {
  Mailbox mailbox;
  EncoderNotifier notifier(mailbox.poster(), kShortPauses);
  ASSERT_TRUE(notifier.start(
      EncoderRun::Probe,
      childLine("say \"Input #0, flv\n  Duration: 00:02:05.40, start: 0.000000\n\"")));
  EXPECT_EQ(valuesOf(mailbox.waitForEnd(), ENC_ENDED), std::vector<std::int64_t>{125});
}

TEST(EncoderNotifier, ConversionPostsTheLengthItsFirstLineAnnouncesOnceAProbeNever) {
  const std::string say = childLine("say \"  Duration: 00:02:05.40, start: 0\ntime=3.00 b\n\"");
  for (const EncoderRun run : {EncoderRun::Conversion, EncoderRun::Probe}) {
    Mailbox mailbox;
    EncoderNotifier notifier(mailbox.poster(), kShortPauses);
    ASSERT_TRUE(notifier.start(run, say));
    const std::vector<Posted> posted = mailbox.waitForEnd();
    EXPECT_EQ(valuesOf(posted, ENC_DURATION),
              run == EncoderRun::Conversion ? std::vector<std::int64_t>{125}
                                            : std::vector<std::int64_t>{});
  }
}

TEST(EncoderNotifier, StandardOutputChunksArePostedWithoutText) {
  Mailbox mailbox;
  EncoderNotifier notifier(mailbox.poster(), kShortPauses);
  ASSERT_TRUE(notifier.start(EncoderRun::Conversion, childLine("stdout 10")));
  const std::vector<Posted> posted = mailbox.waitForEnd();
  const auto stdoutValues = valuesOf(posted, ENC_STDOUT);
  ASSERT_FALSE(stdoutValues.empty());
  for (std::int64_t value : stdoutValues) EXPECT_EQ(value, 0);
}
