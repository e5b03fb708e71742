#pragma once
#include <cstdint>
#include <string>

#include "encoder/flv/FlvFormat.h"
extern "C" {
#include <libavcodec/codec_id.h>
}
// What the codec values of an FLV file's tags are: the legacy ids and sound formats, the
// FourCCs of the ex-headers, and HEVC under the legacy id 12 that live-stream CDNs use.

namespace vidmora_encoder::flv {

// The decoder's codec for a video tag's codec; AV_CODEC_ID_NONE for one this encoder cannot
// convert.
AVCodecID videoCodecId(const VideoData& video);
// The same for an audio tag.
AVCodecID audioCodecId(const AudioData& audio);

// Whether the codec's frames are laid out as AVC's are: NAL units with a length before each,
// a configuration record as the sequence start, a composition time.
bool isNalCodec(AVCodecID codec);

// What the codec is, for a line a user reads: "'xyz1' in an enhanced FLV", "FLV video codec 13",
// "HEVC ('hvc1')".
std::string describeVideoCodec(const VideoData& video);
std::string describeAudioCodec(const AudioData& audio);

// What the legacy flags of an audio tag say of its sound, where the codec does not say it
// itself: the sample rate and channels (AAC and the enhanced codecs say it in their
// configuration; G.711, Speex and Nellymoser at 8 or 16 kHz have fixed rates).
struct SoundFlags {
  int sampleRate = 0;
  int channels = 0;
  int sampleBits = 0;
};
SoundFlags soundFlags(const AudioData& audio);

}  // namespace vidmora_encoder::flv
