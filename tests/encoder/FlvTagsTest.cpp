// An FLV file's media span from its tag headers alone agrees with what demuxing every packet
// finds: for well-formed files, files cut short and files whose PreviousTagSize fields are all
// wrong (also around a tag of an unknown type, which both step over); a well-formed file's span
// costs a few reads at either end, however long it is; a recording whose times start again or
// jump is walked for the seconds it holds.
#include <gtest/gtest.h>

#include <filesystem>

#include "encoder/DurationScan.h"
#include "encoder/flv/FlvLayout.h"
#include "encoder/SourceFile.h"
#include "tests/encoder/TestClips.h"
#include "tests/fixtures/FlvTagEdit.h"

using namespace encoder_test;
using namespace vidmora_encoder;
using vidmora_encoder::flv::examineFlvTags;

namespace {

struct Variant {
  const char* name;
  bool wrongTagSizes;
  bool oddTag;  // with wrong tag sizes: a tag of an unknown type in the middle
  double kept;  // of the file's size, the rest cut off
};

const Variant kVariants[] = {{"as_is", false, false, 1},
                             {"cut_at_a_third", false, false, 0.33},
                             {"cut_at_two_thirds", false, false, 0.67},
                             {"wrong_tag_sizes", true, false, 1},
                             {"wrong_tag_sizes_odd_tag", true, true, 1},
                             {"wrong_tag_sizes_cut", true, false, 0.5}};

const char* const kSamples[] = {"vp6-mp3.flv", "h263-nellymoser-no-metadata.flv",
                                "h264-aac-no-metadata-bad-tag-sizes.flv", "h263-video-only.flv",
                                "aac-audio-only.flv"};

class FlvMediaSpan : public ::testing::TestWithParam<std::tuple<const char*, Variant>> {};

TEST_P(FlvMediaSpan, AgreesWithEveryPacketDemuxed) {
  const auto& [sample, variant] = GetParam();
  const std::string path = scratchPath(std::string("span_") + variant.name + "_" + sample);
  if (variant.wrongTagSizes)
    flv_fixture::writeWithWrongTagSizes(samplePath(sample), path, variant.oddTag);
  else
    std::filesystem::copy_file(samplePath(sample), path,
                               std::filesystem::copy_options::overwrite_existing);
  if (variant.kept < 1) flv_fixture::truncateFile(path, variant.kept);
  SourceFile source(path);
  const auto fromTags = source.mediaSpan();
  const auto demuxed = scanPacketSpan(source);
  ASSERT_TRUE(fromTags.has_value());
  ASSERT_TRUE(demuxed.has_value());
  // A frame either way: the tags count the last frame as long as the step before it.
  EXPECT_NEAR(fromTags->start, demuxed->start, 0.1 * AV_TIME_BASE);
  EXPECT_NEAR(fromTags->duration, demuxed->duration, 0.1 * AV_TIME_BASE)
      << fromTags->duration << " against " << demuxed->duration;
}

INSTANTIATE_TEST_SUITE_P(SamplesAndDamage, FlvMediaSpan,
                         ::testing::Combine(::testing::ValuesIn(kSamples),
                                            ::testing::ValuesIn(kVariants)),
                         [](const auto& info) {
                           return caseName(std::string(std::get<1>(info.param).name) + "_" +
                                           std::get<0>(info.param));
                         });

TEST(FlvTags, WellFormedLongFileIsReadAtItsEndsOnly) {
  const std::string path = scratchPath("long_well_formed.flv");
  flv_fixture::writeRepeated(samplePath("vp6-mp3.flv"), path, 20);  // 9 minutes, 36 MB
  SourceInput input(path);
  const auto layout = examineFlvTags(input);
  ASSERT_TRUE(layout && layout->endMs);
  EXPECT_NEAR(*layout->endMs / 1000.0, 20 * 28.06, 0.5);
  EXPECT_FALSE(layout->tagSizesWrong);
  EXPECT_LE(input.bytesRead(), 2 * (64 << 10) + 9) << "of " << input.size();
}

// The seconds a recording holds, from its ends where they tell it, else from a walk: times that
// start again at 0 or jump an hour ahead make a file hold more than its first-to-last span, or
// far fewer bytes than the span would take; a well-formed file of any form is not walked.
struct RecordingCase {
  const char* sample;
  bool walked;
  double seconds;
};

class FlvRecordingSpan : public ::testing::TestWithParam<RecordingCase> {};

TEST_P(FlvRecordingSpan, IsWhatTheRecordingHolds) {
  SourceInput input(samplePath(GetParam().sample));
  const auto layout = examineFlvTags(input);
  ASSERT_TRUE(layout && layout->startMs && layout->endMs);
  EXPECT_EQ(layout->walked, GetParam().walked);
  EXPECT_NEAR((*layout->endMs - *layout->startMs) / 1000.0, GetParam().seconds, 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, FlvRecordingSpan,
    ::testing::Values(RecordingCase{"h264-aac-restarts-at-zero.flv", true, 20.06},
                      RecordingCase{"h264-aac-jumps-forward.flv", true, 20.06},
                      RecordingCase{"multitrack-hevc-avc-opus.flv", false, 3.02},
                      RecordingCase{"av1-opus-enhanced.flv", false, 10.02},
                      RecordingCase{"hevc-size-change-enhanced.flv", false, 4.13},
                      RecordingCase{"h264-aac-live-server.flv", false, 11.44},
                      RecordingCase{"vp6-mp3.flv", false, 28.06}),
    [](const auto& info) { return caseName(info.param.sample); });

}  // namespace
