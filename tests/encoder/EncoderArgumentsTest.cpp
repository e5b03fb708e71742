// The command lines each executable accepts, and the small rules behind the output settings.
#include <gtest/gtest.h>

#include "encoder/ConversionProfile.h"
#include "encoder/EncoderArguments.h"
#include "encoder/ProbeReport.h"
#include "encoder/ProgressReporter.h"
#include "tests/encoder/ProgramRules.h"

using namespace vidmora_encoder;
using Kind = EncoderArguments::Kind;

namespace {

struct ArgumentsCase {
  const char* name;
  EncoderRole role;
  std::vector<std::string> args;
  Kind kind;
};

class EncoderArgumentsParse : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(EncoderArgumentsParse, AcceptsExactlyTheComposedShapes) {
  const auto& param = GetParam();
  const EncoderArguments parsed = parseEncoderArguments(param.role, param.args);
  EXPECT_EQ(parsed.kind, param.kind) << parsed.usageProblem;
  if (parsed.kind == Kind::Usage) {
    EXPECT_FALSE(parsed.usageProblem.empty());
  }
}

const auto Z = EncoderRole::Zandrio;
const auto Q = EncoderRole::Quimbel;

INSTANTIATE_TEST_SUITE_P(
    CommandLines, EncoderArgumentsParse,
    ::testing::Values(
        ArgumentsCase{"probe", Z, {"-i", "a b.flv"}, Kind::Probe},
        ArgumentsCase{"probe_on_quimbel", Q, {"-i", "a.flv"}, Kind::Probe},
        ArgumentsCase{"default", Z, {"-i", "a.flv", "-vcodec", "msmpeg4v2", "-y", "a.avi"}, Kind::Convert},
        ArgumentsCase{"default_sized", Z, {"-i", "a.flv", "-vcodec", "mpeg1video", "-s", "320x240", "-y", "a.mpg"}, Kind::Convert},
        ArgumentsCase{"rates", Z, {"-i", "a.flv", "-vcodec", "mpeg2video", "-b", "500", "-r", "29.97", "-ab", "128", "-y", "a.mpg"}, Kind::Convert},
        ArgumentsCase{"rates_sized", Q, {"-i", "a.flv", "-vcodec", "wmv2", "-b", "500", "-r", "25.00", "-ab", "128", "-s", "640x480", "-y", "a.wmv"}, Kind::Convert},
        ArgumentsCase{"upper_case_extension", Z, {"-i", "a.flv", "-vcodec", "msmpeg4v2", "-y", "A.AVI"}, Kind::Convert},
        ArgumentsCase{"empty", Z, {}, Kind::Usage},
        ArgumentsCase{"empty_source", Z, {"-i", ""}, Kind::Usage},
        ArgumentsCase{"wmv2_on_zandrio", Z, {"-i", "a.flv", "-vcodec", "wmv2", "-y", "a.wmv"}, Kind::Usage},
        ArgumentsCase{"msmpeg4v2_on_quimbel", Q, {"-i", "a.flv", "-vcodec", "msmpeg4v2", "-y", "a.avi"}, Kind::Usage},
        ArgumentsCase{"wrong_extension", Z, {"-i", "a.flv", "-vcodec", "msmpeg4v2", "-y", "a.mpg"}, Kind::Usage},
        ArgumentsCase{"no_overwrite_switch", Z, {"-i", "a.flv", "-vcodec", "msmpeg4v2", "a.avi"}, Kind::Usage},
        ArgumentsCase{"size_before_rates", Z, {"-i", "a.flv", "-vcodec", "mpeg2video", "-s", "320x240", "-b", "500", "-r", "29.97", "-ab", "128", "-y", "a.mpg"}, Kind::Usage},
        ArgumentsCase{"rates_incomplete", Z, {"-i", "a.flv", "-vcodec", "mpeg2video", "-b", "500", "-y", "a.mpg"}, Kind::Usage},
        ArgumentsCase{"rates_reordered", Z, {"-i", "a.flv", "-vcodec", "mpeg2video", "-r", "29.97", "-b", "500", "-ab", "128", "-y", "a.mpg"}, Kind::Usage},
        ArgumentsCase{"bitrate_not_a_number", Z, {"-i", "a.flv", "-vcodec", "mpeg2video", "-b", "5x0", "-r", "29.97", "-ab", "128", "-y", "a.mpg"}, Kind::Usage},
        ArgumentsCase{"rate_zero", Z, {"-i", "a.flv", "-vcodec", "mpeg2video", "-b", "500", "-r", "0", "-ab", "128", "-y", "a.mpg"}, Kind::Usage},
        ArgumentsCase{"size_malformed", Z, {"-i", "a.flv", "-vcodec", "msmpeg4v2", "-s", "320*240", "-y", "a.avi"}, Kind::Usage},
        ArgumentsCase{"size_zero", Z, {"-i", "a.flv", "-vcodec", "msmpeg4v2", "-s", "0x240", "-y", "a.avi"}, Kind::Usage},
        ArgumentsCase{"trailing_text", Z, {"-i", "a.flv", "-vcodec", "msmpeg4v2", "-y", "a.avi", "x"}, Kind::Usage},
        ArgumentsCase{"probe_with_extra", Z, {"-i", "a.flv", "-y"}, Kind::Usage}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncoderArguments, KeepsTheGivenTexts) {
  const EncoderArguments parsed = parseEncoderArguments(
      Z, {"-i", "/in/a.flv", "-vcodec", "mpeg2video", "-b", "500", "-r", "29.97", "-ab", "128",
          "-s", "320x240", "-y", "/out/a.mpg"});
  ASSERT_EQ(parsed.kind, Kind::Convert);
  EXPECT_EQ(parsed.source, "/in/a.flv");
  EXPECT_EQ(parsed.target, "/out/a.mpg");
  EXPECT_EQ(parsed.videoKbps, 500);
  EXPECT_EQ(parsed.frameRate, "29.97");
  EXPECT_EQ(parsed.audioKbps, 128);
  ASSERT_TRUE(parsed.frameSize);
  EXPECT_EQ(parsed.frameSize->width, 320);
  EXPECT_EQ(parsed.frameSize->height, 240);
}

struct RateCase {
  const char* text;
  int num, den;
};

class FrameRateText : public ::testing::TestWithParam<RateCase> {};

TEST_P(FrameRateText, BecomesTheExactRational) {
  const AVRational rate = parseFrameRate(GetParam().text);
  EXPECT_EQ(rate.num, GetParam().num);
  EXPECT_EQ(rate.den, GetParam().den);
}

INSTANTIATE_TEST_SUITE_P(DialogRates, FrameRateText,
                         ::testing::Values(RateCase{"10.00", 10, 1}, RateCase{"15.00", 15, 1},
                                           RateCase{"23.97", 24000, 1001},
                                           RateCase{"24.00", 24, 1}, RateCase{"25.00", 25, 1},
                                           RateCase{"29.97", 30000, 1001},
                                           RateCase{"30.00", 30, 1}, RateCase{"12.5", 25, 2}));

TEST(OutputRules, MpegRatesSnapToTheNearestAllowedAndOthersStay) {
  const auto& mpeg = ConversionProfile::forCodec("mpeg1video");
  const auto& avi = ConversionProfile::forCodec("msmpeg4v2");
  EXPECT_EQ(av_cmp_q(nearestAllowedFrameRate(mpeg, {10, 1}), AVRational{24000, 1001}), 0);
  EXPECT_EQ(av_cmp_q(nearestAllowedFrameRate(mpeg, {27, 1}), AVRational{25, 1}), 0);
  EXPECT_EQ(av_cmp_q(nearestAllowedFrameRate(mpeg, {30000, 1001}), AVRational{30000, 1001}), 0);
  EXPECT_EQ(av_cmp_q(nearestAllowedFrameRate(avi, {10, 1}), AVRational{10, 1}), 0);
}

TEST(OutputRules, AudioBitRatesSnapToWhatTheCodecAllows) {
  EXPECT_EQ(nearestAudioKbps(ConversionProfile::forCodec("msmpeg4v2"), 384), 320);
  EXPECT_EQ(nearestAudioKbps(ConversionProfile::forCodec("mpeg2video"), 384), 384);
  EXPECT_EQ(nearestAudioKbps(ConversionProfile::forCodec("mpeg2video"), 40), 32);
  EXPECT_EQ(nearestAudioKbps(ConversionProfile::forCodec("wmv2"), 100), 100);
}

TEST(OutputRules, SizesBecomeEvenAndSampleRatesStandard) {
  EXPECT_EQ(roundFrameSize({321, 241}).width, 320);
  EXPECT_EQ(roundFrameSize({321, 241}).height, 240);
  EXPECT_EQ(roundFrameSize({1, 1}).width, 2);
  EXPECT_EQ(outputSampleRate(48000), 48000);
  EXPECT_EQ(outputSampleRate(22050), 44100);
  EXPECT_EQ(outputSampleRate(8000), 44100);
}

struct DurationCase {
  int64_t microseconds;
  const char* text;
};

class DurationLine : public ::testing::TestWithParam<DurationCase> {};

TEST_P(DurationLine, ReadsBackByTheProgramsFixedPlaces) {
  const std::string line = formatDurationLine(GetParam().microseconds, 0, 100000);
  EXPECT_NE(line.find(std::string("Duration: ") + GetParam().text + ","), std::string::npos) << line;
  EXPECT_EQ(encoder_test::durationByProgramRule(line), GetParam().microseconds / 1000000);
}

INSTANTIATE_TEST_SUITE_P(Durations, DurationLine,
                         ::testing::Values(DurationCase{0, "00:00:00.00"},
                                           DurationCase{999999, "00:00:00.99"},
                                           DurationCase{125400000, "00:02:05.40"},
                                           DurationCase{3600000000, "01:00:00.00"},
                                           DurationCase{86399990000, "23:59:59.99"}));

TEST(DurationLine, UnknownDurationIsNotAvailable) {
  const std::string line = formatDurationLine(std::nullopt, 0, 0);
  EXPECT_NE(line.find("Duration: N/A, start: 0.000000, bitrate: N/A"), std::string::npos) << line;
  EXPECT_EQ(encoder_test::durationByProgramRule(line), 0);
}

TEST(ProgressLine, HasTheExpectedFormAndParsesToWholeSeconds) {
  ProgressFigures figures;
  figures.frames = 250;
  figures.quality = 5;
  figures.bytes = 1024 * 1024;
  figures.seconds = 10.0;
  const std::string line = ProgressReporter::formatLine(figures, 250.0 / 30);
  EXPECT_EQ(line, "frame=  250 fps= 30 q=5.0 size=    1024kB time=10.00 bitrate= 838.9kbits/s\n");
  EXPECT_EQ(encoder_test::timeFiguresByProgramRule({line}), std::vector<int>{10});
  figures.seconds = 7.996;
  EXPECT_EQ(encoder_test::timeFiguresByProgramRule(
                {ProgressReporter::formatLine(figures, 1)}),
            std::vector<int>{8});
}

}  // namespace
