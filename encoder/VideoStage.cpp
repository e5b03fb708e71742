#include "encoder/VideoStage.h"

#include <algorithm>
#include <cmath>

#include "encoder/EncoderError.h"
#include "encoder/StageThread.h"
#include "encoder/StopSignal.h"
extern "C" {
#include <libavutil/intreadwrite.h>
#include <libavutil/opt.h>
}

namespace vidmora_encoder {

namespace {
constexpr AVPixelFormat kOutputFormat = AV_PIX_FMT_YUV420P;

bool hasThreads(const AVCodec* codec) {
  return (codec->capabilities & (AV_CODEC_CAP_SLICE_THREADS | AV_CODEC_CAP_FRAME_THREADS)) != 0;
}

// libavcodec's MPEG-video encoders (all four here) answer a picture they cannot allocate with
// a bare -1, which reads as EPERM, "Operation not permitted": encoding checks no permission,
// so from them it means that memory ran out.
void throwIfEncodingFailed(int code) {
  if (code == AVERROR(EPERM)) throw EncoderError("out of memory");
  throwIfFailed(code, "video encoding failed");
}
}  // namespace

VideoStage::VideoStage(const ConversionProfile& profile, const VideoOutput& settings,
                       OutputFile& into)
    : packet(allocatePacket()) {
  openEncoder(profile, settings);
  AVStream* stream = addStreamTo(into);
  taker = [&into, stream, timeBase = encoder->time_base](AVPacket* encoded) {
    into.write(encoded, stream, timeBase);
  };
}

VideoStage::VideoStage(const ConversionProfile& profile, const VideoOutput& settings,
                       VideoWindow stretch, PacketTaker take)
    : window(stretch), taker(std::move(take)), next(stretch.first), packet(allocatePacket()) {
  openEncoder(profile, settings);
}

void VideoStage::openEncoder(const ConversionProfile& profile, const VideoOutput& settings) {
  const AVCodec* codec = avcodec_find_encoder_by_name(profile.videoEncoder);
  if (codec == nullptr) throw EncoderError(std::string("no ") + profile.videoEncoder + " encoder");
  encoder.reset(avcodec_alloc_context3(codec));
  if (!encoder) throw EncoderError("out of memory");
  const AVRational rate = nearestAllowedFrameRate(profile, settings.frameRate);
  AVCodecContext* c = encoder.get();
  c->width = settings.size.width;
  c->height = settings.size.height;
  c->pix_fmt = kOutputFormat;
  c->framerate = rate;
  c->time_base = av_inv_q(rate);
  c->sample_aspect_ratio = {1, 1};
  c->gop_size = keyFrameInterval(profile, rate);
  c->max_b_frames = profile.maxBFrames;
  // Refining both vectors of a bidirectional block again costs a quarter to a third of the
  // MPEG encoding time and changes neither size nor PSNR by more than noise.
  c->bidir_refine = 0;
  if (settings.kbps) {
    c->bit_rate = static_cast<int64_t>(*settings.kbps) * 1000;
    // Key frames where the format puts them, not also at scene changes, which move the next
    // ones along: a stretch of the video encoded on its own then gets the same key frames as
    // the whole (as it does at a constant quantizer, which makes none at scene changes).
    if (profile.videoInStretches) av_opt_set_int(c->priv_data, "sc_threshold", 1000000000, 0);
  } else {
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->bit_rate = 0;  // no nominal rate: muxers then size their buffers for any rate
    c->global_quality = profile.defaultVideoQuantizer * FF_QP2LAMBDA;
    lastQuality = static_cast<float>(profile.defaultVideoQuantizer);
  }
  // Slices on all cores but the one decoding and audio encoding keep busy. The slices of a
  // frame wait for each other, so one that shares its core with another stage holds them all
  // up: on two cores, two slices take longer than one (and libavcodec's own choice, a thread
  // more than the cores, longer still).
  c->thread_count = hasThreads(codec) ? std::max(1, availableCores() - 1) : 1;
  if (settings.globalHeader) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", c->width, c->height);
  const std::string refusal = std::string("cannot encode ") + size + " video as " + profile.codec;
  if (c->width > profile.maxFrameSide || c->height > profile.maxFrameSide)
    throw EncoderError(refusal + ": it holds at most " + std::to_string(profile.maxFrameSide) +
                       " pixels on a side");
  throwIfFailed(avcodec_open2(c, codec, nullptr), refusal);
}

void VideoStage::add(DecodedFrame frame) {
  const int64_t start = std::llround(frame.seconds * av_q2d(encoder->framerate));
  if (held) {
    const int64_t until = std::min(start, window.end);
    while (next < until && !stopRequested()) encode(heldPicture());
  }
  held = std::move(frame.frame);
  converted.reset();
}

void VideoStage::finish(double endSeconds) {
  // A stop ends the video where it is: the last frame is not stretched, and the frames the
  // encoder still holds are left out (at large sizes they take too long).
  if (stopRequested()) return;
  if (held && next < window.end) {
    const int64_t end =
        std::min<int64_t>(window.end, std::llround(endSeconds * av_q2d(encoder->framerate)));
    do encode(heldPicture());
    while (next < end && !stopRequested());
  }
  if (!stopRequested()) encode(nullptr);
}

AVFrame* VideoStage::heldPicture() {
  if (converted) return converted.get();
  const AVCodecContext* c = encoder.get();
  converted = allocateFrame();
  if (held->width == c->width && held->height == c->height && held->format == kOutputFormat) {
    throwIfFailed(av_frame_ref(converted.get(), held.get()), "out of memory");
  } else {
    scaler.reset(sws_getCachedContext(scaler.release(), held->width, held->height,
                                       static_cast<AVPixelFormat>(held->format), c->width,
                                       c->height, kOutputFormat, SWS_BICUBIC, nullptr, nullptr,
                                       nullptr));
    // Both sizes are within the bounds, so a scaler that could not be made for a pixel
    // format it takes is memory it did not get.
    if (!scaler)
      throw EncoderError(sws_isSupportedInput(static_cast<AVPixelFormat>(held->format)) > 0
                             ? "out of memory"
                             : "cannot scale the video to the output size");
    converted->width = c->width;
    converted->height = c->height;
    converted->format = kOutputFormat;
    throwIfFailed(av_frame_get_buffer(converted.get(), 0), "out of memory");
    throwIfFailed(sws_scale(scaler.get(), held->data, held->linesize, 0, held->height,
                            converted->data, converted->linesize),
                  "cannot scale the video to the output size");
  }
  converted->sample_aspect_ratio = {1, 1};
  return converted.get();
}

void VideoStage::encode(AVFrame* picture) {
  if (picture != nullptr) {
    // The encoder counts from its own first frame: its rate control takes a frame's time for
    // how long it has been encoding.
    picture->pts = next - window.first;
    // A stretch that warmed up begins the kept frames with a key frame of its own.
    picture->pict_type = next == window.kept && window.kept > window.first ? AV_PICTURE_TYPE_I
                                                                           : AV_PICTURE_TYPE_NONE;
    ++next;
  }
  throwIfEncodingFailed(avcodec_send_frame(encoder.get(), picture));
  for (;;) {
    const int received = avcodec_receive_packet(encoder.get(), packet.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    throwIfEncodingFailed(received);
    size_t statsSize = 0;
    if (const uint8_t* stats =
            av_packet_get_side_data(packet.get(), AV_PKT_DATA_QUALITY_STATS, &statsSize);
        stats != nullptr && statsSize >= 4 && AV_RL32(stats) > 0)
      lastQuality = static_cast<float>(AV_RL32(stats)) / FF_QP2LAMBDA;
    packet->pts += window.first;
    packet->dts += window.first;
    if (packet->pts >= window.kept) taker(packet.get());
    av_packet_unref(packet.get());
  }
}

}  // namespace vidmora_encoder
