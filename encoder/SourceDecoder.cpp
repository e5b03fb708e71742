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

CodecContextPtr openDecoder(const SourceStream* stream, const AVCodecParameters* parameters,
                            const std::string& source, int threads) {
  if (stream == nullptr) return nullptr;
  const bool isVideo = stream->type == AVMEDIA_TYPE_VIDEO;
  if (isVideo) checkFrameSize(parameters->width, parameters->height, source);
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  CodecContextPtr decoder(avcodec_alloc_context3(codec));
  if (!decoder) throw EncoderError("out of memory");
  throwIfFailed(avcodec_parameters_to_context(decoder.get(), parameters),
                "cannot set up the decoder");
  decoder->pkt_timebase = stream->timeBase;
  decoder->thread_count = threads;
  // A picture larger than any the encoder takes is refused before its memory is taken, also
  // when the size changes mid-stream.
  decoder->max_pixels = static_cast<int64_t>(kMaxFrameSide) * kMaxFrameSide;
  const int opened = avcodec_open2(decoder.get(), codec, nullptr);
  throwIfOutOfMemory(opened);
  if (opened < 0)
    throw EncoderError(std::string("the ") + (isVideo ? "video" : "audio") + " in " + source +
                       " is " + stream->codecText + ", which this encoder cannot decode (" +
                       errorText(opened) + ")");
  return decoder;
}

SourceDecoder::SourceDecoder(SourceFile& file, Plan how)
    : source(file),
      plan(how),
      startSeconds(static_cast<double>(file.startTime()) / AV_TIME_BASE) {
  for (const auto& [type, stream] : {std::pair{AVMEDIA_TYPE_VIDEO, file.videoStream()},
                                     std::pair{AVMEDIA_TYPE_AUDIO, file.audioStream()}}) {
    // As many threads as the machine has, where the codec can use them.
    kind(type).stream = stream;
    if (stream != nullptr) kind(type).decoder = openDecoder(stream, stream->parameters.get(), file.path(), 0);
  }
  if (video.stream != nullptr)
    nominalFrameSeconds = av_q2d(av_inv_q(sourceFrameRate(*video.stream)));
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

void SourceDecoder::notePacket(const AVPacket* packet, const SourceStream& stream,
                               StreamCoverage& into) {
  const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
  if (time == AV_NOPTS_VALUE) return;
  const double base = av_q2d(stream.timeBase);
  latestPacket = std::max(latestPacket, time * base);
  into.add(time * base - startSeconds, packet->duration * base);
}

void SourceDecoder::decodeAll() {
  Demuxer& reading = source.reading();
  SourcePacket packet;
  bool going = true;
  while (going && !stopRequested() && reading.read(packet)) {
    for (const AVMediaType type : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}) {
      Kind& of = kind(type);
      if (of.stream == nullptr || packet.stream != of.stream->index) continue;
      notePacket(packet.packet.get(), *of.stream, of.packets);
      if (type == AVMEDIA_TYPE_VIDEO && !plan.decodeVideo) break;
      going = type == AVMEDIA_TYPE_AUDIO && plan.copyAudio ? pass(packet.packet.get())
                                                           : decode(type, &packet);
    }
    av_packet_unref(packet.packet.get());
  }
  // At a stop the frames still inside the decoders are not wanted.
  going = going && !stopRequested();
  if (going && video.decoder && plan.decodeVideo) going = decode(AVMEDIA_TYPE_VIDEO, nullptr);
  if (going && audio.decoder && !plan.copyAudio) decode(AVMEDIA_TYPE_AUDIO, nullptr);
  lastVideoEnd = video.clock.end;
}

bool SourceDecoder::pass(const AVPacket* packet) {
  DecodedFrame item;
  item.type = AVMEDIA_TYPE_AUDIO;
  item.packet = allocatePacket();
  throwIfFailed(av_packet_ref(item.packet.get(), packet), "out of memory");
  const AVCodecParameters* parameters = audio.stream->parameters.get();
  item.seconds = audio.clock.next;
  item.duration = parameters->sample_rate > 0 && parameters->frame_size > 0
                      ? static_cast<double>(parameters->frame_size) / parameters->sample_rate
                      : packet->duration * av_q2d(audio.stream->timeBase);
  audio.clock.next = item.seconds + item.duration;
  audio.clock.end = audio.clock.next;
  // A frame copied is a frame the output holds, as a decoded one would be.
  audio.frames.add(item.seconds, item.duration);
  return audioQueue.push(std::move(item));
}

bool SourceDecoder::decode(AVMediaType type, const SourcePacket* packet) {
  Kind& of = kind(type);
  if (packet != nullptr && packet->newParameters != nullptr) {
    // The frames the old configuration still holds come out first.
    avcodec_send_packet(of.decoder.get(), nullptr);
    if (!receive(type)) return false;
    of.decoder = openDecoder(of.stream, packet->newParameters, source.path(), 0);
  }
  const int sent = avcodec_send_packet(of.decoder.get(), packet ? packet->packet.get() : nullptr);
  // A packet the decoder has no memory for is no damaged packet: the run cannot go on.
  throwIfOutOfMemory(sent);
  if (sent < 0 && sent != AVERROR_EOF) {
    ++refusedPackets;
    return true;
  }
  return receive(type);
}

bool SourceDecoder::receive(AVMediaType type) {
  Kind& of = kind(type);
  const bool isVideo = type == AVMEDIA_TYPE_VIDEO;
  const AVRational base = of.stream->timeBase;
  StreamClock& clock = of.clock;
  for (;;) {
    if (!received) received = allocateFrame();
    const int got = avcodec_receive_frame(of.decoder.get(), received.get());
    throwIfOutOfMemory(got);
    if (got < 0) return true;
    FramePtr frame = std::move(received);
    DecodedFrame item;
    item.type = type;
    const int64_t timestamp = frame->best_effort_timestamp;
    item.seconds = timestamp == AV_NOPTS_VALUE
                       ? clock.next
                       : timestamp * av_q2d(base) - startSeconds + clock.offset;
    if (std::fabs(item.seconds - clock.next) > kTimestampJumpSeconds) {
      clock.offset += clock.next - item.seconds;
      item.seconds = clock.next;
    }
    if (isVideo)
      item.duration = frame->pkt_duration > 0 ? frame->pkt_duration * av_q2d(base)
                                              : nominalFrameSeconds;
    else
      item.duration = frame->sample_rate > 0
                          ? static_cast<double>(frame->nb_samples) / frame->sample_rate
                          : 0;
    clock.next = item.seconds + item.duration;
    clock.end = std::max(clock.end, clock.next);
    of.frames.add(item.seconds, item.duration);
    item.frame = std::move(frame);
    if (!queueFor(type).push(std::move(item))) return false;
  }
}

}  // namespace vidmora_encoder
