#pragma once
#include <string>
#include <vector>

#include "encoder/Demuxer.h"
#include "encoder/EncoderArguments.h"
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}
// What each video codec token means for the output: container, audio codec, and the
// settings used when the command gives no bit rates (the "default quality").

namespace vidmora_encoder {

// The largest frame side taken from a source or given to an output. A frame that size takes
// 100 MB already, and a conversion holds a dozen; no Flash video is larger.
constexpr int kMaxFrameSide = 8192;

struct ConversionProfile {
  std::string codec;           // the contract's token, e.g. "msmpeg4v2"
  const char* muxer;           // libavformat muxer name
  const char* videoEncoder;    // libavcodec encoder names
  const char* audioEncoder;
  std::vector<int> audioKbpsAllowed;  // the audio codec's bit rates; empty when any will do
  int defaultAudioKbps;
  int defaultVideoQuantizer;   // constant quantizer used without -b
  std::vector<AVRational> frameRates;  // the rates the codec allows; empty when any will do
  int maxBFrames;
  double keyframeSeconds;      // distance between key frames
  int audioCompressionLevel;   // the audio encoder's speed/quality trade-off, where it has one
  int maxFrameSide;            // the largest side the format holds, at most kMaxFrameSide
  AVCodecID copiedAudio;       // sound in this codec goes in as it is where it fits; or none
  bool videoInStretches;       // the video may be encoded in stretches, a key frame each, on
                               // several cores at once

  // The profile for a codec token the arguments accepted.
  static const ConversionProfile& forCodec(const std::string& codec);
};

// The frame size the codecs take: both sides even and at least 2 (odd sides round down).
FrameSize roundFrameSize(FrameSize size);

// A frame-rate text as a rational: "29.97" is 30000/1001, "23.97" is 24000/1001, "25.00" is
// 25/1; other values as exact as a denominator of 1000 allows.
AVRational parseFrameRate(const std::string& text);

// `wanted` if the profile allows any rate, else the nearest rate it allows.
AVRational nearestAllowedFrameRate(const ConversionProfile& profile, AVRational wanted);

// Output frames from one key frame to the next, at `rate`.
int keyFrameInterval(const ConversionProfile& profile, AVRational rate);

// The source's frame rate for an output without -r: its rate when that is between 1 and 120
// frames per second, else 25.
AVRational sourceFrameRate(const SourceStream& stream);

// The allowed bit rate nearest to `kbps`, or `kbps` when any is allowed.
int nearestAudioKbps(const ConversionProfile& profile, int kbps);

// 32000, 44100 and 48000 Hz stay; every other rate becomes 44100 Hz (each audio codec here
// takes those three at every allowed bit rate).
int outputSampleRate(int sourceRate);

}  // namespace vidmora_encoder
