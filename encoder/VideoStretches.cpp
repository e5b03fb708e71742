#include "encoder/VideoStretches.h"

#include <algorithm>
#include <cmath>

#include "encoder/EncoderError.h"
#include "encoder/SourceDecoder.h"
#include "encoder/StageThread.h"
#include "encoder/StopSignal.h"
#include "encoder/StreamCoverage.h"

namespace vidmora_encoder {

namespace {

// Key frames further apart than this (seconds) make a worker decode too much of the source
// that it does not encode.
constexpr double kLongestKeyFrameGap = 10.0;
// Packets of stretches ahead of their turn kept in memory, per stretch, before its worker
// waits: several seconds of video at any size but the largest and finest.
constexpr int64_t kWaitingBytes = 64 << 20;
// Stretches of a video encoded at a bit rate hold this many key-frame intervals: the rate
// control of an encoder of its own needs some seconds to find the rate the whole would have.
constexpr int kKeyFramesPerRatedStretch = 3;
// An encoder of its own overspends its first key-frame interval while its rate control learns
// the picture (a fifth over on the bench's clip, then on target), which one encoder spreads
// over the whole file and a stretch over its thirty seconds: 4 to 6 % more. Each stretch aims
// this much lower to even it out; on a picture so plain that even one encoder stays under the
// rate, it changes next to nothing.
constexpr double kRatedStretchAim = 0.98;
// How far (seconds) sound interleaved with the video may run ahead of the video written.
constexpr double kSoundLeadSeconds = 1.0;

}  // namespace

// A worker's own reading of the source: a demuxer of its own, sent to a key frame by its
// position in the file, and a decoder for the video on the worker's thread alone.
struct VideoStretches::Reader {
  std::unique_ptr<Demuxer> reading;
  CodecContextPtr decoder;
  SourcePacket packet;
  FramePtr frame = allocateFrame();
};

std::optional<VideoStretches::Plan> VideoStretches::planFor(const ConversionProfile& profile,
                                                          const VideoOutput& settings,
                                                          const SourceSurvey& survey) {
  const int cores = availableCores();
  if (!profile.videoInStretches || cores < 2 || !survey.videoSeekable) return std::nullopt;
  const AVRational rate = nearestAllowedFrameRate(profile, settings.frameRate);
  const double fps = av_q2d(rate);
  const int64_t keyFrames = keyFrameInterval(profile, rate);
  Plan plan;
  const int64_t tenSeconds = std::max<int64_t>(1, std::llround(10 * fps / keyFrames)) * keyFrames;
  plan.stretchFrames = settings.kbps ? kKeyFramesPerRatedStretch * tenSeconds : tenSeconds;
  plan.warmUpFrames = settings.kbps ? std::llround(fps) : 0;
  plan.stretches = static_cast<int64_t>(std::ceil(survey.videoLast * fps / plan.stretchFrames));
  if (plan.stretches < 2) return std::nullopt;
  plan.workers = static_cast<int>(std::min<int64_t>(cores, plan.stretches));
  return plan;
}

double VideoStretches::longestKeyFrameGap() { return kLongestKeyFrameGap; }

VideoStretches::VideoStretches(SourceFile& file, const SourceSurvey& keys,
                               const ConversionProfile& format, const VideoOutput& chosen,
                               OutputFile& into, Plan how)
    : source(file),
      survey(keys),
      profile(format),
      settings(chosen),
      output(into),
      plan(how),
      first(format, chosen, VideoWindow{}, nullptr),
      stream(first.addStreamTo(into)),
      stretches(static_cast<std::size_t>(how.stretches)) {}

std::optional<int64_t> VideoStretches::claim() {
  std::unique_lock lock(mutex);
  turned.wait(lock, [&] { return cancelled || nextClaim <= inTurn + plan.workers; });
  if (cancelled || nextClaim >= plan.stretches || ended()) return std::nullopt;
  return nextClaim++;
}

void VideoStretches::work() {
  Reader reader;
  reader.reading = source.openReading();
  // Each worker is a core's worth already.
  const SourceStream* video = source.videoStream();
  reader.decoder = openDecoder(video, video->parameters.get(), source.path(), 1);
  while (const auto index = claim()) encodeStretch(*index, reader);
}

void VideoStretches::encodeStretch(int64_t index, Reader& reader) {
  const int64_t kept = index * plan.stretchFrames;
  const int64_t from = std::max<int64_t>(0, kept - plan.warmUpFrames);
  const bool lastPlanned = index == plan.stretches - 1;
  const int64_t end = lastPlanned ? INT64_MAX : kept + plan.stretchFrames;
  VideoOutput aimed = settings;
  if (aimed.kbps) aimed.kbps = static_cast<int>(std::lround(*aimed.kbps * kRatedStretchAim));
  VideoStage stage(profile, aimed, {from, kept, end},
                   [this, index](AVPacket* packet) { deliver(index, packet); });
  const double fps = av_q2d(stage.frameRate());
  const SourceStream& video = *source.videoStream();
  const AVRational base = video.timeBase;
  const double start = static_cast<double>(source.startTime()) / AV_TIME_BASE;
  const double nominal = 1 / av_q2d(sourceFrameRate(video));
  seekToKeyFrameBefore(reader, from / fps + start);

  // What of the stretch decoded frames cover, for the check that the video was not damaged.
  const double keptFrom = kept / fps;
  const double keptTo = lastPlanned ? 1e300 : end / fps;
  StreamCoverage covered;
  double videoEnd = 0;
  auto take = [&](const AVFrame* decodedFrame) {
    DecodedFrame item;
    item.type = AVMEDIA_TYPE_VIDEO;
    item.seconds = decodedFrame->best_effort_timestamp * av_q2d(base) - start;
    item.duration = decodedFrame->pkt_duration > 0 ? decodedFrame->pkt_duration * av_q2d(base)
                                                   : nominal;
    videoEnd = std::max(videoEnd, item.seconds + item.duration);
    // Only the kept part of the stretch counts: the frames before it are another's.
    const double from = std::max(keptFrom, item.seconds);
    const double to = std::min(keptTo, item.seconds + item.duration);
    if (to > from) covered.add(from, to - from);
    item.frame = allocateFrame();
    av_frame_move_ref(item.frame.get(), reader.frame.get());
    stage.add(std::move(item));
    lastQuality = stage.quality();
  };
  auto receive = [&] {
    while (!stage.done()) {
      const int got = avcodec_receive_frame(reader.decoder.get(), reader.frame.get());
      throwIfOutOfMemory(got);
      if (got < 0) return;
      take(reader.frame.get());
    }
  };
  bool atEnd = false;
  while (!stage.done() && !stopRequested()) {
    {
      std::lock_guard lock(mutex);
      if (cancelled) return;
    }
    if (!reader.reading->read(reader.packet)) {
      atEnd = true;
      break;
    }
    if (reader.packet.stream == video.index) {
      // A damaged packet the decoder refuses is passed over, as by the whole video's decoder.
      const int sent = avcodec_send_packet(reader.decoder.get(), reader.packet.packet.get());
      throwIfOutOfMemory(sent);
      if (sent >= 0) receive();
    }
    av_packet_unref(reader.packet.packet.get());
  }
  if (stopRequested()) return;
  if (atEnd) {
    avcodec_send_packet(reader.decoder.get(), nullptr);
    receive();
  }
  stage.finish(videoEnd);
  complete(index, covered.seconds, atEnd);
}

void VideoStretches::seekToKeyFrameBefore(Reader& reader, double seconds) {
  const AVRational base = source.videoStream()->timeBase;
  const auto needed = static_cast<int64_t>(std::floor(seconds / av_q2d(base)));
  const auto& keys = survey.videoKeyFrames;
  // The last key frame at or before the time (the first when none is).
  auto key = std::upper_bound(keys.begin(), keys.end(), needed,
                              [](int64_t time, const SourceSurvey::KeyFrame& frame) {
                                return time < frame.timestamp;
                              });
  if (key != keys.begin()) --key;
  reader.reading->seek(key->position);
  avcodec_flush_buffers(reader.decoder.get());
}

void VideoStretches::deliver(int64_t index, AVPacket* packet) {
  std::unique_lock lock(mutex);
  Stretch& stretch = stretches[static_cast<std::size_t>(index)];
  turned.wait(lock, [&] {
    return cancelled || index == inTurn || stretch.waitingBytes < kWaitingBytes;
  });
  if (cancelled) return;
  if (index == inTurn) {
    writeNow(packet);
    return;
  }
  PacketPtr kept = allocatePacket();
  throwIfFailed(av_packet_ref(kept.get(), packet), "out of memory");
  stretch.waitingBytes += packet->size;
  stretch.waiting.push_back(std::move(kept));
}

void VideoStretches::writeNow(AVPacket* packet) {
  const int64_t frameEnd = packet->pts + 1;
  output.write(packet, stream, first.timeBase());
  if (frameEnd > written) written = frameEnd;
  // The sound is woken once what it waits for is there, not at every frame.
  if (soundWaitsFor >= 0 && seconds() >= soundWaitsFor)
    progressed.notify_one();
}

void VideoStretches::complete(int64_t index, double decodedThere, bool last) {
  std::lock_guard lock(mutex);
  stretches[static_cast<std::size_t>(index)].complete = true;
  decoded += decodedThere;
  if (last && (lastStretch < 0 || index < lastStretch)) lastStretch = index;
  // The stretches after it that are complete already go in now, and the next one's packets
  // that came early.
  while (inTurn < plan.stretches && stretches[static_cast<std::size_t>(inTurn)].complete &&
         !ended()) {
    ++inTurn;
    if (inTurn >= plan.stretches) break;
    Stretch& next = stretches[static_cast<std::size_t>(inTurn)];
    for (PacketPtr& packet : next.waiting) writeNow(packet.get());
    next.waiting.clear();
    next.waitingBytes = 0;
  }
  turned.notify_all();
  progressed.notify_all();
}

bool VideoStretches::ended() const {
  return inTurn >= plan.stretches || (lastStretch >= 0 && inTurn > lastStretch);
}

void VideoStretches::cancel() {
  std::lock_guard lock(mutex);
  cancelled = true;
  turned.notify_all();
  progressed.notify_all();
}

void VideoStretches::waitUntil(double until) {
  std::unique_lock lock(mutex);
  // Up to a second ahead goes on at once; past that it waits for the video to come level, so
  // that it waits about once a second, not at every frame.
  if (seconds() >= until - kSoundLeadSeconds) return;
  soundWaitsFor = until;
  progressed.wait(lock, [&] { return cancelled || ended() || seconds() >= until; });
  soundWaitsFor = -1;
}

}  // namespace vidmora_encoder
