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

std::string errorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

void throwIfFailed(int code, const std::string& what) {
  if (code < 0) throw EncoderError(what + ": " + errorText(code));
}

}  // namespace vidmora_encoder
