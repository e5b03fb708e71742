// The conversion's threads, in-process. The hand-over between them: every frame arrives once
// and in order however the two sides' pace differs, and a cancel releases whichever side
// waits. The pipeline: a failure on one thread ends the others and is what the run throws.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "encoder/ConversionPipeline.h"
#include "encoder/EncoderError.h"
#include "encoder/FrameQueue.h"
#include "encoder/SourceDecoder.h"
#include "tests/encoder/TestClips.h"

using vidmora_encoder::ConversionPipeline;
using vidmora_encoder::DecodedFrame;
using vidmora_encoder::EncoderError;
using vidmora_encoder::FrameQueue;

namespace {

DecodedFrame numbered(int n) {
  DecodedFrame item;
  item.seconds = n;
  return item;
}

// Frames produced and consumed on two threads, one side slowed down: all arrive, in order,
// including a tail shorter than the half of the queue that wakes a waiting consumer.
struct PaceCase {
  const char* name;
  std::size_t capacity;
  int frames;
  std::chrono::microseconds producerPause;
  std::chrono::microseconds consumerPause;
};

class FrameQueuePace : public ::testing::TestWithParam<PaceCase> {};

TEST_P(FrameQueuePace, DeliversEveryFrameOnceInOrder) {
  const PaceCase& pace = GetParam();
  FrameQueue queue(pace.capacity);
  std::thread producer([&] {
    for (int n = 0; n < pace.frames; ++n) {
      ASSERT_TRUE(queue.push(numbered(n)));
      std::this_thread::sleep_for(pace.producerPause);
    }
    queue.finish();
  });
  int expected = 0;
  while (auto item = queue.pop()) {
    EXPECT_EQ(item->seconds, expected++);
    std::this_thread::sleep_for(pace.consumerPause);
  }
  producer.join();
  EXPECT_EQ(expected, pace.frames);
}

INSTANTIATE_TEST_SUITE_P(
    Paces, FrameQueuePace,
    ::testing::Values(PaceCase{"slow_consumer", 8, 50, {}, std::chrono::microseconds(200)},
                      PaceCase{"slow_producer", 8, 50, std::chrono::microseconds(200), {}},
                      PaceCase{"tail_under_half", 8, 3, std::chrono::microseconds(200), {}},
                      PaceCase{"smallest_queue", 1, 20, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A stop cancels from a third thread: the consumer waiting for frames that will not come and
// the producer waiting for room both return at once, and what was queued is gone.
TEST(FrameQueue, CancelReleasesAWaitingConsumer) {
  FrameQueue queue(8);
  ASSERT_TRUE(queue.push(numbered(0)));
  ASSERT_TRUE(queue.pop().has_value());
  ASSERT_TRUE(queue.push(numbered(1)));  // fewer than would wake a waiting consumer
  ASSERT_TRUE(queue.pop().has_value());
  auto waiting = std::async(std::launch::async, [&] { return queue.pop().has_value(); });
  EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  queue.cancel();
  ASSERT_EQ(waiting.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_FALSE(waiting.get());
}

TEST(FrameQueue, CancelReleasesAWaitingProducerAndDropsTheQueuedFrames) {
  FrameQueue queue(2);
  ASSERT_TRUE(queue.push(numbered(0)));
  ASSERT_TRUE(queue.push(numbered(1)));
  auto pushed = std::async(std::launch::async, [&] { return queue.push(numbered(2)); });
  EXPECT_EQ(pushed.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  queue.cancel();
  ASSERT_EQ(pushed.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_FALSE(pushed.get());
  EXPECT_FALSE(queue.pop().has_value());
  EXPECT_FALSE(queue.push(numbered(3)));
}

// One kind's taker fails at its third frame while the other is slow: the run ends without
// waiting for the rest of the source, with that failure.
struct FailingKindCase {
  const char* name;
  AVMediaType failing;
};

class PipelineFailure : public ::testing::TestWithParam<FailingKindCase> {};

TEST_P(PipelineFailure, EndsEveryThreadAndRethrowsIt) {
  const std::string path = encoder_test::clip("pipeline_source", {.seconds = 20.0});
  vidmora_encoder::SourceFile source(path);
  vidmora_encoder::SourceDecoder decoder(source, {});
  std::atomic<int> slowFrames{0};
  auto taker = [&](AVMediaType type) {
    return [&, type, taken = 0](DecodedFrame) mutable {
      if (type == GetParam().failing && ++taken == 3) throw EncoderError("the taker failed");
      if (type != GetParam().failing) {
        ++slowFrames;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    };
  };
  ConversionPipeline pipeline(decoder, taker(AVMEDIA_TYPE_VIDEO), taker(AVMEDIA_TYPE_AUDIO));
  try {
    pipeline.run([] {});
    ADD_FAILURE() << "the failure was not rethrown";
  } catch (const EncoderError& error) {
    EXPECT_STREQ(error.what(), "the taker failed");
  }
  EXPECT_LT(slowFrames, 100) << "the slow taker went on after the failure";
}

INSTANTIATE_TEST_SUITE_P(Kinds, PipelineFailure,
                         ::testing::Values(FailingKindCase{"video", AVMEDIA_TYPE_VIDEO},
                                           FailingKindCase{"audio", AVMEDIA_TYPE_AUDIO}),
                         [](const auto& info) { return std::string(info.param.name); });

// A recording whose streams change midway (another picture size, another sound format, a
// restart with new configurations): the decoder starts anew with them, and no frame is lost
// around the change. Every picture of the video comes out, each at its own size, and the
// sound's frames cover what its packets cover.
struct ChangeCase {
  const char* file;
  int videoFrames;
  int firstWidth;
  int lastWidth;
};

class StreamChange : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(StreamChange, DecodesEveryFrameWithTheParametersInForce) {
  const ChangeCase& change = GetParam();
  vidmora_encoder::SourceFile source(encoder_test::samplePath(change.file));
  vidmora_encoder::SourceDecoder decoder(source, {});
  std::vector<int> widths;
  ConversionPipeline pipeline(
      decoder, [&](DecodedFrame frame) { widths.push_back(frame.frame->width); },
      [](DecodedFrame) {});
  pipeline.run([] {});
  ASSERT_EQ(static_cast<int>(widths.size()), change.videoFrames);
  EXPECT_EQ(widths.front(), change.firstWidth);
  EXPECT_EQ(widths.back(), change.lastWidth);
  EXPECT_EQ(decoder.skippedPackets(), 0);
  EXPECT_NEAR(decoder.decodedSeconds(AVMEDIA_TYPE_AUDIO),
              decoder.packetSeconds(AVMEDIA_TYPE_AUDIO), 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, StreamChange,
    ::testing::Values(ChangeCase{"h264-aac-size-change.flv", 60, 320, 480},
                      ChangeCase{"hevc-size-change-enhanced.flv", 60, 320, 480},
                      ChangeCase{"h264-aac-restarts-at-zero.flv", 200, 160, 160}),
    [](const auto& info) { return encoder_test::caseName(info.param.file); });

}  // namespace
