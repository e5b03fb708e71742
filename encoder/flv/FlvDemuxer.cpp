#include "encoder/flv/FlvDemuxer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "encoder/EncoderError.h"
#include "encoder/StopSignal.h"

namespace vidmora_encoder::flv {

namespace {

// The legacy sound formats whose decoders take the sample rate and channels from the flags:
// PCM of both kinds, ADPCM, Nellymoser at the flags' rate, G.711.
bool formatFromFlags(const FlvContent::Key& key) {
  if (key.enhanced || key.tagType != kAudioTag) return false;
  switch (key.codec) {
    case 0: case 1: case 3: case 6: case 7: case 8: return true;
    default: return false;
  }
}

bool sameFlags(const SoundFlags& a, const SoundFlags& b) {
  return a.sampleRate == b.sampleRate && a.channels == b.channels && a.sampleBits == b.sampleBits;
}

}  // namespace

FlvDemuxer::FlvDemuxer(std::unique_ptr<InputWindow> source, const FlvContent& found)
    : window(std::move(source)),
      content(found),
      tags(*window, found.firstTag, found.fieldsWrong),
      states(found.streams.size()) {
  tags.forgetPassedBytes();
  for (std::size_t i = 0; i < states.size(); ++i) {
    const SourceStream& stream = content.streams[i];
    const AVCodecParameters* parameters = stream.parameters.get();
    // A frame lasts as long as the video's rate or the codec's frame size says, where known.
    if (stream.frameRate.num > 0 && stream.frameRate.den > 0)
      durations.push_back(av_rescale_q(1, av_inv_q(stream.frameRate), stream.timeBase));
    else if (parameters->frame_size > 0 && parameters->sample_rate > 0)
      durations.push_back(av_rescale(parameters->frame_size, stream.timeBase.den,
                                     int64_t{parameters->sample_rate} * stream.timeBase.num));
    else
      durations.push_back(0);
    states[i].configuration.assign(parameters->extradata,
                                   parameters->extradata + parameters->extradata_size);
    states[i].flags = content.firstFlags[i];
  }
}

bool FlvDemuxer::read(SourcePacket& into) {
  try {
    for (;;) {
      const auto tag = tags.next();
      if (!tag) return false;
      if (tag->header.filtered || tag->header.type == kScriptTag) continue;
      const uint8_t* data = tag->data;
      const std::size_t size = tag->header.dataSize;
      int index = -1;
      Payload payload;
      PacketKind kind = PacketKind::Other;
      int32_t compositionMs = 0;
      bool key = true;
      if (tag->header.type == kVideoTag) {
        const auto video = readVideoData(data, size, content.videoTrack);
        if (!video || (content.videoTrack && video->trackId != *content.videoTrack)) continue;
        index = content.streamFor(kVideoTag, video->enhanced, video->codec);
        if (index < 0) continue;
        if (video->adjustment && video->kind == PacketKind::CodedFrames)
          configure(index, &*video->adjustment, 1);
        kind = video->kind;
        payload = video->payload;
        compositionMs = video->compositionMs;
        key = video->keyFrame();
      } else {
        const auto audio = readAudioData(data, size, content.audioTrack);
        if (!audio || (content.audioTrack && audio->trackId != *content.audioTrack)) continue;
        index = content.streamFor(kAudioTag, audio->enhanced, audio->codec);
        if (index < 0) continue;
        if (formatFromFlags(content.keys[index]) && audio->kind == PacketKind::CodedFrames)
          takeFlags(index, soundFlags(*audio));
        kind = audio->kind;
        payload = audio->payload;
      }
      if (kind == PacketKind::SequenceStart) {
        // An empty one (some writers send one first) configures nothing.
        if (payload.size > 0) configure(index, data + payload.offset, payload.size);
        continue;
      }
      if (kind != PacketKind::CodedFrames || payload.size == 0) continue;
      AVPacket* packet = into.packet.get();
      av_packet_unref(packet);
      throwIfFailed(av_new_packet(packet, static_cast<int>(payload.size)), "out of memory");
      std::memcpy(packet->data, data + payload.offset, payload.size);
      packet->dts = tag->header.timestampMs;
      packet->pts = packet->dts + compositionMs;
      packet->pos = tag->offset;
      packet->duration = durations[index];
      packet->stream_index = index;
      if (key) packet->flags |= AV_PKT_FLAG_KEY;
      into.stream = index;
      into.newParameters = std::exchange(states[index].pending, nullptr);
      return true;
    }
  } catch (const StoppedEarly&) {
    return false;
  }
}

void FlvDemuxer::configure(int index, const uint8_t* bytes, std::size_t size) {
  StreamState& state = states[index];
  if (std::equal(bytes, bytes + size, state.configuration.begin(), state.configuration.end())) return;
  AVCodecParameters* parameters = newParameters(index);
  state.configuration.assign(bytes, bytes + size);
  setConfiguration(parameters, bytes, size);
}

void FlvDemuxer::takeFlags(int index, const SoundFlags& flags) {
  StreamState& state = states[index];
  if (sameFlags(state.flags, flags)) return;
  state.flags = flags;
  AVCodecParameters* parameters = newParameters(index);
  parameters->sample_rate = flags.sampleRate;
  av_channel_layout_uninit(&parameters->ch_layout);
  av_channel_layout_default(&parameters->ch_layout, flags.channels);
  parameters->bits_per_coded_sample = flags.sampleBits;
}

AVCodecParameters* FlvDemuxer::newParameters(int index) {
  StreamState& state = states[index];
  // A second change before the next packet changes what the first one made.
  if (state.pending != nullptr) return state.pending;
  CodecParametersPtr parameters = allocateCodecParameters();
  const AVCodecParameters* current = content.streams[index].parameters.get();
  throwIfFailed(avcodec_parameters_copy(parameters.get(), current), "out of memory");
  // The configuration in force so far, which a change of the flags keeps.
  setConfiguration(parameters.get(), state.configuration.data(), state.configuration.size());
  changes.push_back(std::move(parameters));
  state.pending = changes.back().get();
  return changes.back().get();
}

}  // namespace vidmora_encoder::flv
