#include "encoder/flv/FlvContent.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "encoder/EncoderError.h"
#include "encoder/flv/TagReader.h"

namespace vidmora_encoder::flv {

namespace {

// How much of the file is read at most to find its streams: a file whose header announces a
// kind not seen yet is read this far for it.
constexpr int kMostTags = 8192;
constexpr int64_t kMostBytes = 16 << 20;
constexpr int64_t kLongestMs = 30000;
// Media read once every stream seen is known, for a kind that starts a little late and for the
// frame rate.
constexpr int64_t kEnoughMs = 2000;
// The video frames whose times give its rate, and the frames tried for a first picture.
constexpr std::size_t kFrameTimes = 64;
constexpr int kDecodeTries = 48;
// The file header's type flags.
constexpr uint8_t kHasAudio = 0b0000'0100;
constexpr uint8_t kHasVideo = 0b0000'0001;

// What discovery keeps of a stream until it is known.
struct Finding {
  CodecContextPtr decoder;
  bool settled = false;  // a first frame decoded, or none will
  int tries = 0;
  std::vector<int64_t> times;  // decoding times of its first frames
};

// The stream's picture size or sound format from its first frame that decodes, from its first
// key frame on: the decoder alone knows them for most codecs. A stream whose decoder refuses its configuration, or
// whose frames never decode, is left as it is: the conversion says what is wrong with it.
void tryFirstFrame(SourceStream& stream, Finding& finding, const uint8_t* data, std::size_t size,
                   int64_t decodeMs, int64_t presentMs, bool key) {
  // A recording joined mid-stream starts with frames that need one before them.
  if (finding.settled || (finding.tries == 0 && !key)) return;
  if (!stream.decodable || ++finding.tries > kDecodeTries) {
    finding.settled = true;
    finding.decoder.reset();
    return;
  }
  if (!finding.decoder) {
    CodecContextPtr decoder(avcodec_alloc_context3(avcodec_find_decoder(stream.parameters->codec_id)));
    if (!decoder) throw EncoderError("out of memory");
    throwIfFailed(avcodec_parameters_to_context(decoder.get(), stream.parameters.get()),
                  "cannot set up the decoder");
    decoder->thread_count = 1;  // a frame as soon as one packet allows, not after a thread each
    decoder->pkt_timebase = stream.timeBase;
    if (avcodec_open2(decoder.get(), nullptr, nullptr) < 0) {
      finding.settled = true;
      return;
    }
    finding.decoder = std::move(decoder);
  }
  PacketPtr packet = allocatePacket();
  throwIfFailed(av_new_packet(packet.get(), static_cast<int>(size)), "out of memory");
  std::memcpy(packet->data, data, size);
  packet->dts = decodeMs;
  packet->pts = presentMs;
  if (key) packet->flags |= AV_PKT_FLAG_KEY;
  throwIfOutOfMemory(avcodec_send_packet(finding.decoder.get(), packet.get()));
  FramePtr frame = allocateFrame();
  if (avcodec_receive_frame(finding.decoder.get(), frame.get()) < 0) return;
  throwIfFailed(avcodec_parameters_from_context(stream.parameters.get(), finding.decoder.get()),
                "out of memory");
  finding.settled = true;
  finding.decoder.reset();
}

// The video's frame rate from its first frames' decoding times (milliseconds): the typical
// step between them, gaps left out; a rate within half a percent of a common one is taken as
// that one (times in whole milliseconds cannot be exact).
AVRational frameRateFromTimes(const std::vector<int64_t>& times) {
  std::vector<int64_t> steps;
  for (std::size_t i = 1; i < times.size(); ++i)
    if (times[i] > times[i - 1]) steps.push_back(times[i] - times[i - 1]);
  if (steps.empty()) return {0, 1};
  std::vector<int64_t> sorted = steps;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  const int64_t median = sorted[sorted.size() / 2];
  double sum = 0;
  int count = 0;
  for (const int64_t step : steps)
    if (step * 2 >= median && step * 2 <= median * 3) {
      sum += static_cast<double>(step);
      ++count;
    }
  const double fps = 1000.0 * count / sum;
  static const AVRational kCommon[] = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1},
                                       {50, 1}, {60000, 1001}, {60, 1}, {15, 1}, {12, 1},
                                       {10, 1}, {20, 1}};
  for (const AVRational rate : kCommon)
    if (std::fabs(fps - av_q2d(rate)) < av_q2d(rate) * 0.005) return rate;
  return av_d2q(fps, 100000);
}

}  // namespace

int FlvContent::streamFor(uint8_t tagType, bool enhanced, uint32_t codec) const {
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (keys[i].tagType == tagType && keys[i].enhanced == enhanced && keys[i].codec == codec)
      return static_cast<int>(i);
  return -1;
}

void setConfiguration(AVCodecParameters* parameters, const uint8_t* bytes, std::size_t size) {
  av_freep(&parameters->extradata);
  parameters->extradata_size = 0;
  if (size == 0) return;
  parameters->extradata = static_cast<uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
  if (parameters->extradata == nullptr) throw EncoderError("out of memory");
  std::memcpy(parameters->extradata, bytes, size);
  parameters->extradata_size = static_cast<int>(size);
}

FlvContent discoverFlvContent(InputWindow& window, int64_t firstTag, bool fieldsWrong) {
  FlvContent content;
  content.firstTag = firstTag;
  content.fieldsWrong = fieldsWrong;
  const uint8_t* header = window.at(0, kFileHeaderBytes);
  const uint8_t announced = header != nullptr && window.available(0) >= kFileHeaderBytes ? header[4] : 0;
  std::vector<Finding> findings;
  auto addStream = [&](AVMediaType type, const FlvContent::Key& key, AVCodecID codec,
                       std::string text, int tracks) {
    SourceStream stream;
    stream.index = static_cast<int>(content.streams.size());
    stream.type = type;
    stream.parameters->codec_type = type;
    stream.parameters->codec_id = codec;
    stream.codecText = std::move(text);
    stream.decodable = codec != AV_CODEC_ID_NONE && avcodec_find_decoder(codec) != nullptr;
    stream.tracks = tracks;
    content.streams.push_back(std::move(stream));
    content.keys.push_back(key);
    content.firstFlags.emplace_back();
    findings.emplace_back();
    return static_cast<int>(content.streams.size()) - 1;
  };

  TagReader tags(window, firstTag, fieldsWrong);
  bool videoSeen = false, audioSeen = false;
  std::optional<int64_t> firstMs;
  int64_t latestMs = 0;
  for (int count = 0; count < kMostTags; ++count) {
    const auto tag = tags.next();
    if (!tag || tag->offset - firstTag > kMostBytes) break;
    content.anyTag = true;
    if (tag->header.filtered) continue;
    const uint8_t* data = tag->data;
    const std::size_t size = tag->header.dataSize;
    const int64_t decodeMs = tag->header.timestampMs;
    if (tag->header.type == kScriptTag) {
      if (!content.metadata) content.metadata = readMetadata(data, size);
      continue;
    }
    int index = -1;
    Payload payload;
    int64_t presentMs = decodeMs;
    bool key = true;
    bool configuration = false;
    if (tag->header.type == kVideoTag) {
      const auto video = readVideoData(data, size, content.videoTrack);
      if (!video || video->kind == PacketKind::Other || video->kind == PacketKind::SequenceEnd) continue;
      if (video->tracks > 1 && !content.videoTrack) content.videoTrack = video->trackId;
      if (content.videoTrack && video->trackId != *content.videoTrack) continue;
      index = content.streamFor(kVideoTag, video->enhanced, video->codec);
      if (index < 0)
        index = addStream(AVMEDIA_TYPE_VIDEO, {kVideoTag, video->enhanced, video->codec},
                          videoCodecId(*video), describeVideoCodec(*video), video->tracks);
      videoSeen = true;
      AVCodecParameters* parameters = content.streams[index].parameters.get();
      if (video->adjustment && parameters->extradata_size == 0)
        setConfiguration(parameters, &*video->adjustment, 1);
      configuration = video->kind == PacketKind::SequenceStart;
      presentMs += video->compositionMs;
      key = video->keyFrame();
      payload = video->payload;
    } else {
      const auto audio = readAudioData(data, size, content.audioTrack);
      if (!audio || audio->kind == PacketKind::Other || audio->kind == PacketKind::SequenceEnd) continue;
      if (audio->tracks > 1 && !content.audioTrack) content.audioTrack = audio->trackId;
      if (content.audioTrack && audio->trackId != *content.audioTrack) continue;
      index = content.streamFor(kAudioTag, audio->enhanced, audio->codec);
      if (index < 0) {
        index = addStream(AVMEDIA_TYPE_AUDIO, {kAudioTag, audio->enhanced, audio->codec},
                          audioCodecId(*audio), describeAudioCodec(*audio), audio->tracks);
        const SoundFlags flags = soundFlags(*audio);
        content.firstFlags[index] = flags;
        AVCodecParameters* parameters = content.streams[index].parameters.get();
        parameters->sample_rate = flags.sampleRate;
        if (flags.channels > 0) av_channel_layout_default(&parameters->ch_layout, flags.channels);
        parameters->bits_per_coded_sample = flags.sampleBits;
      }
      audioSeen = true;
      configuration = audio->kind == PacketKind::SequenceStart;
      payload = audio->payload;
    }
    SourceStream& stream = content.streams[index];
    if (configuration) {
      if (stream.parameters->extradata_size == 0)
        setConfiguration(stream.parameters.get(), data + payload.offset, payload.size);
      continue;
    }
    if (payload.size == 0) continue;
    Finding& finding = findings[index];
    if (stream.type == AVMEDIA_TYPE_VIDEO && finding.times.size() < kFrameTimes)
      finding.times.push_back(decodeMs);
    content.startMs = std::min(content.startMs.value_or(presentMs), presentMs);
    tryFirstFrame(stream, finding, data + payload.offset, payload.size, decodeMs, presentMs, key);

    if (!firstMs) firstMs = decodeMs;
    latestMs = std::max(latestMs, decodeMs);
    const int64_t read = latestMs - *firstMs;
    const bool settled = std::all_of(findings.begin(), findings.end(),
                                     [](const Finding& f) { return f.settled; });
    const bool kindsSeen = (videoSeen || (announced & kHasVideo) == 0) &&
                           (audioSeen || (announced & kHasAudio) == 0);
    if (read >= kLongestMs || (settled && kindsSeen && read >= kEnoughMs)) break;
  }
  for (std::size_t i = 0; i < content.streams.size(); ++i) {
    SourceStream& stream = content.streams[i];
    const Metadata metadata = content.metadata.value_or(Metadata{});
    if (stream.type == AVMEDIA_TYPE_VIDEO) {
      const double stated = metadata.frameRate.value_or(0);
      stream.frameRate = stated > 0 && stated <= 1000 ? av_d2q(stated, 1000)
                                                      : frameRateFromTimes(findings[i].times);
    }
    const auto kbps = stream.type == AVMEDIA_TYPE_VIDEO ? metadata.videoKbps : metadata.audioKbps;
    // As writers of the format count it: kilobits of 1024 bits.
    if (kbps && *kbps > 0 && *kbps < 1e6) stream.parameters->bit_rate = std::llround(*kbps * 1024);
  }
  return content;
}

}  // namespace vidmora_encoder::flv
