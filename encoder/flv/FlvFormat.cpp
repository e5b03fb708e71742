#include "encoder/flv/FlvFormat.h"

#include <algorithm>

namespace vidmora_encoder::flv {

namespace {

// VideoFrameType and VideoPacketType / AudioPacketType values of the format.
constexpr int kCommandFrame = 5;
constexpr int kVideoMetadata = 4;
constexpr int kVideoMultitrack = 6;
constexpr int kAudioMultitrack = 5;
constexpr int kCodedFramesX = 3;
constexpr uint32_t kLegacyAvc = 7;
constexpr uint32_t kLegacyHevc = 12;  // not in the format's tables: what live-stream CDNs use
constexpr uint32_t kLegacyVp6 = 4;
constexpr uint32_t kLegacyVp6Alpha = 5;
constexpr uint32_t kLegacyAac = 10;
constexpr uint32_t kExHeaderSound = 9;
// AvMultitrackType
constexpr int kOneTrack = 0;
constexpr int kManyTracksManyCodecs = 2;

// The common packet types of the ex-headers: 0 SequenceStart, 1 CodedFrames, 2 SequenceEnd;
// for video also 3 CodedFramesX.
PacketKind exPacketKind(int type, bool video) {
  switch (type) {
    case 0: return PacketKind::SequenceStart;
    case 1: return PacketKind::CodedFrames;
    case 2: return PacketKind::SequenceEnd;
    case kCodedFramesX: return video ? PacketKind::CodedFrames : PacketKind::Other;
    default: return PacketKind::Other;
  }
}

// One track of a message: its codec, id and where its body lies.
struct Track {
  uint32_t fourCc = 0;
  int id = 0;
  uint32_t begin = 0;
  uint32_t end = 0;
};

// The track of an ex-header message whose body starts at `at` (after the packet type and,
// where the tracks share it, the FourCC): the one numbered `wanted`, else the first. Counts
// the tracks into `count`. Nothing when the message is cut short.
std::optional<Track> pickTrack(const uint8_t* data, std::size_t size, std::size_t available,
                               std::size_t at, int multitrackType, uint32_t sharedFourCc,
                               std::optional<int> wanted, int& count) {
  std::optional<Track> chosen;
  count = 0;
  while (at < size) {
    // A track's header past the message is damage; past the bytes at hand, the tracks before
    // it are all that can be told.
    const std::size_t header = (multitrackType == kManyTracksManyCodecs ? 4 : 0) + 1 +
                               (multitrackType == kOneTrack ? 0 : 3);
    if (at + header > size) return std::nullopt;
    if (at + header > available) return chosen;
    Track track;
    track.fourCc = sharedFourCc;
    if (multitrackType == kManyTracksManyCodecs) {
      track.fourCc = bigEndian(data + at, 4);
      at += 4;
    }
    track.id = data[at++];
    if (multitrackType == kOneTrack) {
      track.begin = static_cast<uint32_t>(at);
      track.end = static_cast<uint32_t>(size);
    } else {
      const uint32_t trackSize = bigEndian(data + at, 3);
      at += 3;
      if (at + trackSize > size) return std::nullopt;
      track.begin = static_cast<uint32_t>(at);
      track.end = static_cast<uint32_t>(at + trackSize);
    }
    ++count;
    if (!chosen || (wanted && track.id == *wanted && chosen->id != *wanted)) chosen = track;
    at = track.end;
    if (multitrackType == kOneTrack) break;
  }
  return chosen;
}

// Where the ex-header's body starts and which track it is, for a message whose first byte
// holds `packetType`: the FourCC after it, or a multitrack header and its tracks.
struct ExBody {
  uint32_t fourCc = 0;
  int packetType = 0;
  Track track;
  int tracks = 1;
};
std::optional<ExBody> readExBody(const uint8_t* data, std::size_t size, std::size_t available,
                                 int packetType, int multitrackPacket, std::optional<int> wanted) {
  ExBody body;
  body.packetType = packetType;
  if (packetType != multitrackPacket) {
    if (available < 5) return std::nullopt;
    body.fourCc = bigEndian(data + 1, 4);
    body.track = {body.fourCc, 0, 5, static_cast<uint32_t>(size)};
    return body;
  }
  if (available < 2) return std::nullopt;
  const int multitrackType = data[1] >> 4;  // 0b1111'0000
  body.packetType = data[1] & 0x0f;         // 0b0000'1111
  std::size_t at = 2;
  uint32_t shared = 0;
  if (multitrackType != kManyTracksManyCodecs) {
    if (available < 6) return std::nullopt;
    shared = bigEndian(data + 2, 4);
    at = 6;
  }
  const auto track =
      pickTrack(data, size, available, at, multitrackType, shared, wanted, body.tracks);
  if (!track) return std::nullopt;
  body.track = *track;
  body.fourCc = track->fourCc;
  return body;
}

}  // namespace

std::optional<FileHeader> readFileHeader(const uint8_t* bytes, std::size_t size) {
  if (size < kFileHeaderBytes || bytes[0] != 'F' || bytes[1] != 'L' || bytes[2] != 'V')
    return std::nullopt;
  return FileHeader{bigEndian(bytes + 5, 4)};
}

std::optional<VideoData> readVideoData(const uint8_t* data, std::size_t size,
                                       std::optional<int> wantedTrack, std::size_t available) {
  available = std::min(available, size);
  if (available < 1) return std::nullopt;
  VideoData video;
  video.enhanced = (data[0] & 0x80) != 0;     // 0b1000'0000
  video.frameType = (data[0] >> 4) & 0x07;    // 0b0111'0000
  if (!video.enhanced) {
    video.codec = data[0] & 0x0f;             // 0b0000'1111
    video.kind = video.frameType == kCommandFrame ? PacketKind::Other : PacketKind::CodedFrames;
    uint32_t at = 1;
    if (video.codec == kLegacyAvc || video.codec == kLegacyHevc) {
      // AVCPacketType: 0 sequence header, 1 NAL units, 2 end of sequence; then SI24.
      if (available < 5) return std::nullopt;
      if (video.kind != PacketKind::Other)
        video.kind = data[1] == 0   ? PacketKind::SequenceStart
                     : data[1] == 1 ? PacketKind::CodedFrames
                     : data[1] == 2 ? PacketKind::SequenceEnd
                                    : PacketKind::Other;
      video.compositionMs = static_cast<int32_t>(bigEndian(data + 2, 3) << 8) >> 8;
      at = 5;
    } else if (video.codec == kLegacyVp6 || video.codec == kLegacyVp6Alpha) {
      if (available < 2) return std::nullopt;
      video.adjustment = data[1];
      at = 2;
    }
    video.payload = {at, static_cast<uint32_t>(size - at)};
    return video;
  }
  const int packetType = data[0] & 0x0f;      // 0b0000'1111
  if (packetType != kVideoMetadata && video.frameType == kCommandFrame) {
    video.kind = PacketKind::Other;  // a command byte follows; no picture
    return video;
  }
  const auto body = readExBody(data, size, available, packetType, kVideoMultitrack, wantedTrack);
  if (!body) return std::nullopt;
  video.codec = body->fourCc;
  video.kind = exPacketKind(body->packetType, true);
  video.trackId = body->track.id;
  video.tracks = body->tracks;
  uint32_t at = body->track.begin;
  // CodedFrames of AVC and HEVC carry a composition time; CodedFramesX implies 0.
  if (body->packetType == 1 && (video.codec == fourCc("avc1") || video.codec == fourCc("hvc1"))) {
    if (body->track.end - at < 3 || at + 3 > available) return std::nullopt;
    video.compositionMs = static_cast<int32_t>(bigEndian(data + at, 3) << 8) >> 8;
    at += 3;
  }
  video.payload = {at, body->track.end - at};
  return video;
}

std::optional<AudioData> readAudioData(const uint8_t* data, std::size_t size,
                                       std::optional<int> wantedTrack, std::size_t available) {
  available = std::min(available, size);
  if (available < 1) return std::nullopt;
  AudioData audio;
  const uint32_t format = data[0] >> 4;       // 0b1111'0000
  if (format != kExHeaderSound) {
    audio.codec = format;
    audio.rateIndex = (data[0] >> 2) & 0x03;  // 0b0000'1100
    audio.sampleBits = (data[0] & 0x02) != 0 ? 16 : 8;  // 0b0000'0010
    audio.channels = (data[0] & 0x01) != 0 ? 2 : 1;     // 0b0000'0001
    audio.kind = PacketKind::CodedFrames;
    uint32_t at = 1;
    if (format == kLegacyAac) {
      // AACPacketType: 0 AudioSpecificConfig, 1 raw frames.
      if (available < 2) return std::nullopt;
      audio.kind = data[1] == 0   ? PacketKind::SequenceStart
                   : data[1] == 1 ? PacketKind::CodedFrames
                                  : PacketKind::Other;
      at = 2;
    }
    audio.payload = {at, static_cast<uint32_t>(size - at)};
    return audio;
  }
  audio.enhanced = true;
  const auto body =
      readExBody(data, size, available, data[0] & 0x0f, kAudioMultitrack, wantedTrack);
  if (!body) return std::nullopt;
  audio.codec = body->fourCc;
  audio.kind = exPacketKind(body->packetType, false);
  audio.trackId = body->track.id;
  audio.tracks = body->tracks;
  audio.payload = {body->track.begin, body->track.end - body->track.begin};
  return audio;
}

}  // namespace vidmora_encoder::flv
