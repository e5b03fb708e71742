#include "encoder/SourceReader.h"

#include "encoder/StopSignal.h"

namespace vidmora_encoder {

SourceReader::SourceReader(SourceInput& source)
    : input(source),
      // What is not a regular file is read as a stream: the demuxer then never seeks.
      ioContext(allocateIoContext(this, read, nullptr, source.seekable() ? seek : nullptr)) {}

int SourceReader::read(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<SourceReader*>(opaque);
  // Called from the demuxer's C code: nothing may be thrown through it.
  ssize_t got;
  try {
    got = self->input.seekable()
              ? self->input.readAt(self->position, buffer, static_cast<std::size_t>(size))
              : self->input.readNext(buffer, static_cast<std::size_t>(size));
  } catch (const StoppedEarly&) {
    return AVERROR_EXIT;
  }
  if (got < 0) return AVERROR(static_cast<int>(-got));
  if (got == 0) return AVERROR_EOF;
  self->position += got;
  return static_cast<int>(got);
}

int64_t SourceReader::seek(void* opaque, int64_t offset, int whence) {
  auto* self = static_cast<SourceReader*>(opaque);
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return self->input.size();
    case SEEK_SET: self->position = offset; break;
    case SEEK_CUR: self->position += offset; break;
    case SEEK_END: self->position = self->input.size() + offset; break;
    default: return AVERROR(EINVAL);
  }
  return self->position;
}

}  // namespace vidmora_encoder
