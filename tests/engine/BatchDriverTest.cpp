#include <unistd.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/BatchDriver.h"
#include "platform/Files.h"
#include "tests/process/TemporaryFolder.h"

namespace {

struct Message {
  std::string text, caption;
  bool icon;
  bool operator==(const Message&) const = default;
};

// The main dialog as the driver sees it: two lists, its batch controls, the bar and
// message boxes.
class FakeView : public FileList, public BatchView, public MessageBoxes {
 public:
  struct Row {
    std::string path, seconds, status;
    std::string tip{};
  };
  std::vector<Row> rows;
  std::string folderText;
  std::string startCaption = "S&tart";
  std::vector<bool> enables;  // each enableBatchControls
  std::vector<Message> messages;
  std::int32_t upper = -1, position = -1;
  std::vector<std::string> desktop;  // what the desktop was asked, and the boxes, in order

  int visibleRowCount() override { return static_cast<int>(rows.size()); }
  int hiddenRowCount() override { return static_cast<int>(rows.size()); }
  std::string sourcePath(int row) override { return rows.at(row).path; }
  std::string durationText(int row) override { return rows.at(row).seconds; }
  void setDurationText(int row, const std::string& s) override { rows.at(row).seconds = s; }
  void insertVisibleRow(int, const std::string&, const std::string&, const std::string&) override {}
  void setStatus(int row, const std::string& status) override { rows.at(row).status = status; }
  void setStatusTip(int row, const std::string& tip) override { rows.at(row).tip = tip; }
  void deleteHiddenRow(int) override {}
  std::string outputFolderText() override { return folderText; }
  void setStartCaption(const std::string& caption) override { startCaption = caption; }
  void enableBatchControls(bool enable) override { enables.push_back(enable); }
  void setProgressRange(std::int32_t value) override { upper = value; }
  void setProgressPosition(std::int32_t value) override { position = value; }
  void batchBegins(int files) override { desktop.push_back("begins " + std::to_string(files)); }
  void batchIsOver() override { desktop.push_back("over"); }
  void announceEnd(const std::string& text) override { desktop.push_back("end: " + text); }
  void showMessage(const std::string& text, const std::string& caption, bool icon) override {
    messages.push_back({text, caption, icon});
    desktop.push_back("message box");
  }
  std::vector<std::string> column(std::string Row::*field) const {
    std::vector<std::string> values;
    for (const Row& row : rows) values.push_back(row.*field);
    return values;
  }
  std::vector<std::string> statuses() const { return column(&Row::status); }
};

// Numbers each start like the real runner and records the command lines.
class FakeRunner : public EncoderRunner {
 public:
  std::vector<std::string> commands;
  int stops = 0;
  bool startSucceeds = true;
  std::uint32_t job = 0, lastJob = 0;
  std::string failure;  // the current run's error line

  void Stop() override {
    ++stops;
    job = 0;
  }
  bool StartConversion(const EncoderCommand& command) override {
    job = ++lastJob;
    commands.push_back(command);
    return startSucceeds;
  }
  bool StartProbe(const EncoderCommand&) override {
    ADD_FAILURE() << "the batch never probes";
    return false;
  }
  std::uint32_t jobNumber() const override { return job; }
  int processId() const override { return job != 0 ? 40000 + static_cast<int>(job) : 0; }
  std::string failureLine() const override { return failure; }
};

// The log's lines, each cut into its tab-separated fields, the time left out.
std::vector<std::vector<std::string>> logEntries(const std::string& path) {
  std::vector<std::vector<std::string>> entries;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
      const std::size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    fields.erase(fields.begin());
    entries.push_back(fields);
  }
  return entries;
}

class Batch : public ::testing::Test {
 protected:
  void SetUp() override {
    view.folderText = outputFolder.substr(0, outputFolder.size() - 1);  // without the '/'
  }

  void addRows(std::initializer_list<const char*> seconds) {
    int n = 0;
    for (const char* s : seconds)
      view.rows.push_back({"/in/clip" + std::to_string(n++) + ".flv", s, "Ready"});
  }
  void endRow(std::int64_t status = 0) { driver.onRowEnded(runner.job, status); }
  void touch(const std::string& name) { std::ofstream(outputFolder + name) << "x"; }
  // The command that converts row `row` with the start-up settings.
  std::string commandFor(int row) const {
    const std::string clip = "clip" + std::to_string(row);
    return "\"/sys/zandrio.dll\" -i \"/in/" + clip + ".flv\" -vcodec msmpeg4v2 -y \"" +
           outputFolder + clip + ".avi\"";
  }

  TemporaryFolder folder;
  const std::string& outputFolder = folder.path();
  FakeView view;
  FakeRunner runner;
  ConversionSettings settings = defaultConversionSettings();
  std::string encoder = "/sys/zandrio.dll", companion = "/sys/quimbel.dll";
  TemporaryFolder state;
  ConversionLog log{state.path() + "vidmora/vidmora.log"};
  BatchDriver driver{view,    view,      view, runner, settings,
                     encoder, companion, log,  std::chrono::milliseconds(0)};
};

const std::vector<bool> kDisabledThenEnabled = {false, true};

}  // namespace

TEST_F(Batch, EmptyListIsRefusedAndTheFolderSettingKept) {
  settings.outputFolder = "/kept/";
  driver.toggle();
  EXPECT_EQ(view.messages, (std::vector<Message>{{"No flv file added!", "Warning", true}}));
  EXPECT_EQ(settings.outputFolder, "/kept/");
  EXPECT_FALSE(driver.converting());
}

TEST_F(Batch, MissingFolderIsRefusedAndNoRowChanges) {
  addRows({"60"});
  view.folderText = outputFolder + "missing";
  driver.toggle();
  EXPECT_EQ(view.messages,
            (std::vector<Message>{{"The output dicrectory does not exists!", "Warning", true}}));
  EXPECT_EQ(settings.outputFolder, outputFolder + "missing/");
  EXPECT_EQ(view.statuses(), std::vector<std::string>{"Ready"});
  EXPECT_TRUE(runner.commands.empty());
  EXPECT_FALSE(driver.converting());
}

TEST_F(Batch, PercentagesAndBarFollowTheRowsAndTheEndAnnouncesSuccess) {
  addRows({"60", "120", "30"});
  driver.toggle();
  EXPECT_TRUE(driver.converting());
  EXPECT_EQ(view.desktop, std::vector<std::string>{"begins 3"});
  EXPECT_EQ(settings.outputFolder, outputFolder);
  EXPECT_EQ(view.upper, 210);
  EXPECT_EQ(view.startCaption, "&Stop");
  EXPECT_EQ(runner.commands.at(0), commandFor(0));
  endRow();
  driver.onTime(runner.job, 30);
  EXPECT_EQ(view.rows[1].status, "25%");
  EXPECT_EQ(view.position, 90);
  // A file holding more than its probed duration reads no more than 100 %, and the bar
  // stays within the row's share.
  for (std::int64_t beyond : {121, 150, 228}) {
    driver.onTime(runner.job, beyond);
    EXPECT_EQ(view.rows[1].status, "100%") << beyond;
    EXPECT_EQ(view.position, 180) << beyond;
  }
  endRow();
  EXPECT_EQ(view.position, 180);
  endRow();
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done", "Done", "Done"}));
  EXPECT_EQ(view.position, 210);
  EXPECT_EQ(view.messages,
            (std::vector<Message>{{"All Flv files have been converted!", "Confirm", true}}));
  // The machine may sleep while the box waits for the user.
  EXPECT_EQ(view.desktop, (std::vector<std::string>{"begins 3", "over",
                                                    "end: All Flv files have been converted!",
                                                    "message box"}));
  EXPECT_EQ(view.enables, kDisabledThenEnabled);
  EXPECT_EQ(view.startCaption, "S&tart");
  EXPECT_FALSE(driver.converting());
  EXPECT_EQ(runner.stops, 3);  // one before every row
}

TEST_F(Batch, ExistingTargetsReadRenamedOrOverwritten) {
  addRows({"5"});
  touch("clip0.avi");
  driver.toggle();
  endRow();
  EXPECT_EQ(view.rows[0].status, "Renamed");
  EXPECT_NE(runner.commands.back().find("clip0_1.avi"), std::string::npos);
  settings.existingFilePolicy = Overwrite;
  driver.toggle();
  endRow();
  EXPECT_EQ(view.rows[0].status, "Overwritten");
}

TEST_F(Batch, EveryTargetPresentUnderSkipEndsAtOnceWithoutAnEncoder) {
  addRows({"10", "20", "30"});
  for (const char* name : {"clip0.avi", "clip1.avi", "clip2.avi"}) touch(name);
  settings.existingFilePolicy = Skip;
  driver.toggle();
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Skipped", "Skipped", "Skipped"}));
  EXPECT_EQ(view.position, 60);
  EXPECT_TRUE(runner.commands.empty());
  EXPECT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].caption, "Confirm");
  EXPECT_FALSE(driver.converting());
  EXPECT_EQ(view.enables, kDisabledThenEnabled);
}

// The statuses keep their texts; why a row failed is its status's tooltip and in the log.
TEST_F(Batch, FailedRowsReadFailedWithTheirReasonAndTheEndMessageCountsThem) {
  addRows({"10", "10", "10"});
  driver.toggle();
  runner.failure = "error: cannot read the source";
  endRow(1);
  runner.failure = "";
  endRow(0);
  endRow(128 + 11);  // a crash says nothing
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Failed", "Done", "Failed"}));
  EXPECT_EQ(view.column(&FakeView::Row::tip),
            (std::vector<std::string>{
                "error: cannot read the source", "",
                "The encoder ended with exit status 139 without saying why."}));
  EXPECT_EQ(view.messages, (std::vector<Message>{
                               {"2 of 3 Flv files could not be converted!", "Warning", true}}));
  EXPECT_EQ(view.desktop.at(2), "end: 2 of 3 Flv files could not be converted!");
  EXPECT_EQ(view.position, 30);
  EXPECT_EQ(logEntries(log.path()),
            (std::vector<std::vector<std::string>>{
                {"/in/clip0.flv", commandFor(0), "exit status 1", "error: cannot read the source"},
                {"/in/clip1.flv", commandFor(1), "exit status 0", ""},
                {"/in/clip2.flv", commandFor(2), "exit status 139", ""}}));

  // The next batch starts each row without the reason it failed before.
  driver.toggle();
  EXPECT_EQ(view.rows[0].tip, "");
}

TEST_F(Batch, StoppedRowsAndFailedStartsAreLoggedToo) {
  addRows({"10", "10"});
  driver.toggle();
  driver.toggle();  // Stop
  runner.startSucceeds = false;
  driver.toggle();
  driver.toggle();  // nothing runs: nothing more to log
  const auto entries = logEntries(log.path());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0][2], "stopped");
  EXPECT_EQ(entries[1][2], "not started");
}

TEST_F(Batch, NotificationsOfEarlierJobsAreIgnored) {
  addRows({"100", "100"});
  driver.toggle();
  const std::uint32_t first = runner.job;
  endRow();
  driver.onTime(first, 50);        // a late figure of the ended row
  driver.onRowEnded(first, 0);     // and a repeated end
  driver.onRowEnded(0, 0);
  EXPECT_EQ(view.statuses(), (std::vector<std::string>{"Done", "Ready"}));
  EXPECT_EQ(view.position, 100);
  driver.onTime(runner.job, 50);
  EXPECT_EQ(view.rows[1].status, "50%");
  driver.toggle();                 // Stop
  driver.onRowEnded(runner.lastJob, 0);
  EXPECT_EQ(view.rows[1].status, "50%");
  EXPECT_EQ(view.messages.size(), 0u);
}

// A killed encoder's named temporary goes, whether it ended by itself or was stopped.
TEST_F(Batch, AnEncodersLeftoverTemporaryIsRemovedWhenItEnds) {
  addRows({"10", "10"});
  driver.toggle();
  const std::string first = outputFolder + ".vidmora-" + std::to_string(runner.processId()) + ".part";
  std::ofstream(first) << "part";
  endRow(128 + 9);
  EXPECT_NE(access(first.c_str(), F_OK), 0);
  const std::string second = outputFolder + ".vidmora-" + std::to_string(runner.processId()) + ".part";
  std::ofstream(second) << "part";
  driver.toggle();  // Stop
  EXPECT_NE(access(second.c_str(), F_OK), 0);
}

TEST_F(Batch, StopKeepsThePercentageAndTheNextStartBeginsAtRowZero) {
  addRows({"100", "100"});
  int batchEnds = 0;
  driver.setOnBatchEnded([&] { ++batchEnds; });
  driver.toggle();
  driver.onTime(runner.job, 40);
  driver.toggle();
  EXPECT_FALSE(driver.converting());
  EXPECT_EQ(view.rows[0].status, "40%");
  EXPECT_EQ(view.position, 40);
  EXPECT_EQ(view.startCaption, "S&tart");
  EXPECT_EQ(view.enables, kDisabledThenEnabled);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.desktop, (std::vector<std::string>{"begins 2", "over"}));
  EXPECT_EQ(batchEnds, 1);
  driver.toggle();
  EXPECT_EQ(view.position, 0);
  EXPECT_NE(runner.commands.back().find("clip0"), std::string::npos);
}

TEST_F(Batch, FailedEncoderStartWaitsForStop) {
  addRows({"10", "10"});
  runner.startSucceeds = false;
  driver.toggle();
  EXPECT_EQ(view.messages,
            (std::vector<Message>{{"Failed to start child process!", "Warning", false}}));
  EXPECT_TRUE(driver.converting());
  EXPECT_EQ(view.rows[0].status, "Ready");
  driver.toggle();
  EXPECT_FALSE(driver.converting());
}

TEST_F(Batch, WmvRowsRunTheCompanion) {
  addRows({"10"});
  settings.format = Wmv;
  driver.toggle();
  EXPECT_EQ(runner.commands.at(0).rfind("\"/sys/quimbel.dll\" -i", 0), 0u);
}

TEST_F(Batch, TheBarTakesThe32BitRangeOfSeconds) {
  addRows({"40000", "40000", "2147483647"});
  driver.toggle();
  EXPECT_EQ(view.upper, 2147483647);
  endRow();
  EXPECT_EQ(view.position, 40000);
  driver.onTime(runner.job, 30000);
  EXPECT_EQ(view.position, 70000);
  EXPECT_EQ(view.rows[1].status, "75%");
}

TEST(ConversionLog, FieldsCannotBreakTheLineAndTheFileStaysBounded) {
  TemporaryFolder state;
  ConversionLog log(state.path() + "logs/vidmora.log", 200);
  const std::string oddName = "/in/tab\there\nnew line\\back\x1b.flv";
  log.record({oddName, "\"/sys/zandrio.dll\" -i \"" + oddName + "\"", "exit status 1", "error: x"});
  std::ifstream first(log.path());
  std::string line, rest;
  std::getline(first, line);
  EXPECT_FALSE(std::getline(first, rest)) << "one record, one line";
  EXPECT_NE(line.find("\t/in/tab\\there\\nnew line\\\\back\\x1b.flv\t"), std::string::npos) << line;
  EXPECT_NE(line.find("\texit status 1\terror: x"), std::string::npos) << line;

  // Past its bound the file moves aside to NAME.1 and a new one begins.
  for (int run = 0; run < 10; ++run) log.record({"/in/a.flv", "cmd", "exit status 0", ""});
  EXPECT_LE(FileSize(log.path()), 200 + 60);
  EXPECT_GT(FileSize(log.path() + ".1"), 0);
  EXPECT_EQ(logEntries(log.path()).back(),
            (std::vector<std::string>{"/in/a.flv", "cmd", "exit status 0", ""}));
}

TEST(FileList, DurationTextHasTwoDigitsPerFieldAndAsManyHoursAsNeeded) {
  const std::pair<int, const char*> cases[] = {{5, "00:00:05"},     {125, "00:02:05"},
                                               {3600, "01:00:00"},  {3725, "01:02:05"},
                                               {360000, "100:00:00"}, {0, "00:00:00"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(FormatDuration(seconds), text) << seconds;
}
