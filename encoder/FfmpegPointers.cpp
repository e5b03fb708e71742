#include "encoder/FfmpegPointers.h"

#include "encoder/EncoderError.h"

namespace vidmora_encoder {

FramePtr allocateFrame() {
  FramePtr frame(av_frame_alloc());
  if (!frame) throw EncoderError("out of memory");
  return frame;
}

PacketPtr allocatePacket() {
  PacketPtr packet(av_packet_alloc());
  if (!packet) throw EncoderError("out of memory");
  return packet;
}

CodecParametersPtr allocateCodecParameters() {
  CodecParametersPtr parameters(avcodec_parameters_alloc());
  if (!parameters) throw EncoderError("out of memory");
  return parameters;
}

IoContextPtr allocateIoContext(void* opaque, int (*read)(void*, uint8_t*, int),
                               int (*write)(void*, uint8_t*, int),
                               int64_t (*seek)(void*, int64_t, int)) {
  constexpr int kBufferBytes = 1 << 16;
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  IoContextPtr io;
  if (buffer != nullptr)
    io.reset(avio_alloc_context(buffer, kBufferBytes, write != nullptr ? 1 : 0, opaque, read,
                                write, seek));
  if (!io) {
    av_free(buffer);
    throw EncoderError("out of memory");
  }
  return io;
}

std::string errorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

void throwIfOutOfMemory(int code) {
  if (code == AVERROR(ENOMEM)) throw EncoderError("out of memory");
}

void throwIfFailed(int code, const std::string& what) {
  throwIfOutOfMemory(code);
  if (code < 0) throw EncoderError(what + ": " + errorText(code));
}

}  // namespace vidmora_encoder
