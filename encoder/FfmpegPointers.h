#pragma once
// Owning handles for the FFmpeg objects the encoder uses, each freed by its own free call.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <memory>

namespace vidmora_encoder {

struct InputContextFree {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ResamplerFree {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
struct ScalerFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct IoContextFree {
  void operator()(AVIOContext* io) const {
    av_freep(&io->buffer);
    avio_context_free(&io);
  }
};
struct CodecParametersFree {
  void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
struct AudioFifoFree {
  void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};

using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextFree>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFree>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerFree>;
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFree>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoFree>;
using CodecParametersPtr = std::unique_ptr<AVCodecParameters, CodecParametersFree>;

// A new frame or packet; throws EncoderError when memory runs out.
FramePtr allocateFrame();
PacketPtr allocatePacket();
CodecParametersPtr allocateCodecParameters();
// An I/O context over `opaque` with a buffer of its own, reading through `read` or, when
// `write` is given, writing through it; throws EncoderError when memory runs out.
IoContextPtr allocateIoContext(void* opaque, int (*read)(void*, uint8_t*, int),
                               int (*write)(void*, uint8_t*, int),
                               int64_t (*seek)(void*, int64_t, int));

// The text of an FFmpeg error code, e.g. "Invalid data found when processing input".
std::string errorText(int code);

}  // namespace vidmora_encoder
