#include "encoder/FlvTagSizeRepair.h"

#include <array>

namespace vidmora_encoder {

namespace {

constexpr int kTagHeaderBytes = 11;

uint32_t bigEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

bool readAt(std::FILE* file, int64_t offset, uint8_t* buffer, std::size_t count) {
  return fseeko(file, offset, SEEK_SET) == 0 && std::fread(buffer, 1, count, file) == count;
}

}  // namespace

std::unique_ptr<FlvTagSizeRepair> FlvTagSizeRepair::forFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return nullptr;
  std::array<uint8_t, 9> header{};
  fseeko(file, 0, SEEK_END);
  const int64_t size = ftello(file);
  if (!readAt(file, 0, header.data(), header.size()) || header[0] != 'F' || header[1] != 'L' ||
      header[2] != 'V') {
    std::fclose(file);
    return nullptr;
  }
  // Walk the tags: each is preceded by the PreviousTagSize of the tag before it.
  std::map<int64_t, uint32_t> corrected;
  int64_t field = bigEndian(header.data() + 5, 4);
  uint32_t expected = 0;
  for (;;) {
    std::array<uint8_t, 4 + kTagHeaderBytes> bytes{};
    if (!readAt(file, field, bytes.data(), 4)) break;
    const bool tagFollows = readAt(file, field + 4, bytes.data() + 4, kTagHeaderBytes);
    const uint32_t stated = bigEndian(bytes.data(), 4);
    const uint8_t type = bytes[4] & 0x1f;
    const uint32_t dataSize = bigEndian(bytes.data() + 5, 3);
    const int64_t next = field + 4 + kTagHeaderBytes + dataSize;
    const bool validTag = tagFollows && (type == 8 || type == 9 || type == 18) && next <= size;
    if (stated != expected) corrected[field] = expected;
    if (!validTag) break;
    expected = kTagHeaderBytes + dataSize;
    field = next;
  }
  // A file whose fields are all right, or all but the odd one, goes to the demuxer as it is.
  if (corrected.size() < 2) {
    std::fclose(file);
    return nullptr;
  }
  return std::unique_ptr<FlvTagSizeRepair>(new FlvTagSizeRepair(file, size, std::move(corrected)));
}

FlvTagSizeRepair::FlvTagSizeRepair(std::FILE* opened, int64_t bytes,
                                   std::map<int64_t, uint32_t> corrected)
    : file(opened),
      size(bytes),
      correctedFields(std::move(corrected)),
      ioContext(allocateIoContext(this, read, nullptr, seek)) {}

int FlvTagSizeRepair::read(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<FlvTagSizeRepair*>(opaque);
  if (fseeko(self->file.get(), self->position, SEEK_SET) != 0) return AVERROR(EIO);
  const auto got = static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(size), self->file.get()));
  if (got <= 0) return AVERROR_EOF;
  const int64_t start = self->position;
  const int64_t end = start + got;
  // Patch every corrected field that overlaps the bytes read.
  const auto& fields = self->correctedFields;
  for (auto it = fields.lower_bound(start - 3); it != fields.end() && it->first < end; ++it)
    for (int i = 0; i < 4; ++i) {
      const int64_t at = it->first + i;
      if (at >= start && at < end)
        buffer[at - start] = static_cast<uint8_t>(it->second >> (8 * (3 - i)));
    }
  self->position = end;
  return got;
}

int64_t FlvTagSizeRepair::seek(void* opaque, int64_t offset, int whence) {
  auto* self = static_cast<FlvTagSizeRepair*>(opaque);
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return self->size;
    case SEEK_SET: self->position = offset; break;
    case SEEK_CUR: self->position += offset; break;
    case SEEK_END: self->position = self->size + offset; break;
    default: return AVERROR(EINVAL);
  }
  return self->position;
}

}  // namespace vidmora_encoder
