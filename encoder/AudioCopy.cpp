#include "encoder/AudioCopy.h"

namespace vidmora_encoder {

AudioCopy::AudioCopy(const SourceStream& source, OutputFile& into)
    : output(into),
      stream(into.addStream(source.parameters.get(), {1, source.parameters->sample_rate})),
      sampleRate(source.parameters->sample_rate),
      frameSamples(source.parameters->frame_size > 0 ? source.parameters->frame_size : 1152) {}

void AudioCopy::add(DecodedFrame frame) {
  AVPacket* packet = frame.packet.get();
  packet->pts = packet->dts = samples;
  packet->duration = frameSamples;
  packet->pos = -1;
  output.write(packet, stream, {1, sampleRate});
  samples += frameSamples;
}

}  // namespace vidmora_encoder
