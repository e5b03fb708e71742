#pragma once
#include <cstdint>
#include <string>

#include "encoder/FfmpegPointers.h"
// A reading of the source, packet by packet from its start, for the streams it was found to
// hold. The encoder's own FLV reader gives it for FLV files, libavformat's demuxers for a file
// in another container (a download saved under .flv that is an MP4, say).

namespace vidmora_encoder {

// A stream of the source as every reading of it knows it.
struct SourceStream {
  int index = 0;  // in the source's numbering, as a probe lists it
  AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
  // Codec, configuration, picture size or sound format, as the start of the source says.
  CodecParametersPtr parameters = allocateCodecParameters();
  AVRational timeBase{1, 1000};
  // Of video: as the source states it or its times show it; 0/1 when unknown.
  AVRational frameRate{0, 1};
  // What the codec is, for a user: "HEVC ('hvc1')", "'xyz1' in an enhanced FLV".
  std::string codecText;
  // The encoder has a decoder for it.
  bool decodable = false;
  // Tracks of this kind in the source's messages, of which this stream is the first.
  int tracks = 1;
};

// A packet of a stream: times in the stream's time base, `pos` the byte offset a reading can
// be sent back to.
struct SourcePacket {
  PacketPtr packet = allocatePacket();
  int stream = -1;
  // Set on the first packet after the stream's parameters changed (a recorder that started
  // again with another picture size or sound): its decoder must start anew with these. Owned
  // by the reading, and alive as long as it is.
  const AVCodecParameters* newParameters = nullptr;
};

class Demuxer {
 public:
  virtual ~Demuxer() = default;
  // The next packet, in file order; false at the source's end, at a read error (which ends
  // the reading as the end would) or at a stop.
  virtual bool read(SourcePacket& into) = 0;
  // Goes on from the packet whose `pos` was `position`; throws EncoderError when the source
  // cannot be read there.
  virtual void seek(int64_t position) = 0;
};

}  // namespace vidmora_encoder
