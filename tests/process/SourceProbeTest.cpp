#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/NotifyingRunner.h"
#include "engine/SourceProbe.h"
#include "tests/process/FakeMainDialog.h"
#include "tests/process/TemporaryFolder.h"

namespace {

using namespace std::chrono_literals;

class Probe : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.dispatch = [this](WPARAM wParam, LPARAM lParam) {
      if (encoderNotifyCode(wParam) == ENC_ENDED && encoderNotifyRun(wParam) == EncoderRun::Probe)
        probe.onProbeEnded(encoderNotifyJob(wParam), lParam);
    };
  }
  void TearDown() override { runner.Stop(); }
  // A stand-in source: the text the stand-in encoder writes to standard error for it.
  std::string source(const std::string& name, const std::string& stderrText) {
    std::ofstream(root + name) << stderrText;
    return root + name;
  }

  TemporaryFolder folder;
  const std::string& root = folder.path();
  const std::string encoder = RUNNER_CHILD;
  FakeMainDialog dialog;
  NotifyingRunner runner{dialog.poster(), RunnerStopPauses{1ms, 1ms, 1ms}};
  SourceProbe probe{dialog, dialog, runner, encoder, [this] { dialog.drainMessages(); },
                    [] { return false; }};
};

std::string durationLine(const char* figure) {
  return std::string("Input #0, flv\n  Duration: ") + figure + ", start: 0.000000, bitrate: 313 kb/s\n";
}

}  // namespace

TEST_F(Probe, ValidSourcesBecomeReadyRowsInOrderAndOthersAreDroppedWithAMessage) {
  const std::string a = source("a.flv", durationLine("00:02:05.40"));
  const std::string bad = source("bad.flv", "bad.flv: Invalid data found when processing input\n");
  const std::string shortClip = source("short.flv", durationLine("00:00:00.50"));
  const std::string b = source("b.flv", durationLine("100:00:00.00"));
  const std::string none = root + "does-not-exist.flv";
  const std::string c = source("c.flv", durationLine("00:00:05.00"));
  for (const std::string& path : {a, bad, shortClip, b, none, c}) dialog.appendPendingRow(path);
  probe.ProbeNextSource();
  dialog.runUntilProbed();

  EXPECT_EQ(dialog.visiblePaths(), (std::vector<std::string>{a, b, c}));
  ASSERT_EQ(dialog.hiddenRowCount(), 3);
  EXPECT_EQ(dialog.hidden[0].seconds, "125");
  EXPECT_EQ(dialog.visible[0].durationText, "00:02:05");
  EXPECT_EQ(dialog.hidden[1].seconds, "36000");
  EXPECT_EQ(dialog.visible[1].durationText, "10:00:00");
  EXPECT_EQ(dialog.visible[2].status, "Ready");
  EXPECT_EQ(dialog.messages, (std::vector<std::string>{"Failed to load: " + bad,
                                                       "Failed to load: " + shortClip,
                                                       "Failed to load: " + none}));
  EXPECT_EQ(dialog.captions, std::vector<std::string>(3, "Warning (i)"));
}

TEST_F(Probe, EncoderThatCannotStartDropsEverySourceWithItsOwnMessage) {
  SourceProbe withoutEncoder{dialog, dialog, runner, root + "no-encoder", [] {}, [] { return false; }};
  dialog.appendPendingRow(root + "x.flv");
  dialog.appendPendingRow(root + "y.flv");
  withoutEncoder.ProbeNextSource();
  EXPECT_EQ(dialog.hiddenRowCount(), 0);
  EXPECT_EQ(dialog.messages, (std::vector<std::string>{"Failed to load: " + root + "x.flv",
                                                       "Failed to load: " + root + "y.flv"}));
}

TEST_F(Probe, NothingPendingMeansNoRunAndNoPause) {
  const auto begin = std::chrono::steady_clock::now();
  probe.ProbeNextSource();
  EXPECT_EQ(runner.jobNumber(), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 500ms);
}

TEST_F(Probe, ClearDuringAProbeStopsItAndItsResultTouchesNoRow) {
  dialog.appendPendingRow(source("a.flv", durationLine("00:00:05.00")));
  probe.ProbeNextSource();
  const std::uint32_t job = runner.jobNumber();
  probe.cancel();
  dialog.deleteAllRows();
  probe.onProbeEnded(job, 5);  // a result posted just before the stop
  dialog.drainMessages();
  EXPECT_EQ(dialog.hiddenRowCount(), 0);
  EXPECT_TRUE(dialog.messages.empty());
  EXPECT_EQ(runner.jobNumber(), 0u);
}

TEST_F(Probe, ResultForARowThatWasReplacedProbesTheNewRowInstead) {
  const std::string a = source("a.flv", durationLine("00:00:05.00"));
  const std::string b = source("b.flv", durationLine("00:00:07.00"));
  dialog.appendPendingRow(a);
  probe.ProbeNextSource();
  const std::uint32_t job = runner.jobNumber();
  dialog.hidden[0].path = b;  // the lists changed under the running probe
  probe.onProbeEnded(job, 5);
  dialog.runUntilProbed();
  EXPECT_EQ(dialog.visiblePaths(), std::vector<std::string>{b});
  EXPECT_EQ(dialog.hidden[0].seconds, "7");
}
