// Conversions: each codec in each command shape, read back with the FFmpeg libraries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/FileContents.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/encoder/ProgramRules.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;
using flv_fixture::ClipSpec;
using flv_fixture::FixtureAudio;

namespace {

enum class Shape { Default, DefaultSized, Rates, RatesSized };

const ClipSpec kSource{.seconds = 3.0, .width = 160, .height = 120, .fps = 15};

std::vector<std::string> shapeArguments(const FormatCase& codec, Shape shape,
                                        const std::string& source, const std::string& target) {
  std::vector<std::string> args{"-i", source, "-vcodec", codec.codec};
  if (shape == Shape::Rates || shape == Shape::RatesSized)
    args.insert(args.end(), {"-b", "300", "-r", "25.00", "-ab", "96"});
  if (shape == Shape::DefaultSized || shape == Shape::RatesSized)
    args.insert(args.end(), {"-s", "176x144"});
  args.insert(args.end(), {"-y", target});
  return args;
}

const char* const kShapeNames[] = {"Default", "DefaultSized", "Rates", "RatesSized"};

class ConversionShape : public ::testing::TestWithParam<std::tuple<FormatCase, Shape>> {};

TEST_P(ConversionShape, GivesTheContainerCodecSizeRateAndDuration) {
  const auto& [codec, shape] = GetParam();
  const std::string target = scratchPath(std::string("shape_") + codec.codec + "_" +
                                         std::to_string(static_cast<int>(shape)) + codec.extension);
  const EncoderRun run = runEncoder(
      encoderFor(codec.codec), shapeArguments(codec, shape, clip("conversion_source", kSource), target));
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  // The probe's duration line comes first, so that a caller need not probe before.
  EXPECT_EQ(run.errorText.rfind("  Duration: 00:00:03.", 0), 0u) << run.errorText;

  const MediaFacts facts = readMediaFacts(target);
  ASSERT_TRUE(facts.opened);
  EXPECT_EQ(facts.container, codec.container);
  EXPECT_EQ(facts.videoCodec, codec.codec);
  EXPECT_EQ(facts.audioCodec, codec.audioCodec);
  const bool sized = shape == Shape::DefaultSized || shape == Shape::RatesSized;
  EXPECT_EQ(facts.width, sized ? 176 : 160);
  EXPECT_EQ(facts.height, sized ? 144 : 120);
  const bool rated = shape == Shape::Rates || shape == Shape::RatesSized;
  const double rate = rated ? 25.0 : codec.mpegRates ? 24000.0 / 1001 : 15.0;
  EXPECT_NEAR(facts.frameRate, rate, 0.01);
  const double sourceSeconds = readMediaFacts(clip("conversion_source", kSource)).duration;
  EXPECT_NEAR(facts.videoSeconds, sourceSeconds, 1.0 / rate);
  EXPECT_NEAR(facts.audioSeconds, sourceSeconds, 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    CodecsAndShapes, ConversionShape,
    ::testing::Combine(::testing::ValuesIn(kFormats),
                       ::testing::Values(Shape::Default, Shape::DefaultSized, Shape::Rates,
                                         Shape::RatesSized)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).codec) + "_" +
             kShapeNames[static_cast<int>(std::get<1>(info.param))];
    });

class ConversionBitrate : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ConversionBitrate, VideoBitRateIsWithinAFifthOfTheRequest) {
  const FormatCase& codec = GetParam();
  const ClipSpec longer{.seconds = 12.0, .width = 320, .height = 240, .fps = 25,
                        .audio = FixtureAudio::None};
  const std::string target = scratchPath(std::string("bitrate_") + codec.codec + codec.extension);
  const EncoderRun run = runEncoder(
      encoderFor(codec.codec), {"-i", clip("bitrate_source", longer), "-vcodec", codec.codec, "-b",
                                "400", "-r", "25.00", "-ab", "64", "-y", target});
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  const MediaFacts facts = readMediaFacts(target);
  EXPECT_NEAR(facts.videoKbps, 400, 80);
  EXPECT_NEAR(facts.videoSeconds, readMediaFacts(clip("bitrate_source", longer)).duration, 1.0 / 25);
}

INSTANTIATE_TEST_SUITE_P(Codecs, ConversionBitrate, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.codec); });

struct SourceCase {
  const char* name;
  ClipSpec spec;
};

class ConversionOfSource : public ::testing::TestWithParam<std::tuple<FormatCase, SourceCase>> {};

TEST_P(ConversionOfSource, KeepsExactlyTheStreamsTheSourceHas) {
  const auto& [codec, source] = GetParam();
  const std::string target =
      scratchPath(std::string("streams_") + source.name + "_" + codec.codec + codec.extension);
  const EncoderRun run = runEncoder(encoderFor(codec.codec),
                                    {"-i", clip(source.name, source.spec), "-vcodec", codec.codec,
                                     "-y", target});
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  const MediaFacts facts = readMediaFacts(target);
  ASSERT_TRUE(facts.opened);
  EXPECT_EQ(!facts.videoCodec.empty(), source.spec.video);
  EXPECT_EQ(!facts.audioCodec.empty(), source.spec.audio != FixtureAudio::None);
  const double length = source.spec.video ? facts.videoSeconds : facts.audioSeconds;
  EXPECT_NEAR(length, source.spec.seconds, 0.1);
  if (source.spec.video && source.spec.audio != FixtureAudio::None) {
    EXPECT_NEAR(facts.audioSeconds, facts.videoSeconds, 0.1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ConversionOfSource,
    ::testing::Combine(
        ::testing::ValuesIn(kFormats),
        ::testing::Values(
            SourceCase{"source_video_only", {.seconds = 2.0, .audio = FixtureAudio::None}},
            SourceCase{"source_audio_only", {.seconds = 2.0, .video = false}},
            SourceCase{"source_adpcm", {.seconds = 2.0, .audio = FixtureAudio::Adpcm}},
            SourceCase{"source_no_metadata", {.seconds = 2.0, .durationMetadata = false}})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).codec) + "_" + std::get<1>(info.param).name;
    });

// Some downloaders saved files in another container under .flv; the libraries read those.
TEST(Conversion, AnotherContainerUnderAnFlvNameConverts) {
  const std::string source = clip("avi_named_flv", {.seconds = 2.0, .container = "avi"});
  const std::string target = scratchPath("avi_named_flv.wmv");
  const EncoderRun run = runEncoder(quimbelPath(), {"-i", source, "-vcodec", "wmv2", "-y", target});
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  const MediaFacts facts = readMediaFacts(target);
  EXPECT_NEAR(facts.videoSeconds, 2.0, 0.1);
  EXPECT_NEAR(facts.audioSeconds, 2.0, 0.1);
}

// Some writers send an empty sequence start; one midway must not take the configuration in
// force away from the decoder, which would then decode nothing after it.
TEST(Conversion, AnEmptySequenceStartMidwayChangesNothing) {
  std::string bytes = readAll(samplePath("h264-mp4a-enhanced-audio.flv"));
  // The first video tag from one second on: the empty AVC sequence header goes before it.
  std::size_t at = 13;
  while (at + 11 < bytes.size()) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(bytes[i]); };
    const uint32_t size = byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
    const uint32_t time = byte(at + 4) << 16 | byte(at + 5) << 8 | byte(at + 6);
    if (byte(at) == 9 && time >= 1000) break;
    at += 11 + size + 4;
  }
  ASSERT_LT(at + 11, bytes.size());
  std::string empty = bytes.substr(at, 11);
  empty.replace(1, 3, std::string("\0\0\5", 3));
  empty += std::string("\x17\0\0\0\0", 5) + std::string("\0\0\0\x10", 4);
  bytes.insert(at, empty);
  const std::string source = scratchPath("empty_sequence_start.flv");
  std::ofstream(source, std::ios::binary) << bytes;
  const std::string target = scratchPath("empty_sequence_start.avi");
  const EncoderRun run = runEncoder(zandrioPath(), {"-i", source, "-vcodec", "msmpeg4v2", "-y", target});
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  EXPECT_NEAR(readMediaFacts(target).videoSeconds, 3.0, 0.1);
}

TEST(Conversion, OddFrameSizeIsRoundedToEvenSides) {
  const std::string target = scratchPath("odd.avi");
  const EncoderRun run = runEncoder(
      zandrioPath(), {"-i", clip("conversion_source", kSource), "-vcodec", "msmpeg4v2", "-s",
                      "161x121", "-y", target});
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  const MediaFacts facts = readMediaFacts(target);
  EXPECT_EQ(facts.width, 160);
  EXPECT_EQ(facts.height, 120);
}

TEST(Conversion, RateOutsideTheMpegSetSnapsToTheNearestOne) {
  const std::string target = scratchPath("snapped.mpg");
  const EncoderRun run = runEncoder(
      zandrioPath(), {"-i", clip("conversion_source", kSource), "-vcodec", "mpeg1video", "-b",
                      "300", "-r", "10.00", "-ab", "64", "-y", target});
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  EXPECT_NEAR(readMediaFacts(target).frameRate, 24000.0 / 1001, 0.01);
}

// Names and paths as long as Linux allows: a source and a target name of 255 bytes each, and
// a source and a target 4095 bytes long in folders nested that deep. The probe's duration
// stays within the 2047 bytes of its text that the program keeps.
struct LongPathCase {
  const char* name;
  int nestedFolders;  // of 250-byte names
};

class LongPath : public ::testing::TestWithParam<LongPathCase> {};

TEST_P(LongPath, ProbesAndConverts) {
  std::string folder = scratchSubfolder(std::string("long_") + GetParam().name);
  for (int i = 0; i < GetParam().nestedFolders; ++i) folder += "/" + std::string(250, 'd');
  std::filesystem::create_directories(folder);
  auto nameFilling = [&](char letter, const char* extension) {
    const std::size_t length = std::min<std::size_t>(255, 4095 - folder.size() - 1);
    return std::string(length - 4, letter) + extension;
  };
  const std::string sourceName = nameFilling('s', ".flv");
  const std::string targetName = nameFilling('t', ".avi");
  const std::string source = folder + "/" + sourceName;
  std::filesystem::copy_file(clip("long_path_source", {.seconds = 2.0}), source);

  const EncoderRun probe = runEncoder(zandrioPath(), {"-i", source});
  EXPECT_EQ(probe.exitStatus, 0) << probe.errorText.substr(0, 300);
  EXPECT_EQ(durationByProgramRule(probe.errorText.substr(0, 2047)), 2)
      << probe.errorText.substr(0, 300);

  const EncoderRun run = runEncoder(zandrioPath(), {"-i", source, "-vcodec", "msmpeg4v2", "-y",
                                                    folder + "/" + targetName});
  EXPECT_EQ(run.exitStatus, 0) << run.errorText.substr(run.errorText.size() - 300);
  EXPECT_NEAR(readMediaFacts(folder + "/" + targetName).videoSeconds, 2.0, 0.1);
  EXPECT_EQ(entriesOf(folder), (std::vector<std::string>{sourceName, targetName}));
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongPath,
                         ::testing::Values(LongPathCase{"names_of_255_bytes", 0},
                                           LongPathCase{"paths_of_4095_bytes", 15}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
