#include "encoder/SourceDecoder.h"

#include <algorithm>
#include <cmath>

#include "encoder/ConversionProfile.h"
#include "encoder/EncoderError.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder {

namespace {

// A jump between a frame's timestamp and where its stream stood that counts as a break.
constexpr double kTimestampJumpSeconds = 5.0;

CodecContextPtr openDecoder(AVStream* stream) {
  if (stream == nullptr) return nullptr;
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  CodecContextPtr decoder(avcodec_alloc_context3(codec));
  if (!decoder) throw EncoderError("out of memory");
  throwIfFailed(avcodec_parameters_to_context(decoder.get(), stream->codecpar),
                "cannot set up the decoder");
  decoder->pkt_timebase = stream->time_base;
  decoder->thread_count = 0;  // as many as the machine has, where the codec can use them
  const std::string kind = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? "video" : "audio";
  throwIfFailed(avcodec_open2(decoder.get(), codec, nullptr),
                std::string("cannot decode the ") + kind + " (" + codec->name + ")");
  return decoder;
}

}  // namespace

SourceDecoder::SourceDecoder(SourceFile& source)
    : source_(source),
      video_(openDecoder(source.videoStream())),
      audio_(openDecoder(source.audioStream())),
      startSeconds_(static_cast<double>(source.startTime()) / AV_TIME_BASE) {
  if (source.videoStream() != nullptr)
    nominalFrameSeconds_ =
        av_q2d(av_inv_q(sourceFrameRate(source.context(), source.videoStream())));
}

SourceDecoder::~SourceDecoder() {
  queue_.cancel();
  if (thread_.joinable()) thread_.join();
}

void SourceDecoder::start() {
  thread_ = std::thread([this] { run(); });
}

void SourceDecoder::run() {
  AVFormatContext* context = source_.context();
  AVStream* videoStream = source_.videoStream();
  AVStream* audioStream = source_.audioStream();
  StreamClock videoClock, audioClock;
  bool going = true;
  try {
    PacketPtr packet = allocatePacket();
    while (going && !stopRequested() && av_read_frame(context, packet.get()) >= 0) {
      if (videoStream != nullptr && packet->stream_index == videoStream->index)
        going = decode(video_.get(), videoStream, packet.get(), videoClock);
      else if (audioStream != nullptr && packet->stream_index == audioStream->index)
        going = decode(audio_.get(), audioStream, packet.get(), audioClock);
      av_packet_unref(packet.get());
    }
    if (going && video_) going = decode(video_.get(), videoStream, nullptr, videoClock);
    if (going && audio_) decode(audio_.get(), audioStream, nullptr, audioClock);
  } catch (const EncoderError&) {
    // Out of memory while decoding: what was decoded so far is still converted.
  }
  videoEnd_ = videoClock.end;
  queue_.finish();
}

bool SourceDecoder::decode(AVCodecContext* decoder, AVStream* stream, const AVPacket* packet,
                           StreamClock& clock) {
  const int sent = avcodec_send_packet(decoder, packet);
  if (sent < 0 && sent != AVERROR_EOF) {
    ++skippedPackets_;
    return true;
  }
  const bool video = decoder->codec_type == AVMEDIA_TYPE_VIDEO;
  for (;;) {
    FramePtr frame = allocateFrame();
    if (avcodec_receive_frame(decoder, frame.get()) < 0) return true;
    DecodedFrame item;
    item.type = decoder->codec_type;
    const int64_t timestamp = frame->best_effort_timestamp;
    item.seconds = timestamp == AV_NOPTS_VALUE
                       ? clock.next
                       : timestamp * av_q2d(stream->time_base) - startSeconds_ + clock.offset;
    if (std::fabs(item.seconds - clock.next) > kTimestampJumpSeconds) {
      clock.offset += clock.next - item.seconds;
      item.seconds = clock.next;
    }
    if (video)
      item.duration = frame->pkt_duration > 0 ? frame->pkt_duration * av_q2d(stream->time_base)
                                              : nominalFrameSeconds_;
    else
      item.duration = frame->sample_rate > 0
                          ? static_cast<double>(frame->nb_samples) / frame->sample_rate
                          : 0;
    clock.next = item.seconds + item.duration;
    clock.end = std::max(clock.end, clock.next);
    item.frame = std::move(frame);
    if (!queue_.push(std::move(item))) return false;
  }
}

}  // namespace vidmora_encoder
