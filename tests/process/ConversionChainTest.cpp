#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/FileListCommands.h"
#include "process/EncoderDeployment.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/fixtures/FlvFixture.h"
#include "tests/process/FakeMainDialog.h"
#include "tests/process/TemporaryFolder.h"

namespace {

using namespace std::chrono_literals;
using flv_fixture::ClipSpec;

// The test clips, each made on its first use in this process.
std::string clip(const std::string& name, const ClipSpec& spec) {
  static const TemporaryFolder folder;
  const std::string path = folder.path() + name;
  if (access(path.c_str(), F_OK) != 0) {
    if (spec.seconds > 0) flv_fixture::makeClip(path, spec);
    else flv_fixture::writeNotVideo(path);
  }
  return path;
}
std::string alpha() { return clip("alpha.flv", {.seconds = 2}); }
std::string bravo() {
  return clip("bravo.flv", {.seconds = 3, .audio = flv_fixture::FixtureAudio::Adpcm});
}
std::string charlie() { return clip("charlie.flv", {.seconds = 2, .durationMetadata = false}); }
std::string notVideo() { return clip("notes.flv", {.seconds = 0}); }
std::string halfSecond() { return clip("blink.flv", {.seconds = 0.5}); }
std::string oneMinute() { return clip("minute.flv", {.seconds = 60, .width = 320, .height = 240}); }

// The whole road of a file with the real encoder, deployed from the program folder into a
// system folder of the test's own: add, probe, start, convert, end.
class ConversionChain : public ::testing::Test {
 protected:
  explicit ConversionChain(RunnerStopPauses pauses = RunnerStopPauses{1ms, 1ms, 1ms})
      : commands(dialog, settings, paths, log, dialog.poster(), pauses, 0ms) {}

  void SetUp() override {
    mkdir(systemFolder.c_str(), 0755);
    DeployEncoders(paths);
    dialog.folderBox = output.path();
    dialog.dispatch = [this](WPARAM wParam, LPARAM lParam) {
      commands.onEncoderNotify(wParam, lParam);
    };
  }
  void TearDown() override { RestoreEncoders(paths); }

  void add(std::vector<std::string> files) {
    dialog.chosenFiles = std::move(files);
    commands.add();
    dialog.runUntilProbed();
  }
  // Presses Start and delivers messages until the batch is over.
  void convert() {
    commands.startOrStop();
    waitWhile([&] { return commands.converting(); });
  }
  template <typename Condition>
  void waitWhile(Condition condition, std::chrono::seconds limit = 60s) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (condition() && std::chrono::steady_clock::now() < until) {
      dialog.drainMessages();
      std::this_thread::sleep_for(2ms);
    }
  }
  std::string target(const std::string& name) { return output.path() + name; }

  TemporaryFolder system, output;
  std::string systemFolder = system.path() + "system/";
  EncoderPaths paths = encoderPaths(PROGRAM_FOLDER, systemFolder);
  FakeMainDialog dialog;
  ConversionSettings settings = defaultConversionSettings();
  ConversionLog log{system.path() + "state/vidmora.log"};
  FileListCommands commands;
};

// With the real pauses of Stop: the encoder has its time to finish the file it has.
class StoppedConversion : public ConversionChain {
 protected:
  StoppedConversion() : ConversionChain(RunnerStopPauses{}) {}
};

void expectMedia(const std::string& path, const char* container, const char* codec,
                 double seconds) {
  const encoder_test::MediaFacts facts = encoder_test::readMediaFacts(path);
  ASSERT_TRUE(facts.opened) << path;
  EXPECT_EQ(facts.container, container) << path;
  EXPECT_EQ(facts.videoCodec, codec) << path;
  EXPECT_NEAR(facts.videoSeconds, seconds, 0.5) << path;
}

}  // namespace

TEST_F(ConversionChain, ProbeListsGoodClipsInOrderAndDropsTheOthers) {
  add({alpha(), notVideo(), bravo(), halfSecond(), charlie()});
  EXPECT_EQ(dialog.visiblePaths(), (std::vector<std::string>{alpha(), bravo(), charlie()}));
  EXPECT_EQ(dialog.column(&FakeMainDialog::VisibleRow::durationText),
            (std::vector<std::string>{"00:00:02", "00:00:03", "00:00:02"}));
  EXPECT_EQ(dialog.statuses(), (std::vector<std::string>{"Ready", "Ready", "Ready"}));
  EXPECT_EQ(dialog.messages, (std::vector<std::string>{"Failed to load: " + notVideo(),
                                                       "Failed to load: " + halfSecond()}));
}

TEST_F(ConversionChain, EveryFormatConvertsEveryRow) {
  add({alpha(), bravo(), charlie()});
  const struct {
    OutputFormat format;
    int mpegVersion;
    const char *extension, *container, *codec;
  } formats[] = {{Avi, 2, ".avi", "avi", "msmpeg4v2"},
                 {Mpeg, 1, ".mpg", "mpeg", "mpeg1video"},
                 {Mpeg, 2, ".mpg", "mpeg", "mpeg2video"},
                 {Wmv, 2, ".wmv", "asf", "wmv2"}};
  for (const auto& f : formats) {
    settings.format = f.format;
    settings.mpegVersion = f.mpegVersion;
    settings.existingFilePolicy = Overwrite;
    dialog.messages.clear();
    convert();
    EXPECT_EQ(dialog.messages, std::vector<std::string>{"All Flv files have been converted!"});
    const bool again = f.mpegVersion == 2 && f.format == Mpeg;  // MPEG-1 wrote these names
    EXPECT_EQ(dialog.statuses(), std::vector<std::string>(3, again ? "Overwritten" : "Done"))
        << f.codec;
    expectMedia(target(std::string("alpha") + f.extension), f.container, f.codec, 2);
    expectMedia(target(std::string("bravo") + f.extension), f.container, f.codec, 3);
    expectMedia(target(std::string("charlie") + f.extension), f.container, f.codec, 2);
  }
}

TEST_F(ConversionChain, SecondStartRenamesAndSkipEndsAtOnce) {
  add({alpha(), charlie()});
  convert();
  convert();
  EXPECT_EQ(dialog.statuses(), (std::vector<std::string>{"Renamed", "Renamed"}));
  expectMedia(target("alpha_1.avi"), "avi", "msmpeg4v2", 2);
  expectMedia(target("charlie_1.avi"), "avi", "msmpeg4v2", 2);

  settings.existingFilePolicy = Skip;
  dialog.messages.clear();
  commands.startOrStop();
  EXPECT_FALSE(commands.converting());  // ended without starting any encoder
  EXPECT_EQ(dialog.statuses(), (std::vector<std::string>{"Skipped", "Skipped"}));
  EXPECT_EQ(dialog.messages, std::vector<std::string>{"All Flv files have been converted!"});
}

TEST_F(ConversionChain, ARowTheEncoderCannotConvertReadsFailed) {
  TemporaryFolder sources;
  const std::string doomed = sources.path() + "doomed.flv";
  flv_fixture::makeClip(doomed, ClipSpec{.seconds = 2});
  add({alpha(), doomed, charlie()});
  unlink(doomed.c_str());  // gone between its probe and its conversion
  convert();
  EXPECT_EQ(dialog.statuses(), (std::vector<std::string>{"Done", "Failed", "Done"}));
  EXPECT_EQ(dialog.messages,
            std::vector<std::string>{"1 of 3 Flv files could not be converted!"});
  EXPECT_EQ(dialog.captions, std::vector<std::string>{"Warning (i)"});
  // Why, from the encoder itself: the status's tooltip and the log's line.
  const std::string reason = "error: cannot read " + doomed + ": No such file or directory";
  EXPECT_EQ(dialog.column(&FakeMainDialog::VisibleRow::statusTip),
            (std::vector<std::string>{"", reason, ""}));
  std::ifstream logFile(log.path());
  std::vector<std::string> lines;
  for (std::string line; std::getline(logFile, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[1].find("\t" + doomed + "\t\"" + paths.encoderSystemPath + "\" -i \"" + doomed),
            std::string::npos)
      << lines[1];
  EXPECT_TRUE(lines[1].ends_with("\texit status 1\t" + reason)) << lines[1];
  EXPECT_TRUE(lines[0].ends_with("\texit status 0\t")) << lines[0];
}

TEST_F(StoppedConversion, StopMidRowKeepsThePercentageAndAValidPartialFile) {
  add({oneMinute()});
  commands.startOrStop();
  waitWhile([&] { return dialog.visible[0].status.find('%') == std::string::npos; });
  commands.startOrStop();
  EXPECT_FALSE(commands.converting());
  const std::string status = dialog.visible[0].status;
  ASSERT_EQ(status.back(), '%');
  EXPECT_LT(std::stoi(status), 100);
  const encoder_test::MediaFacts facts = encoder_test::readMediaFacts(target("minute.avi"));
  ASSERT_TRUE(facts.opened);
  EXPECT_EQ(facts.videoCodec, "msmpeg4v2");
  EXPECT_GT(facts.videoSeconds, 0);
  EXPECT_LT(facts.videoSeconds, 60);
  EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(ConversionChain, RealSamplesAreListedOrRefusedAndEveryListedOneConverts) {
  const std::string samples = SAMPLES_FOLDER;
  std::vector<std::string> files;
  for (const char* name :
       {"aac-audio-only.flv", "h263-8x8-under-one-second.flv", "h263-mp3-one-frame.flv",
        "h263-nellymoser-no-metadata.flv", "h263-video-only.flv", "header-only-9-bytes.flv",
        "h264-video-only-long-metadata.flv", "vp6-mp3-cut-down-wrong-metadata.flv",
        "vp6-mp3.flv", "vp6-under-one-second.flv"})
    files.push_back(samples + name);
  add(files);
  // The cut-down file's metadata claims 3 s; it holds one frame.
  EXPECT_EQ(dialog.messages, (std::vector<std::string>{
                                 "Failed to load: " + files[1], "Failed to load: " + files[5],
                                 "Failed to load: " + files[7], "Failed to load: " + files[9]}));
  EXPECT_EQ(dialog.visiblePaths(),
            (std::vector<std::string>{files[0], files[2], files[3], files[4], files[6], files[8]}));
  dialog.messages.clear();
  convert();
  EXPECT_EQ(dialog.messages, std::vector<std::string>{"All Flv files have been converted!"});
  for (const auto& row : dialog.visible) {
    EXPECT_EQ(row.status, "Done") << row.path;
    const std::string name = row.path.substr(samples.size());
    const encoder_test::MediaFacts facts =
        encoder_test::readMediaFacts(target(name.substr(0, name.size() - 4) + ".avi"));
    EXPECT_TRUE(facts.opened) << row.path;
    EXPECT_EQ(facts.container, "avi") << row.path;
  }
}
