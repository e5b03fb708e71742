#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
// The structures of an FLV file, classic and enhanced, one reading function each, in the order
// the format lays them out: the file header, a tag's header, and the start of an audio or a
// video tag's data (the legacy headers; the ex-headers with their FourCC and packet type; a
// multitrack message's tracks). Each reads only the bytes it is given and refuses what does
// not fit in them.

namespace vidmora_encoder::flv {

inline constexpr int kFileHeaderBytes = 9;
inline constexpr int kTagHeaderBytes = 11;
inline constexpr int kFieldBytes = 4;  // a PreviousTagSize field

inline constexpr uint8_t kAudioTag = 8;
inline constexpr uint8_t kVideoTag = 9;
inline constexpr uint8_t kScriptTag = 18;

// A FourCC as the format stores it: big-endian, "hvc1" is 0x68766331.
constexpr uint32_t fourCc(const char (&text)[5]) {
  return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
         uint32_t(uint8_t(text[2])) << 8 | uint8_t(text[3]);
}

inline uint32_t bigEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

// The file header: "FLV", a version, the type flags, and where the first PreviousTagSize field
// is (the header's own size). Nothing when `bytes` do not start an FLV file.
struct FileHeader {
  uint32_t dataOffset = 0;
};
std::optional<FileHeader> readFileHeader(const uint8_t* bytes, std::size_t size);

// A tag's 11-byte header.
struct TagHeader {
  uint8_t type = 0;       // the low five bits: 8 audio, 9 video, 18 script data
  bool filtered = false;  // 0b0010'0000: the data is encrypted
  uint32_t dataSize = 0;  // 24 bits
  int32_t timestampMs = 0;  // 24 bits, then the 8 above them: a signed 32-bit count
};
inline TagHeader readTagHeader(const uint8_t* bytes) {
  TagHeader header;
  header.type = bytes[0] & 0x1f;              // 0b0001'1111
  header.filtered = (bytes[0] & 0x20) != 0;   // 0b0010'0000
  header.dataSize = bigEndian(bytes + 1, 3);
  header.timestampMs = static_cast<int32_t>(bigEndian(bytes + 4, 3) | uint32_t{bytes[7]} << 24);
  return header;
}
// Whether a tag of `type` is one of the three the format defines.
inline bool knownTagType(uint8_t type) {
  return type == kAudioTag || type == kVideoTag || type == kScriptTag;
}

// What a packet of audio or video data is to its stream.
enum class PacketKind {
  SequenceStart,  // the codec's configuration record (AVC/HEVC/AAC sequence header)
  CodedFrames,    // a frame to decode
  SequenceEnd,
  Other,          // metadata, a command frame, a channel layout, a type the format reserves
};

// Where a tag's video or audio payload lies within its data.
struct Payload {
  uint32_t offset = 0;
  uint32_t size = 0;
};

// The video tag's data, read up to its payload: the legacy VideoTagHeader, or the ExVideoTagHeader
// (the bit 0b1000'0000 of the first byte set) with its FourCC and packet type. In a multitrack
// message, the track `wantedTrack` (the first when nothing is wanted or it is not there).
struct VideoData {
  bool enhanced = false;
  uint32_t codec = 0;   // the legacy codec id (2 to 12), or the FourCC of an ex-header
  int frameType = 0;    // 1 key frame, 2 inter, 3 disposable inter, 4 generated key, 5 command
  PacketKind kind = PacketKind::Other;
  int32_t compositionMs = 0;  // added to the tag's time for when the frame is shown
  Payload payload;
  // The codec's first bytes kept out of the payload: VP6's size adjustment.
  std::optional<uint8_t> adjustment;
  int trackId = 0;
  int tracks = 1;       // in the message; more than one only in a multitrack message
  bool keyFrame() const { return frameType == 1 || frameType == 4; }
};
// `available` bytes of the `size` are at hand, where only the start of the data was read:
// the headers must lie within them, the tracks' extents within `size`.
std::optional<VideoData> readVideoData(const uint8_t* data, std::size_t size,
                                       std::optional<int> wantedTrack = std::nullopt,
                                       std::size_t available = SIZE_MAX);

// The audio tag's data, read up to its payload: the legacy AudioTagHeader (the sound format with
// its rate, size and type flags; AAC's packet type), or the ExAudioTagHeader (sound format 9)
// with its FourCC and packet type. Multitrack as for video.
struct AudioData {
  bool enhanced = false;
  uint32_t codec = 0;   // the legacy sound format (0 to 15), or the FourCC of an ex-header
  int rateIndex = 0;    // legacy flags: 0 5.5 kHz, 1 11 kHz, 2 22 kHz, 3 44 kHz
  int sampleBits = 16;  // legacy flags: 8 or 16
  int channels = 1;     // legacy flags: 1 or 2
  PacketKind kind = PacketKind::Other;
  Payload payload;
  int trackId = 0;
  int tracks = 1;
};
std::optional<AudioData> readAudioData(const uint8_t* data, std::size_t size,
                                       std::optional<int> wantedTrack = std::nullopt,
                                       std::size_t available = SIZE_MAX);

}  // namespace vidmora_encoder::flv
