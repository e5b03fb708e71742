#include <gtest/gtest.h>

#include "engine/EncoderCommand.h"
#include "platform/CommandLine.h"

namespace {
const std::string kSystem = "/home/ann/.local/share/vidmora/system/";
const std::string kEncoder = kSystem + "zandrio.dll";
const std::string kCompanion = kSystem + "quimbel.dll";
const std::string kSource = "/home/ann/clips/talk.flv";

ConversionSettings settingsFor(int format, int mpegVersion, bool defaultQuality, bool custom) {
  ConversionSettings s = defaultConversionSettings();
  s.format = format;
  s.mpegVersion = mpegVersion;
  s.useDefaultQuality = defaultQuality;
  s.sizeMode = custom ? CustomSize : SourceSize;
  s.width = 640;
  s.height = 480;
  s.videoBitrate = "800";
  s.audioBitrate = "192";
  s.frameRate = "25.00";
  return s;
}
}  // namespace

TEST(EncoderCommand, AllSixteenCombinations) {
  struct Case {
    int format, mpegVersion;
    bool defaultQuality, custom;
    const char* expected;
  };
  const Case cases[] = {
#define Z "\"/home/ann/.local/share/vidmora/system/zandrio.dll\" -i \"/home/ann/clips/talk.flv\""
#define Q "\"/home/ann/.local/share/vidmora/system/quimbel.dll\" -i \"/home/ann/clips/talk.flv\""
      {1, 2, true, false, Z " -vcodec msmpeg4v2 -y \"/out/t.avi\""},
      {1, 2, true, true, Z " -vcodec msmpeg4v2 -s 640x480 -y \"/out/t.avi\""},
      {1, 2, false, false, Z " -vcodec msmpeg4v2 -b 800 -r 25.00 -ab 192 -y \"/out/t.avi\""},
      {1, 2, false, true, Z " -vcodec msmpeg4v2 -b 800 -r 25.00 -ab 192 -s 640x480 -y \"/out/t.avi\""},
      {2, 1, true, false, Z " -vcodec mpeg1video -y \"/out/t.avi\""},
      {2, 1, true, true, Z " -vcodec mpeg1video -s 640x480 -y \"/out/t.avi\""},
      {2, 1, false, false, Z " -vcodec mpeg1video -b 800 -r 25.00 -ab 192 -y \"/out/t.avi\""},
      {2, 1, false, true, Z " -vcodec mpeg1video -b 800 -r 25.00 -ab 192 -s 640x480 -y \"/out/t.avi\""},
      {2, 2, true, false, Z " -vcodec mpeg2video -y \"/out/t.avi\""},
      {2, 2, true, true, Z " -vcodec mpeg2video -s 640x480 -y \"/out/t.avi\""},
      {2, 2, false, false, Z " -vcodec mpeg2video -b 800 -r 25.00 -ab 192 -y \"/out/t.avi\""},
      {2, 2, false, true, Z " -vcodec mpeg2video -b 800 -r 25.00 -ab 192 -s 640x480 -y \"/out/t.avi\""},
      {3, 2, true, false, Q " -vcodec wmv2 -y \"/out/t.avi\""},
      {3, 2, true, true, Q " -vcodec wmv2 -s 640x480 -y \"/out/t.avi\""},
      {3, 2, false, false, Q " -vcodec wmv2 -b 800 -r 25.00 -ab 192 -y \"/out/t.avi\""},
      {3, 2, false, true, Q " -vcodec wmv2 -b 800 -r 25.00 -ab 192 -s 640x480 -y \"/out/t.avi\""},
#undef Z
#undef Q
  };
  for (const Case& c : cases) {
    const auto s = settingsFor(c.format, c.mpegVersion, c.defaultQuality, c.custom);
    EXPECT_EQ(composeEncoderCommand(s, kSource, "/out/t.avi", kEncoder, kCompanion), c.expected);
  }
}

TEST(EncoderCommand, TheThreeWorkedExamples) {
  const std::string out = "/home/ann/videooutput/";
  ConversionSettings s = defaultConversionSettings();
  EXPECT_EQ(composeEncoderCommand(s, kSource, out + "talk.avi", kEncoder, kCompanion),
            "\"" + kEncoder + "\" -i \"" + kSource + "\" -vcodec msmpeg4v2 -y \"" + out +
                "talk.avi\"");

  s.format = Mpeg;
  s.useDefaultQuality = false;
  s.sizeMode = CustomSize;
  EXPECT_EQ(composeEncoderCommand(s, kSource, out + "talk.mpg", kEncoder, kCompanion),
            "\"" + kEncoder + "\" -i \"" + kSource +
                "\" -vcodec mpeg2video -b 500 -r 29.97 -ab 128 -s 320x240 -y \"" + out +
                "talk.mpg\"");

  s = defaultConversionSettings();
  s.format = Wmv;
  s.sizeMode = CustomSize;
  s.width = 640;
  s.height = 480;
  EXPECT_EQ(composeEncoderCommand(s, kSource, out + "talk_1.wmv", kEncoder, kCompanion),
            "\"" + kCompanion + "\" -i \"" + kSource + "\" -vcodec wmv2 -s 640x480 -y \"" +
                out + "talk_1.wmv\"");
}

TEST(EncoderCommand, OptionalSwitchesFollowOnlyTheirSwitches) {
  ConversionSettings s = defaultConversionSettings();
  s.videoBitrate = "2376";  // changed texts stay out while default quality is on
  s.width = 9999;           // and the size stays out with the source size
  const std::string command = composeEncoderCommand(s, kSource, "/o.avi", kEncoder, kCompanion);
  for (const char* absent : {" -b ", " -r ", " -ab ", " -s "})
    EXPECT_EQ(command.find(absent), std::string::npos) << absent;
  EXPECT_NE(command.find(" -y \"/o.avi\""), std::string::npos);
}

TEST(EncoderCommand, CodesOutsideTheirDomainsGiveNoCommand) {
  for (auto change : {+[](ConversionSettings& s) { s.format = 0; },
                      +[](ConversionSettings& s) { s.format = 4; },
                      +[](ConversionSettings& s) { s.format = Mpeg, s.mpegVersion = 3; },
                      +[](ConversionSettings& s) { s.sizeMode = 0; }}) {
    ConversionSettings s = defaultConversionSettings();
    change(s);
    EXPECT_EQ(composeEncoderCommand(s, kSource, "/o.avi", kEncoder, kCompanion), "");
  }
}

TEST(EncoderCommand, PathsWithBlanksAndQuotesReachTheEncoderIntact) {
  ConversionSettings s = defaultConversionSettings();
  const std::string encoder = "/opt/my system/zandrio.dll";
  const std::string source = "/home/ann/my \"best\" clip.flv";
  const std::string target = "/home/ann/video output/my \"best\" clip.avi";
  const std::string command = composeEncoderCommand(s, source, target, encoder, kCompanion);
  EXPECT_EQ(SplitCommandLine(command),
            (std::vector<std::string>{encoder, "-i", source, "-vcodec", "msmpeg4v2", "-y", target}));
  EXPECT_EQ(SplitCommandLine(composeProbeCommand(encoder, source)),
            (std::vector<std::string>{encoder, "-i", source}));
}

TEST(EncoderCommand, ProbeCommandIsTheConversionOpeningAlone) {
  EXPECT_EQ(composeProbeCommand(kEncoder, kSource),
            "\"" + kEncoder + "\" -i \"" + kSource + "\"");
}

TEST(ConversionSettings, StartUpDefaults) {
  const ConversionSettings s = defaultConversionSettings();
  EXPECT_EQ(s.format, Avi);
  EXPECT_EQ(s.mpegVersion, 2);
  EXPECT_TRUE(s.useDefaultQuality);
  EXPECT_EQ(s.videoBitrate, "500");
  EXPECT_EQ(s.audioBitrate, "128");
  EXPECT_EQ(s.frameRate, "29.97");
  EXPECT_EQ(s.sizeMode, SourceSize);
  EXPECT_EQ(s.width, 320);
  EXPECT_EQ(s.height, 240);
  EXPECT_EQ(s.existingFilePolicy, AutoRename);
  EXPECT_TRUE(s.outputFolder.ends_with("/videooutput/")) << s.outputFolder;
}
