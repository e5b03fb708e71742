#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "encoder/Demuxer.h"
#include "encoder/flv/FlvCodecs.h"
#include "encoder/flv/InputWindow.h"
#include "encoder/flv/Metadata.h"
// What the start of an FLV file says it holds, found once and shared by every reading of it:
// its streams (one per kind and codec; of a multitrack message, the first track), each with
// its configuration and, where a first frame decodes, its picture size or sound format; the
// video's frame rate; the onMetaData figures; where the tags start and how to walk them.

namespace vidmora_encoder::flv {

struct FlvContent {
  // What a tag must carry to belong to a stream.
  struct Key {
    uint8_t tagType = 0;  // kAudioTag or kVideoTag
    bool enhanced = false;
    uint32_t codec = 0;   // legacy id or sound format, or FourCC
  };
  std::vector<SourceStream> streams;
  std::vector<Key> keys;  // of streams[i]
  // The legacy sound flags of each audio stream's first tag (zeros for other streams).
  std::vector<SoundFlags> firstFlags;
  // The track read of multitrack messages of each kind, once one was seen.
  std::optional<int> videoTrack;
  std::optional<int> audioTrack;
  std::optional<Metadata> metadata;
  // The earliest time a frame is shown, milliseconds as written; nothing without frames.
  std::optional<int64_t> startMs;
  int64_t firstTag = 0;
  bool fieldsWrong = false;
  // Whether the file holds any whole tag at all.
  bool anyTag = false;

  // The stream a tag of `tagType` with `enhanced` and `codec` belongs to; -1 for none.
  int streamFor(uint8_t tagType, bool enhanced, uint32_t codec) const;
};

// Reads the start of the file `window` reads, from the tag at `firstTag` (with `fieldsWrong`,
// going by the tags' sizes alone), until every stream it holds is known: both kinds, or those
// the file header announces, seen and a first frame of each decoded where it can be, and a
// few seconds of them read (far less where the file ends first). The window keeps what it
// read of a stream. Throws StoppedEarly at a stop.
FlvContent discoverFlvContent(InputWindow& window, int64_t firstTag, bool fieldsWrong);

// Where a stream's configuration is: `parameters`' extradata, as the decoders take it from a
// sequence start's payload (the bytes of an AVC, HEVC or AV1 record, AAC's
// AudioSpecificConfig, Opus's identification header, FLAC's STREAMINFO) or VP6's adjustment
// byte. Throws EncoderError when memory runs out.
void setConfiguration(AVCodecParameters* parameters, const uint8_t* bytes, std::size_t size);

}  // namespace vidmora_encoder::flv
