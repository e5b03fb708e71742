// An FLV file's media span from its tag headers alone agrees with what demuxing every packet
// finds: for well-formed files, files cut short and files whose PreviousTagSize fields are all
// wrong; and a well-formed file's span costs a few reads at either end, however long it is.
#include <gtest/gtest.h>

#include <filesystem>

#include "encoder/DurationScan.h"
#include "encoder/FlvTags.h"
#include "encoder/SourceFile.h"
#include "tests/encoder/TestClips.h"
#include "tests/fixtures/FlvTagEdit.h"

using namespace encoder_test;
using namespace vidmora_encoder;

namespace {

struct Variant {
  const char* name;
  void (*make)(const std::string& from, const std::string& to);
};

void copyAsIs(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}
void cutAtAThird(const std::string& from, const std::string& to) {
  copyAsIs(from, to);
  flv_fixture::truncateFile(to, 0.33);
}
void cutAtTwoThirds(const std::string& from, const std::string& to) {
  copyAsIs(from, to);
  flv_fixture::truncateFile(to, 0.67);
}
void breakTagSizes(const std::string& from, const std::string& to) {
  flv_fixture::writeWithWrongTagSizes(from, to);
}
void breakTagSizesAndCut(const std::string& from, const std::string& to) {
  flv_fixture::writeWithWrongTagSizes(from, to);
  flv_fixture::truncateFile(to, 0.5);
}

const Variant kVariants[] = {{"as_is", copyAsIs},
                             {"cut_at_a_third", cutAtAThird},
                             {"cut_at_two_thirds", cutAtTwoThirds},
                             {"wrong_tag_sizes", breakTagSizes},
                             {"wrong_tag_sizes_cut", breakTagSizesAndCut}};

const char* const kSamples[] = {"vp6-mp3.flv", "h263-nellymoser-no-metadata.flv",
                                "h264-aac-no-metadata-bad-tag-sizes.flv", "h263-video-only.flv",
                                "aac-audio-only.flv"};

class FlvMediaSpan : public ::testing::TestWithParam<std::tuple<const char*, Variant>> {};

TEST_P(FlvMediaSpan, AgreesWithEveryPacketDemuxed) {
  const auto& [sample, variant] = GetParam();
  const std::string path = scratchPath(std::string("span_") + variant.name + "_" + sample);
  variant.make(samplePath(sample), path);
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
                           std::string name = std::string(std::get<1>(info.param).name) + "_" +
                                              std::get<0>(info.param);
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(FlvTags, WellFormedLongFileIsReadAtItsEndsOnly) {
  const std::string path = scratchPath("long_well_formed.flv");
  flv_fixture::writeRepeated(samplePath("vp6-mp3.flv"), path, 20);  // 9 minutes, 36 MB
  SourceInput input(path);
  const auto layout = examineFlvTags(input);
  ASSERT_TRUE(layout && layout->endMs);
  EXPECT_NEAR(*layout->endMs / 1000.0, 20 * 28.06, 0.5);
  EXPECT_FALSE(layout->corrections.has_value());
  EXPECT_LE(input.bytesRead(), 2 * (64 << 10) + 9) << "of " << input.size();
}

TEST(FlvTags, WrongTagSizesAreCorrectedForTheDemuxer) {
  const std::string path = scratchPath("long_wrong_sizes.flv");
  flv_fixture::writeRepeated(samplePath("vp6-mp3-second.flv"), scratchPath("long_source.flv"), 4);
  flv_fixture::writeWithWrongTagSizes(scratchPath("long_source.flv"), path);
  SourceInput input(path);
  const auto layout = examineFlvTags(input);
  ASSERT_TRUE(layout && layout->corrections);
  EXPECT_GT(layout->corrections->fields(), 3000u);
  // Every field read back through the corrections says what the tag before it holds.
  std::vector<uint8_t> bytes(static_cast<std::size_t>(input.size()));
  ASSERT_EQ(input.readAt(0, bytes.data(), bytes.size()), input.size());
  for (int64_t from = 0; from < input.size(); from += 1000)  // in reads that cut fields apart
    layout->corrections->apply(from, bytes.data() + from,
                               static_cast<int>(std::min<int64_t>(1000, input.size() - from)));
  auto field = [&](std::size_t at) {
    return uint32_t{bytes[at]} << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
  };
  std::size_t at = field(5);
  EXPECT_EQ(field(at), 0u);
  int checked = 0;
  while (at + 4 + 11 <= bytes.size()) {
    const uint32_t tagBytes = 11 + (bytes[at + 5] << 16 | bytes[at + 6] << 8 | bytes[at + 7]);
    if (at + 4 + tagBytes + 4 > bytes.size()) break;
    ASSERT_EQ(field(at + 4 + tagBytes), tagBytes) << "field at " << at + 4 + tagBytes;
    at += 4 + tagBytes;
    ++checked;
  }
  EXPECT_GT(checked, 3000);
}

}  // namespace
