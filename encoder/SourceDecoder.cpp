#include "encoder/SourceDecoder.h"

#include <algorithm>
#include <cmath>

#include "encoder/ConversionProfile.h"
#include "encoder/EncoderError.h"
#include "encoder/StageThread.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

namespace {

// Refuses a source whose frames have a side larger than the encoder takes.
void checkFrameSize(int width, int height, const std::string& source) {
  if (width > kMaxFrameSide || height > kMaxFrameSide)
    throw EncoderError("the video in " + source + " has " + std::to_string(width) + "x" +
                       std::to_string(height) + " frames: at most " +
                       std::to_string(kMaxFrameSide) + " pixels on a side can be converted");
}

}  // namespace

CodecContextPtr openDecoder(AVStream* stream, const std::string& source, int threads) {
  if (stream == nullptr) return nullptr;
  const AVCodecParameters* parameters = stream->codecpar;
  if (parameters->codec_type == AVMEDIA_TYPE_VIDEO)
    checkFrameSize(parameters->width, parameters->height, source);
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  CodecContextPtr decoder(avcodec_alloc_context3(codec));
  if (!decoder) throw EncoderError("out of memory");
  throwIfFailed(avcodec_parameters_to_context(decoder.get(), parameters),
                "cannot set up the decoder");
  decoder->pkt_timebase = stream->time_base;
  decoder->thread_count = threads;
  // A picture larger than any the encoder takes is refused before its memory is taken, also
  // when the size changes mid-stream.
  decoder->max_pixels = static_cast<int64_t>(kMaxFrameSide) * kMaxFrameSide;
  const std::string kind = parameters->codec_type == AVMEDIA_TYPE_VIDEO ? "video" : "audio";
  throwIfFailed(avcodec_open2(decoder.get(), codec, nullptr),
                std::string("cannot decode the ") + kind + " (" + codec->name + ")");
  return decoder;
}


SourceDecoder::SourceDecoder(SourceFile& file, Plan how)
    : source(file),
      plan(how),
      // As many threads as the machine has, where the codec can use them.
      videoContext(openDecoder(file.videoStream(), file.path(), 0)),
      audioContext(openDecoder(file.audioStream(), file.path(), 0)),
      startSeconds(static_cast<double>(file.startTime()) / AV_TIME_BASE) {
  if (file.videoStream() != nullptr)
    nominalFrameSeconds = av_q2d(av_inv_q(sourceFrameRate(file.context(), file.videoStream())));
}

SourceDecoder::~SourceDecoder() { stop(); }

void SourceDecoder::start() { thread = startStageThread("decoding", [this] { run(); }); }

std::optional<DecodedFrame> SourceDecoder::next(AVMediaType type) { return queueFor(type).pop(); }

void SourceDecoder::stop() {
  videoQueue.cancel();
  audioQueue.cancel();
  if (thread.joinable()) thread.join();
}

void SourceDecoder::rethrowFailure() const {
  if (failure) std::rethrow_exception(failure);
}

void SourceDecoder::run() {
  try {
    decodeAll();
  } catch (...) {
    failure = std::current_exception();
  }
  videoQueue.finish();
  audioQueue.finish();
}

void SourceDecoder::notePacket(const AVPacket* packet, const AVStream* stream,
                               StreamCoverage& into) {
  const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
  if (time == AV_NOPTS_VALUE) return;
  const double base = av_q2d(stream->time_base);
  latestPacket = std::max(latestPacket, time * base);
  into.add(time * base - startSeconds, packet->duration * base);
}

void SourceDecoder::decodeAll() {
  AVFormatContext* context = source.context();
  AVStream* videoStream = source.videoStream();
  AVStream* audioStream = source.audioStream();
  StreamClock videoClock, audioClock;
  PacketPtr packet = allocatePacket();
  bool going = true;
  while (going && !stopRequested() && av_read_frame(context, packet.get()) >= 0) {
    if (videoStream != nullptr && packet->stream_index == videoStream->index) {
      notePacket(packet.get(), videoStream, videoPackets);
      if (plan.decodeVideo)
        going = decode(videoContext.get(), videoStream, packet.get(), videoClock, videoFrames);
    } else if (audioStream != nullptr && packet->stream_index == audioStream->index) {
      notePacket(packet.get(), audioStream, audioPackets);
      going = plan.copyAudio
                  ? pass(audioStream, packet.get(), audioClock)
                  : decode(audioContext.get(), audioStream, packet.get(), audioClock, audioFrames);
    }
    av_packet_unref(packet.get());
  }
  // At a stop the frames still inside the decoders are not wanted.
  going = going && !stopRequested();
  if (going && videoContext && plan.decodeVideo)
    going = decode(videoContext.get(), videoStream, nullptr, videoClock, videoFrames);
  if (going && audioContext && !plan.copyAudio)
    decode(audioContext.get(), audioStream, nullptr, audioClock, audioFrames);
  lastVideoEnd = videoClock.end;
}

bool SourceDecoder::pass(AVStream* stream, const AVPacket* packet, StreamClock& clock) {
  DecodedFrame item;
  item.type = AVMEDIA_TYPE_AUDIO;
  item.packet = allocatePacket();
  throwIfFailed(av_packet_ref(item.packet.get(), packet), "out of memory");
  const AVCodecParameters* parameters = stream->codecpar;
  item.seconds = clock.next;
  item.duration = parameters->sample_rate > 0 && parameters->frame_size > 0
                      ? static_cast<double>(parameters->frame_size) / parameters->sample_rate
                      : packet->duration * av_q2d(stream->time_base);
  clock.next = item.seconds + item.duration;
  clock.end = clock.next;
  // A frame copied is a frame the output holds, as a decoded one would be.
  audioFrames.add(item.seconds, item.duration);
  return audioQueue.push(std::move(item));
}

bool SourceDecoder::decode(AVCodecContext* decoder, AVStream* stream, const AVPacket* packet,
                           StreamClock& clock, StreamCoverage& frames) {
  const int sent = avcodec_send_packet(decoder, packet);
  // A packet the decoder has no memory for is no damaged packet: the run cannot go on.
  throwIfOutOfMemory(sent);
  if (sent < 0 && sent != AVERROR_EOF) {
    ++refusedPackets;
    return true;
  }
  const bool video = decoder->codec_type == AVMEDIA_TYPE_VIDEO;
  FrameQueue& queue = queueFor(decoder->codec_type);
  for (;;) {
    if (!received) received = allocateFrame();
    const int got = avcodec_receive_frame(decoder, received.get());
    throwIfOutOfMemory(got);
    if (got < 0) return true;
    FramePtr frame = std::move(received);
    DecodedFrame item;
    item.type = decoder->codec_type;
    const int64_t timestamp = frame->best_effort_timestamp;
    item.seconds = timestamp == AV_NOPTS_VALUE
                       ? clock.next
                       : timestamp * av_q2d(stream->time_base) - startSeconds + clock.offset;
    if (std::fabs(item.seconds - clock.next) > kTimestampJumpSeconds) {
      clock.offset += clock.next - item.seconds;
      item.seconds = clock.next;
    }
    if (video)
      item.duration = frame->pkt_duration > 0 ? frame->pkt_duration * av_q2d(stream->time_base)
                                              : nominalFrameSeconds;
    else
      item.duration = frame->sample_rate > 0
                          ? static_cast<double>(frame->nb_samples) / frame->sample_rate
                          : 0;
    clock.next = item.seconds + item.duration;
    clock.end = std::max(clock.end, clock.next);
    frames.add(item.seconds, item.duration);
    item.frame = std::move(frame);
    if (!queue.push(std::move(item))) return false;
  }
}

}  // namespace vidmora_encoder
