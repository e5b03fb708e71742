#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "process/EncoderNotifier.h"
#include "process/SourceProbe.h"

namespace {

using namespace std::chrono_literals;

struct Posted {
  std::uint64_t wParam;
  std::int64_t lParam;
};

// The two lists, the message boxes and a message queue fed by the notifier's threads.
class FakeDialog : public ProbeView {
 public:
  struct Row {
    std::string path, seconds, durationText, status;
    bool visible = false;
  };
  std::vector<Row> hidden;  // visible rows are the first visibleRowCount() of these
  std::vector<std::string> messages;
  SourceProbe* probe = nullptr;
  ChildProcessRunner* runner = nullptr;

  EncoderNotifier::Post poster() {
    return [this](unsigned, std::uint64_t wParam, std::int64_t lParam) {
      std::lock_guard lock(mutex);
      queue.push_back({wParam, lParam});
    };
  }
  // Delivers posted messages until the chain has caught up or a few seconds passed.
  void runUntilProbed() {
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (visibleRowCount() < hiddenRowCount() && std::chrono::steady_clock::now() < until) {
      drainMessages();
      std::this_thread::sleep_for(2ms);
    }
  }

  int visibleRowCount() override {
    int n = 0;
    while (n < hiddenRowCount() && hidden[n].visible) ++n;
    return n;
  }
  int hiddenRowCount() override { return static_cast<int>(hidden.size()); }
  std::string sourcePath(int row) override { return hidden.at(row).path; }
  std::string durationText(int row) override { return hidden.at(row).seconds; }
  void setDurationText(int row, const std::string& s) override { hidden.at(row).seconds = s; }
  void insertVisibleRow(int row, const std::string& path, const std::string& duration,
                        const std::string& status) override {
    Row& r = hidden.at(row);
    EXPECT_EQ(r.path, path);
    EXPECT_EQ(row, visibleRowCount());
    r.durationText = duration;
    r.status = status;
    r.visible = true;
  }
  void setStatus(int row, const std::string& status) override { hidden.at(row).status = status; }
  void deleteHiddenRow(int row) override {
    ASSERT_LT(row, hiddenRowCount());
    hidden.erase(hidden.begin() + row);
  }
  void showMessage(const std::string& text, const std::string& caption, bool icon) override {
    EXPECT_EQ(caption, "Warning");
    EXPECT_TRUE(icon);
    messages.push_back(text);
  }
  void drainMessages() override {
    for (;;) {
      Posted message;
      {
        std::lock_guard lock(mutex);
        if (queue.empty()) return;
        message = queue.front();
        queue.pop_front();
      }
      if (encoderNotifyCode(message.wParam) == ENC_ENDED && runner->probeMode)
        probe->onProbeEnded(encoderNotifyJob(message.wParam), message.lParam);
    }
  }
  void add(const std::string& path) { hidden.push_back({path, "", "", "", false}); }

 private:
  std::mutex mutex;
  std::deque<Posted> queue;
};

class Probe : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/probe-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    root = std::string(folder) + "/";
    dialog.probe = &probe;
    dialog.runner = &notifier;
  }
  void TearDown() override {
    notifier.Stop();
    std::system(("rm -rf " + root).c_str());
  }
  // A stand-in source: the text the stand-in encoder writes to standard error for it.
  std::string source(const std::string& name, const std::string& stderrText) {
    std::ofstream(root + name) << stderrText;
    return root + name;
  }
  std::vector<std::string> visiblePaths() {
    std::vector<std::string> paths;
    for (int i = 0; i < dialog.visibleRowCount(); ++i) paths.push_back(dialog.hidden[i].path);
    return paths;
  }

  std::string root;
  std::string encoder = RUNNER_CHILD;
  FakeDialog dialog;
  EncoderNotifier notifier{dialog.poster(), ChildProcessRunner::StopPauses{1ms, 1ms, 1ms}};
  SourceProbe probe{dialog, notifier, encoder};
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
  for (const std::string& path : {a, bad, shortClip, b, none, c}) dialog.add(path);
  probe.ProbeNextSource();
  dialog.runUntilProbed();

  EXPECT_EQ(visiblePaths(), (std::vector<std::string>{a, b, c}));
  ASSERT_EQ(dialog.hiddenRowCount(), 3);
  EXPECT_EQ(dialog.hidden[0].seconds, "125");
  EXPECT_EQ(dialog.hidden[0].durationText, "00:02:05");
  EXPECT_EQ(dialog.hidden[1].seconds, "36000");
  EXPECT_EQ(dialog.hidden[1].durationText, "10:00:00");
  EXPECT_EQ(dialog.hidden[2].status, "Ready");
  EXPECT_EQ(dialog.messages, (std::vector<std::string>{"Failed to load: " + bad,
                                                       "Failed to load: " + shortClip,
                                                       "Failed to load: " + none}));
}

TEST_F(Probe, EncoderThatCannotStartDropsEverySourceWithItsOwnMessage) {
  encoder = root + "no-encoder";
  dialog.add(root + "x.flv");
  dialog.add(root + "y.flv");
  probe.ProbeNextSource();
  EXPECT_EQ(dialog.hiddenRowCount(), 0);
  EXPECT_EQ(dialog.messages, (std::vector<std::string>{"Failed to load: " + root + "x.flv",
                                                       "Failed to load: " + root + "y.flv"}));
}

TEST_F(Probe, NothingPendingMeansNoRunAndNoPause) {
  const auto begin = std::chrono::steady_clock::now();
  probe.ProbeNextSource();
  EXPECT_EQ(notifier.jobNumber(), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 500ms);
}

TEST_F(Probe, ClearDuringAProbeStopsItAndItsResultTouchesNoRow) {
  dialog.add(source("a.flv", durationLine("00:00:05.00")));
  probe.ProbeNextSource();
  const std::uint32_t job = notifier.jobNumber();
  probe.cancel();
  dialog.hidden.clear();
  probe.onProbeEnded(job, 5);  // a result posted just before the stop
  dialog.drainMessages();
  EXPECT_EQ(dialog.hiddenRowCount(), 0);
  EXPECT_TRUE(dialog.messages.empty());
  EXPECT_EQ(notifier.jobNumber(), 0u);
}

TEST_F(Probe, ResultForARowThatWasReplacedProbesTheNewRowInstead) {
  const std::string a = source("a.flv", durationLine("00:00:05.00"));
  const std::string b = source("b.flv", durationLine("00:00:07.00"));
  dialog.add(a);
  probe.ProbeNextSource();
  const std::uint32_t job = notifier.jobNumber();
  dialog.hidden[0].path = b;  // the lists changed under the running probe
  probe.onProbeEnded(job, 5);
  dialog.runUntilProbed();
  EXPECT_EQ(visiblePaths(), std::vector<std::string>{b});
  EXPECT_EQ(dialog.hidden[0].seconds, "7");
}
