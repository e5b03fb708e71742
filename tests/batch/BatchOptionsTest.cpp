#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/BatchOptions.h"
#include "batch/JsonText.h"
#include "engine/EncoderCommand.h"
#include "engine/OutputNaming.h"
#include "platform/DialogButtons.h"
#include "platform/Resources.h"
#include "res/OutputSettingsTemplate.h"
#include "res/ProgramResources.h"
#include "tests/app/SettingsDialogDriver.h"

namespace {

const std::string kEncoder = "/s/zandrio.dll";
const std::string kCompanion = "/s/quimbel.dll";
const std::string kSource = "/archive/talk.flv";

ConversionSettings startUp() {
  ConversionSettings settings = defaultConversionSettings();
  settings.outputFolder = "/out/";
  return settings;
}

std::string commandFor(const ConversionSettings& settings) {
  return composeEncoderCommand(settings, kSource, plainTarget(kSource, settings), kEncoder,
                               kCompanion);
}

ParsedCommandLine parse(std::vector<std::string> arguments) {
  return parseCommandLine(arguments, startUp());
}

class BatchOptions : public testing::Test {
 protected:
  void SetUp() override {
    AfxSetResourceHandle(ProgramResources());
    SetModalHook(&hook);
  }
  void TearDown() override { SetModalHook(nullptr); }

  BoxRecorder hook;
};

// Each command line gives the settings, and so the encoder command, that the Output Settings
// dialog gives for the same choices made by hand.
TEST_F(BatchOptions, CommandLinesGiveTheWindowsSettingsAndCommands) {
  struct Case {
    std::vector<std::string> arguments;
    std::vector<Step> choices;
    const char* command;
  };
#define Z "\"/s/zandrio.dll\" -i \"/archive/talk.flv\" -vcodec "
#define Q "\"/s/quimbel.dll\" -i \"/archive/talk.flv\" -vcodec "
  const Case cases[] = {
      {{}, {}, Z "msmpeg4v2 -y \"/out/talk.avi\""},
      {{"--format", "wmv"}, {{IDC_FORMAT_WMV}}, Q "wmv2 -y \"/out/talk.wmv\""},
      {{"--format=mpeg1", "--size", "640x480"},
       {{IDC_FORMAT_MPEG}, {IDC_MPEG1}, {IDC_SIZE_CUSTOM}, {IDC_WIDTH, "640"}, {IDC_HEIGHT, "480"}},
       Z "mpeg1video -s 640x480 -y \"/out/talk.mpg\""},
      {{"--format", "mpeg2", "--video-kbps", "800"},
       {{IDC_FORMAT_MPEG}, {IDC_DEFAULT_QUALITY}, {IDC_VIDEO_BITRATE, "800"}},
       Z "mpeg2video -b 800 -r 29.97 -ab 128 -y \"/out/talk.mpg\""},
      {{"--audio-kbps", "192"}, {{IDC_DEFAULT_QUALITY}, {IDC_AUDIO_BITRATE, "192"}},
       Z "msmpeg4v2 -b 500 -r 29.97 -ab 192 -y \"/out/talk.avi\""},
      {{"--fps", "25"}, {{IDC_DEFAULT_QUALITY}, {IDC_FRAME_RATE, "25.00"}},
       Z "msmpeg4v2 -b 500 -r 25.00 -ab 128 -y \"/out/talk.avi\""},
      {{"--format", "wmv", "--video-kbps=2376", "--audio-kbps", "384", "--fps", "23.97", "--size",
        "10x10", "--existing", "overwrite"},
       {{IDC_FORMAT_WMV}, {IDC_DEFAULT_QUALITY}, {IDC_VIDEO_BITRATE, "2376"},
        {IDC_AUDIO_BITRATE, "384"}, {IDC_FRAME_RATE, "23.97"}, {IDC_SIZE_CUSTOM},
        {IDC_WIDTH, "10"}, {IDC_HEIGHT, "10"}, {IDC_EXISTING_FILE_POLICY, "Overwrite."}},
       Q "wmv2 -b 2376 -r 23.97 -ab 384 -s 10x10 -y \"/out/talk.wmv\""},
      {{"--existing", "skip", "--fps", "10"},
       {{IDC_DEFAULT_QUALITY}, {IDC_FRAME_RATE, "10.00"}, {IDC_EXISTING_FILE_POLICY, "Skip."}},
       Z "msmpeg4v2 -b 500 -r 10.00 -ab 128 -y \"/out/talk.avi\""},
  };
#undef Z
#undef Q
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    arguments.push_back(kSource);
    const ParsedCommandLine parsed = parse(arguments);
    ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::Run) << parsed.error;
    ConversionSettings chosen = startUp();
    ASSERT_TRUE(runSettingsCommand(chosen, [&](HWND d) { act(d, c.choices); click(d, IDOK); }));
    EXPECT_EQ(parsed.options.settings, chosen) << arguments.front();
    EXPECT_EQ(commandFor(parsed.options.settings), c.command);
    EXPECT_EQ(commandFor(chosen), c.command);
  }
}

TEST_F(BatchOptions, ValuesTheDialogRefusesOrDoesNotOfferAreUsageErrors) {
  const std::vector<std::vector<std::string>> refused = {
      {"--format", "divx"},   {"--video-kbps", "123"}, {"--audio-kbps", "0"},
      {"--fps", "26"},        {"--fps", "0x19"},       {"--fps", "25fps"},
      {"--size", "9x240"},    {"--size", "320x9"},     {"--size", "640"},
      {"--size", "640x"},     {"--size", "-640x480"},  {"--jobs", "0"},
      {"--jobs", "65"},       {"--jobs", "two"},       {"--existing", "keep"},
      {"--output="},          {"--bogus"},             {"--mirror-folders=yes"},
      {"--quiet", "--json"},  {"--jobs"},
  };
  for (std::vector<std::string> arguments : refused) {
    arguments.push_back(kSource);
    const ParsedCommandLine parsed = parse(arguments);
    EXPECT_EQ(parsed.kind, ParsedCommandLine::Kind::UsageError) << arguments.front();
    EXPECT_FALSE(parsed.error.empty());
  }
  EXPECT_EQ(parse({}).kind, ParsedCommandLine::Kind::UsageError);
  EXPECT_EQ(parse({"--help", "--bogus"}).kind, ParsedCommandLine::Kind::Help);
  EXPECT_EQ(parse({"--version"}).kind, ParsedCommandLine::Kind::Version);
  const ParsedCommandLine paths = parse({"-", "--jobs", "3", "--", "--odd.flv", "-"});
  ASSERT_EQ(paths.kind, ParsedCommandLine::Kind::Run);
  EXPECT_EQ(paths.options.paths, (std::vector<std::string>{"-", "--odd.flv", "-"}));
  EXPECT_EQ(paths.options.jobs, 3);
}

// File names are bytes: whatever they hold, each JSON line stays valid and tells them apart.
TEST(JsonText, QuotesAnyFileName) {
  const struct {
    std::string text;
    const char* quoted;
  } cases[] = {
      {"a/b c.flv", R"("a/b c.flv")"},
      {"say \"hi\"\\", R"("say \"hi\"\\")"},
      {"line\nend\ttab\x1b\x7f", R"("line\nend\ttab\u001b\u007f")"},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xa5",
       "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xa5\""},
      {"latin1 \xe9t\xe9", R"("latin1 \udce9t\udce9")"},
      {"cut \xc3", R"("cut \udcc3")"},
      {"overlong \xc0\xaf", R"("overlong \udcc0\udcaf")"},
      {"surrogate \xed\xa0\x80", R"("surrogate \udced\udca0\udc80")"},
      {std::string("nul\0x", 5), R"("nul\u0000x")"},
  };
  for (const auto& c : cases) EXPECT_EQ(jsonQuoted(c.text), c.quoted) << c.text;
}

}  // namespace
