// The video of AVI and WMV encoded in stretches on two cores: the key frames one encoder
// gives, every frame once and in order, the same packets at a constant quantizer and nearly
// the same amount at a bit rate; a stop in the middle keeps a valid file of what is in order;
// one core, or a source whose times jump, keeps one encoder.
#include <gtest/gtest.h>

#include <thread>

#include "tests/encoder/EncoderProcess.h"
#include "tests/encoder/FileContents.h"
#include "tests/encoder/TestClips.h"
#include "tests/fixtures/FlvTagEdit.h"
extern "C" {
#include <libavformat/avformat.h>
}

using namespace encoder_test;

namespace {

struct VideoPacket {
  int64_t pts;
  bool key;
  uint64_t hash;
  int size;
};

std::vector<VideoPacket> videoPackets(const std::string& path) {
  std::vector<VideoPacket> packets;
  AVFormatContext* context = nullptr;
  if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return packets;
  avformat_find_stream_info(context, nullptr);
  const int video = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  AVPacket* packet = av_packet_alloc();
  while (av_read_frame(context, packet) >= 0) {
    if (packet->stream_index == video) {
      uint64_t hash = 14695981039346656037ull;
      for (int i = 0; i < packet->size; ++i) hash = (hash ^ packet->data[i]) * 1099511628211ull;
      // Frames in output frames, whatever the container's time base.
      const AVRational rate = context->streams[video]->avg_frame_rate;
      packets.push_back({av_rescale_q(packet->pts, context->streams[video]->time_base,
                                      av_inv_q(rate)),
                         (packet->flags & AV_PKT_FLAG_KEY) != 0, hash, packet->size});
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&context);
  return packets;
}

// Every output frame once, in order, from the first.
void expectEveryFrameInOrder(const std::vector<VideoPacket>& packets) {
  for (std::size_t i = 0; i < packets.size(); ++i)
    ASSERT_EQ(packets[i].pts, static_cast<int64_t>(i)) << "packet " << i;
}

std::vector<int64_t> keyFrames(const std::vector<VideoPacket>& packets) {
  std::vector<int64_t> keys;
  for (const auto& packet : packets)
    if (packet.key) keys.push_back(packet.pts);
  return keys;
}

EncoderRun convert(bool oneCore, const std::string& source, const std::string& codec,
                   const std::vector<std::string>& options, const std::string& target) {
  std::vector<std::string> args = {"-i", source, "-vcodec", codec};
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), {"-y", target});
  if (!oneCore) return runEncoder(encoderFor(codec), args);
  args.insert(args.begin(), {"-c", "0", encoderFor(codec)});
  return runEncoder("/usr/bin/taskset", args);
}

struct StretchCase {
  const char* name;
  const char* codec;
  const char* extension;
  std::vector<std::string> options;  // before -y
  bool samePackets;  // a constant quantizer: every packet as one encoder makes it
};

class VideoInStretches : public ::testing::TestWithParam<StretchCase> {};

TEST_P(VideoInStretches, GivesTheKeyFramesAndFramesOfOneEncoder) {
  if (std::thread::hardware_concurrency() < 2) {
    GTEST_SKIP() << "one core: one encoder";
  }
  const StretchCase& param = GetParam();
  const std::string source = clip("stretches_source", {.seconds = 70, .fps = 15});
  const std::string one = scratchPath(std::string("one_") + param.name + param.extension);
  const std::string two = scratchPath(std::string("two_") + param.name + param.extension);
  const EncoderRun single = convert(true, source, param.codec, param.options, one);
  const EncoderRun split = convert(false, source, param.codec, param.options, two);
  ASSERT_EQ(single.exitStatus, 0) << single.errorText;
  ASSERT_EQ(split.exitStatus, 0) << split.errorText;
  EXPECT_EQ(single.errorText.find(" cores"), std::string::npos) << single.errorText;
  EXPECT_NE(split.errorText.find(" on 2 cores"), std::string::npos) << split.errorText;
  const auto expected = videoPackets(one);
  const auto got = videoPackets(two);
  ASSERT_EQ(got.size(), expected.size());
  expectEveryFrameInOrder(got);
  EXPECT_EQ(keyFrames(got), keyFrames(expected));
  int64_t expectedBytes = 0, gotBytes = 0;
  for (std::size_t i = 0; i < got.size(); ++i) {
    expectedBytes += expected[i].size;
    gotBytes += got[i].size;
    if (param.samePackets) {
      ASSERT_EQ(got[i].hash, expected[i].hash) << "packet " << i;
    }
  }
  EXPECT_NEAR(gotBytes, expectedBytes, expectedBytes * 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, VideoInStretches,
    ::testing::Values(
        StretchCase{"avi_quantizer", "msmpeg4v2", ".avi", {}, true},
        StretchCase{"wmv_quantizer", "wmv2", ".wmv", {}, true},
        StretchCase{"avi_bit_rate", "msmpeg4v2", ".avi", {"-b", "200", "-r", "15.00", "-ab", "64"}, false},
        StretchCase{"wmv_bit_rate", "wmv2", ".wmv", {"-b", "200", "-r", "15.00", "-ab", "64"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VideoInStretches, AStopInTheMiddleKeepsAValidFileOfWhatIsInOrder) {
  if (std::thread::hardware_concurrency() < 2) {
    GTEST_SKIP() << "one core: one encoder";
  }
  const std::string folder = scratchSubfolder("stretches_stopped");
  const std::string target = folder + "/stopped.avi";
  EncoderProcess process(zandrioPath(), {"-i", clip("stretches_source", {.seconds = 70, .fps = 15}),
                                         "-vcodec", "msmpeg4v2", "-s", "1920x1080", "-y", target});
  ASSERT_TRUE(process.waitForFrames(std::chrono::seconds(30)));
  process.terminate();
  const EncoderRun run = process.finish(std::chrono::seconds(30));
  EXPECT_EQ(run.exitStatus, 3) << run.errorText;
  EXPECT_NE(run.errorText.find(" on 2 cores"), std::string::npos) << run.errorText;
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"stopped.avi"});
  const auto packets = videoPackets(target);
  ASSERT_FALSE(packets.empty());
  expectEveryFrameInOrder(packets);
  EXPECT_TRUE(packets.front().key);
}

// Times that jump (a recording spliced together) leave a stretch no way to know where it is
// in the output: such a source is encoded by one encoder, and the jump taken out as always.
TEST(VideoInStretches, ASourceWhoseTimesJumpKeepsOneEncoder) {
  const std::string source = scratchPath("jumping.flv");
  flv_fixture::writeRepeated(samplePath("vp6-mp3-second.flv"), source, 3, 60'000);
  const std::string target = scratchPath("jumping.avi");
  const EncoderRun run = convert(false, source, "msmpeg4v2", {}, target);
  ASSERT_EQ(run.exitStatus, 0) << run.errorText;
  EXPECT_EQ(run.errorText.find(" cores"), std::string::npos) << run.errorText;
  const auto packets = videoPackets(target);
  EXPECT_NEAR(packets.size() / 15.0, 3 * 14.4, 1.0);
}

}  // namespace
