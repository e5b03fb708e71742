#pragma once
#include <cstdint>

#include "encoder/FfmpegPointers.h"
#include "encoder/SourceInput.h"
// A reading position in the source for the demuxer, as an FFmpeg I/O context, from the start.
// A stop ends a read with AVERROR_EXIT. Several readers of one input read independently.

namespace vidmora_encoder {

class SourceReader {
 public:
  // Reads `input`, which must outlive it.
  explicit SourceReader(SourceInput& input);
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  AVIOContext* io() const { return ioContext.get(); }

 private:
  static int read(void* opaque, uint8_t* buffer, int size);
  static int64_t seek(void* opaque, int64_t offset, int whence);

  SourceInput& input;
  int64_t position = 0;
  IoContextPtr ioContext;
};

}  // namespace vidmora_encoder
