#include "encoder/AudioCopy.h"

namespace vidmora_encoder {

AudioCopy::AudioCopy(const AVStream* source, OutputFile& into)
    : output(into),
      stream(into.addStream(source->codecpar, {1, source->codecpar->sample_rate})),
      sampleRate(source->codecpar->sample_rate),
      frameSamples(source->codecpar->frame_size > 0 ? source->codecpar->frame_size : 1152) {}

void AudioCopy::add(DecodedFrame frame) {
  AVPacket* packet = frame.packet.get();
  packet->pts = packet->dts = samples;
  packet->duration = frameSamples;
  packet->pos = -1;
  output.write(packet, stream, {1, sampleRate});
  samples += frameSamples;
}

}  // namespace vidmora_encoder
