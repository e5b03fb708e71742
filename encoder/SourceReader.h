#pragma once
#include <cstdint>

#include "encoder/FfmpegPointers.h"
#include "encoder/FlvTags.h"
#include "encoder/SourceInput.h"
// A reading position in the source for the demuxer, as an FFmpeg I/O context: from the
// start, with corrected PreviousTagSize fields where the source needs them. A stop ends a
// read with AVERROR_EXIT. Several readers of one input read independently.

namespace vidmora_encoder {

class SourceReader {
 public:
  // Reads `input`, putting `corrections` (when given) into what it reads; both must outlive it.
  SourceReader(SourceInput& input, const FlvTagSizes* corrections);
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;

  AVIOContext* io() const { return ioContext.get(); }

 private:
  static int read(void* opaque, uint8_t* buffer, int size);
  static int64_t seek(void* opaque, int64_t offset, int whence);

  SourceInput& input;
  const FlvTagSizes* corrections;
  int64_t position = 0;
  IoContextPtr ioContext;
};

}  // namespace vidmora_encoder
