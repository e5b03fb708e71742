#include "encoder/VideoStage.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "encoder/EncoderError.h"
#include "encoder/StopSignal.h"
extern "C" {
#include <libavutil/intreadwrite.h>
}

namespace vidmora_encoder {

namespace {
constexpr AVPixelFormat kOutputFormat = AV_PIX_FMT_YUV420P;

bool hasThreads(const AVCodec* codec) {
  return (codec->capabilities & (AV_CODEC_CAP_SLICE_THREADS | AV_CODEC_CAP_FRAME_THREADS)) != 0;
}
}  // namespace

VideoStage::VideoStage(const ConversionProfile& profile, const VideoOutput& settings,
                       OutputFile& output)
    : output_(output), packet_(allocatePacket()) {
  const AVCodec* codec = avcodec_find_encoder_by_name(profile.videoEncoder);
  if (codec == nullptr) throw EncoderError(std::string("no ") + profile.videoEncoder + " encoder");
  encoder_.reset(avcodec_alloc_context3(codec));
  if (!encoder_) throw EncoderError("out of memory");
  const AVRational rate = nearestAllowedFrameRate(profile, settings.frameRate);
  AVCodecContext* c = encoder_.get();
  c->width = settings.size.width;
  c->height = settings.size.height;
  c->pix_fmt = kOutputFormat;
  c->framerate = rate;
  c->time_base = av_inv_q(rate);
  c->sample_aspect_ratio = {1, 1};
  c->gop_size = std::max(1, static_cast<int>(std::lround(profile.keyframeSeconds * av_q2d(rate))));
  c->max_b_frames = profile.maxBFrames;
  // Refining both vectors of a bidirectional block again costs a quarter to a third of the
  // MPEG encoding time and changes neither size nor PSNR by more than noise.
  c->bidir_refine = 0;
  if (settings.kbps) {
    c->bit_rate = static_cast<int64_t>(*settings.kbps) * 1000;
  } else {
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->bit_rate = 0;  // no nominal rate: muxers then size their buffers for any rate
    c->global_quality = profile.defaultVideoQuantizer * FF_QP2LAMBDA;
    quality_ = static_cast<float>(profile.defaultVideoQuantizer);
  }
  // Slices on all cores but the one decoding and audio encoding keep busy. The slices of a
  // frame wait for each other, so one that shares its core with another stage holds them all
  // up: on two cores, two slices take longer than one (and libavcodec's own choice, a thread
  // more than the cores, longer still).
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  c->thread_count = hasThreads(codec) ? static_cast<int>(std::max(1u, cores - 1)) : 1;
  if (output.wantsGlobalHeader()) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", c->width, c->height);
  throwIfFailed(avcodec_open2(c, codec, nullptr),
                std::string("cannot encode ") + size + " video as " + profile.codec);
  stream_ = output.addStream(c);
}

void VideoStage::add(DecodedFrame frame) {
  const int64_t start = std::llround(frame.seconds * av_q2d(encoder_->framerate));
  if (held_) {
    while (next_ < start && !stopRequested()) encode(heldPicture());
  }
  held_ = std::move(frame.frame);
  converted_.reset();
}

void VideoStage::finish(double endSeconds) {
  // A stop ends the video where it is: the last frame is not stretched, and the frames the
  // encoder still holds are left out (at large sizes they take too long).
  if (stopRequested()) return;
  if (held_) {
    const int64_t end = std::llround(endSeconds * av_q2d(encoder_->framerate));
    do encode(heldPicture());
    while (next_ < end && !stopRequested());
  }
  if (!stopRequested()) encode(nullptr);
}

AVFrame* VideoStage::heldPicture() {
  if (converted_) return converted_.get();
  const AVCodecContext* c = encoder_.get();
  converted_ = allocateFrame();
  if (held_->width == c->width && held_->height == c->height && held_->format == kOutputFormat) {
    throwIfFailed(av_frame_ref(converted_.get(), held_.get()), "out of memory");
  } else {
    scaler_.reset(sws_getCachedContext(scaler_.release(), held_->width, held_->height,
                                       static_cast<AVPixelFormat>(held_->format), c->width,
                                       c->height, kOutputFormat, SWS_BICUBIC, nullptr, nullptr,
                                       nullptr));
    if (!scaler_) throw EncoderError("cannot scale the video to the output size");
    converted_->width = c->width;
    converted_->height = c->height;
    converted_->format = kOutputFormat;
    throwIfFailed(av_frame_get_buffer(converted_.get(), 0), "out of memory");
    sws_scale(scaler_.get(), held_->data, held_->linesize, 0, held_->height, converted_->data,
              converted_->linesize);
  }
  // The source's frame types and key flags mean nothing for the new encoding.
  converted_->pict_type = AV_PICTURE_TYPE_NONE;
  converted_->sample_aspect_ratio = {1, 1};
  return converted_.get();
}

void VideoStage::encode(AVFrame* picture) {
  if (picture != nullptr) picture->pts = next_++;
  throwIfFailed(avcodec_send_frame(encoder_.get(), picture), "video encoding failed");
  for (;;) {
    const int received = avcodec_receive_packet(encoder_.get(), packet_.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    throwIfFailed(received, "video encoding failed");
    size_t statsSize = 0;
    if (const uint8_t* stats =
            av_packet_get_side_data(packet_.get(), AV_PKT_DATA_QUALITY_STATS, &statsSize);
        stats != nullptr && statsSize >= 4 && AV_RL32(stats) > 0)
      quality_ = static_cast<float>(AV_RL32(stats)) / FF_QP2LAMBDA;
    output_.write(packet_.get(), stream_, encoder_->time_base);
    av_packet_unref(packet_.get());
  }
}

}  // namespace vidmora_encoder
