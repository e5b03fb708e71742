#include "encoder/AudioStage.h"

#include <cmath>
#include <vector>

#include "encoder/EncoderError.h"

namespace vidmora_encoder {

namespace {
// A gap this long (seconds) between the audio timeline and a frame's timestamp is filled.
constexpr double kGapTolerance = 0.1;

int supportedRate(const AVCodec* codec, int wanted) {
  if (codec->supported_samplerates == nullptr) return wanted;
  for (const int* rate = codec->supported_samplerates; *rate != 0; ++rate)
    if (*rate == wanted) return wanted;
  return codec->supported_samplerates[0];
}
}  // namespace

AudioStage::AudioStage(const ConversionProfile& profile, const AVCodecContext* decoder,
                       std::optional<int> kbps, OutputFile& into)
    : output(into), packet(allocatePacket()) {
  const AVCodec* codec = avcodec_find_encoder_by_name(profile.audioEncoder);
  if (codec == nullptr) throw EncoderError(std::string("no ") + profile.audioEncoder + " encoder");
  encoder.reset(avcodec_alloc_context3(codec));
  if (!encoder) throw EncoderError("out of memory");
  AVCodecContext* c = encoder.get();
  c->sample_fmt = codec->sample_fmts[0];
  c->sample_rate = supportedRate(codec, outputSampleRate(decoder->sample_rate));
  av_channel_layout_default(&c->ch_layout, decoder->ch_layout.nb_channels == 1 ? 1 : 2);
  const int chosenKbps = nearestAudioKbps(profile, kbps.value_or(profile.defaultAudioKbps));
  c->bit_rate = static_cast<int64_t>(chosenKbps) * 1000;
  c->time_base = {1, c->sample_rate};
  c->compression_level = profile.audioCompressionLevel;
  if (output.wantsGlobalHeader()) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  throwIfFailed(avcodec_open2(c, codec, nullptr),
                std::string("cannot encode the audio as ") + codec->name);
  frameSize = c->frame_size > 0 ? c->frame_size : 1152;
  // Packets then start at 0 instead of before it: containers without edit lists would
  // otherwise shift every stream, the video with it, by the encoder's priming delay.
  encoded = c->initial_padding;
  fifo.reset(av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, frameSize));
  if (!fifo) throw EncoderError("out of memory");
  stream = output.addStream(c);
}

AudioStage::~AudioStage() { av_channel_layout_uninit(&inputLayout); }

void AudioStage::add(const DecodedFrame& frame) {
  const AVFrame* decoded = frame.frame.get();
  if (decoded->nb_samples <= 0 || decoded->sample_rate <= 0) return;
  matchResampler(decoded);
  const double gap = frame.seconds - seconds();
  if (gap > kGapTolerance) queueSilence(std::llround(gap * encoder->sample_rate));
  resample(decoded);
  encodeQueued(false);
}

void AudioStage::finish() {
  if (resampler) resample(nullptr);
  encodeQueued(true);
  encode(nullptr);
}

void AudioStage::matchResampler(const AVFrame* frame) {
  if (resampler && frame->format == inputFormat && frame->sample_rate == inputRate &&
      av_channel_layout_compare(&frame->ch_layout, &inputLayout) == 0)
    return;
  if (resampler) resample(nullptr);  // what the old resampler still holds
  SwrContext* created = nullptr;
  AVChannelLayout layout{};
  if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels <= 0)
    av_channel_layout_default(&layout, std::max(1, frame->ch_layout.nb_channels));
  else
    throwIfFailed(av_channel_layout_copy(&layout, &frame->ch_layout), "out of memory");
  AVCodecContext* c = encoder.get();
  int result = swr_alloc_set_opts2(&created, &c->ch_layout, c->sample_fmt, c->sample_rate,
                                   &layout, static_cast<AVSampleFormat>(frame->format),
                                   frame->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&layout);
  resampler.reset(created);
  if (result >= 0) result = swr_init(created);
  throwIfFailed(result, "cannot resample the audio");
  av_channel_layout_uninit(&inputLayout);
  throwIfFailed(av_channel_layout_copy(&inputLayout, &frame->ch_layout), "out of memory");
  inputRate = frame->sample_rate;
  inputFormat = frame->format;
}

void AudioStage::resample(const AVFrame* frame) {
  const int inputSamples = frame != nullptr ? frame->nb_samples : 0;
  const int room = swr_get_out_samples(resampler.get(), inputSamples);
  if (room <= 0) return;
  uint8_t** buffer = nullptr;
  const AVCodecContext* c = encoder.get();
  throwIfFailed(av_samples_alloc_array_and_samples(&buffer, nullptr, c->ch_layout.nb_channels,
                                                   room, c->sample_fmt, 0),
                "out of memory");
  const int converted =
      swr_convert(resampler.get(), buffer, room,
                  frame != nullptr ? const_cast<const uint8_t**>(frame->extended_data) : nullptr,
                  inputSamples);
  if (converted > 0) {
    av_audio_fifo_write(fifo.get(), reinterpret_cast<void**>(buffer), converted);
    queued += converted;
  }
  av_freep(&buffer[0]);
  av_freep(&buffer);
  throwIfFailed(converted, "cannot resample the audio");
}

void AudioStage::queueSilence(int64_t samples) {
  const AVCodecContext* c = encoder.get();
  while (samples > 0) {
    const int chunk = static_cast<int>(std::min<int64_t>(samples, 1 << 16));
    uint8_t** buffer = nullptr;
    throwIfFailed(av_samples_alloc_array_and_samples(&buffer, nullptr, c->ch_layout.nb_channels,
                                                     chunk, c->sample_fmt, 0),
                  "out of memory");
    av_samples_set_silence(buffer, 0, chunk, c->ch_layout.nb_channels, c->sample_fmt);
    av_audio_fifo_write(fifo.get(), reinterpret_cast<void**>(buffer), chunk);
    av_freep(&buffer[0]);
    av_freep(&buffer);
    queued += chunk;
    samples -= chunk;
  }
}

void AudioStage::encodeQueued(bool last) {
  const AVCodecContext* c = encoder.get();
  const bool smallLast = (c->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
  while (av_audio_fifo_size(fifo.get()) >= frameSize ||
         (last && av_audio_fifo_size(fifo.get()) > 0)) {
    const int available = std::min(av_audio_fifo_size(fifo.get()), frameSize);
    FramePtr frame = allocateFrame();
    frame->nb_samples = smallLast ? available : frameSize;
    frame->format = c->sample_fmt;
    frame->sample_rate = c->sample_rate;
    throwIfFailed(av_channel_layout_copy(&frame->ch_layout, &c->ch_layout), "out of memory");
    throwIfFailed(av_frame_get_buffer(frame.get(), 0), "out of memory");
    if (available < frame->nb_samples)
      av_samples_set_silence(frame->extended_data, available, frame->nb_samples - available,
                             c->ch_layout.nb_channels, c->sample_fmt);
    av_audio_fifo_read(fifo.get(), reinterpret_cast<void**>(frame->extended_data), available);
    frame->pts = encoded;
    encoded += frame->nb_samples;
    encode(frame.get());
  }
}

void AudioStage::encode(AVFrame* frame) {
  throwIfFailed(avcodec_send_frame(encoder.get(), frame), "audio encoding failed");
  for (;;) {
    const int received = avcodec_receive_packet(encoder.get(), packet.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    throwIfFailed(received, "audio encoding failed");
    output.write(packet.get(), stream, encoder->time_base);
    av_packet_unref(packet.get());
  }
}

}  // namespace vidmora_encoder
