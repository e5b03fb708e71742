#include "encoder/flv/TagReader.h"

#include "encoder/StopSignal.h"

namespace vidmora_encoder::flv {

TagReader::TagReader(InputWindow& source, int64_t firstTag, bool fieldsWrong)
    : window(source), position(firstTag), goBySizes(fieldsWrong) {}

std::optional<Tag> TagReader::next() {
  for (;;) {
    const uint8_t* bytes = window.at(position, kTagHeaderBytes);
    if (bytes == nullptr || window.available(position) < kTagHeaderBytes) return std::nullopt;
    Tag tag;
    tag.offset = position;
    tag.header = readTagHeader(bytes);
    const int64_t dataEnd = position + kTagHeaderBytes + tag.header.dataSize;
    const uint32_t tagBytes = kTagHeaderBytes + tag.header.dataSize;
    // The whole tag and its field, where the file has them.
    bytes = window.at(position, tagBytes + kFieldBytes);
    const bool whole = bytes != nullptr && window.available(position) >= tagBytes;
    bool right = whole;
    if (whole && !goBySizes && window.available(position) >= tagBytes + kFieldBytes &&
        bigEndian(bytes + tagBytes, kFieldBytes) != tagBytes) {
      // A wrong field after a tag that a whole tag follows is a writer's slip; after one that
      // nothing follows, the tag's size itself is damaged.
      right = tagCouldStartAt(dataEnd + kFieldBytes);
      if (right) ++wrong;
      bytes = window.at(position, tagBytes);  // the check may have moved the window
    }
    if (!right) {
      if (goBySizes || !findWholeTag(position + 1)) return std::nullopt;
      resynced = true;
      continue;
    }
    position = dataEnd + kFieldBytes;
    if (!knownTagType(tag.header.type)) continue;
    // A stream may forget what came before this tag (which moves what it holds).
    if (forgetting) window.release(tag.offset);
    tag.data = window.at(tag.offset, tagBytes) + kTagHeaderBytes;
    return tag;
  }
}

bool TagReader::tagCouldStartAt(int64_t offset) {
  const int64_t fileSize = window.size();
  if (offset == fileSize) return true;
  const uint8_t* bytes = window.at(offset, kTagHeaderBytes);
  if (bytes == nullptr) return offset >= fileSize;  // a stream that ends there
  if (window.available(offset) < kTagHeaderBytes) return false;
  const TagHeader header = readTagHeader(bytes);
  return knownTagType(header.type) && offset + kTagHeaderBytes + header.dataSize <= fileSize;
}

bool TagReader::findWholeTag(int64_t from) {
  for (int64_t at = from;; ++at) {
    if ((at & 0xffff) == 0) {
      if (stopRequested()) throw StoppedEarly();
      if (forgetting) window.release(at);
    }
    const uint8_t* bytes = window.at(at, kTagHeaderBytes);
    if (bytes == nullptr || window.available(at) < kTagHeaderBytes + kFieldBytes) return false;
    const TagHeader header = readTagHeader(bytes);
    if (!knownTagType(header.type)) continue;
    const int64_t tagBytes = kTagHeaderBytes + header.dataSize;
    // Only a tag the window holds whole is tried: a far read for every candidate would read
    // the file many times over.
    if (window.available(at) < tagBytes + kFieldBytes) continue;
    if (bigEndian(bytes + tagBytes, kFieldBytes) == tagBytes) {
      position = at;
      return true;
    }
  }
}

}  // namespace vidmora_encoder::flv
