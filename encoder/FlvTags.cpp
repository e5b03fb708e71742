#include "encoder/FlvTags.h"

#include <algorithm>
#include <array>
#include <vector>

#include "encoder/StopSignal.h"
#include "encoder/StreamCoverage.h"

namespace vidmora_encoder {

namespace {

constexpr int kTagHeaderBytes = 11;
constexpr int kFieldBytes = 4;        // a PreviousTagSize field
constexpr int kMediaHeaderBytes = 5;  // of a tag's data: enough to tell what it carries
// The first tags read for the start and a look at the fields; the last tags stepped over for
// the end. Enough to pass metadata and see both kinds at either end.
constexpr int kHeadTags = 64;
constexpr int kTailTags = 48;
// How far back from the end a file cut short is searched for its last whole tag: close to
// the end first, where it nearly always is.
constexpr int64_t kTailSearchBytes[] = {256 << 10, 4 << 20};
// A file whose fields are all right, or all but the odd one, is read by them.
constexpr int kWrongFieldsToIgnore = 2;

uint32_t bigEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

// The type of the tag whose header starts at `header`: 8 audio, 9 video, 18 script.
uint8_t tagType(const uint8_t* header) { return header[0] & 0x1f; }
// Whether a tag of `type` is one the demuxer reads, and so one a walk by the fields counts.
bool demuxerReads(uint8_t type) { return type == 8 || type == 9 || type == 18; }

// Buffered reads of the file: the walk and the steps back read a few bytes a tag, and tags
// lie close together.
class Window {
 public:
  Window(SourceInput& input, std::size_t bytes) : source(input), buffer(bytes) {}

  // The `count` bytes at `offset` (fewer at the end of the file: see `available`), or nullptr
  // when the file ends at or before `offset` or cannot be read there. A read going backward
  // fills the window up to the bytes asked for, one going forward from them.
  const uint8_t* at(int64_t offset, std::size_t count, bool backward = false) {
    if (offset < 0 || offset >= source.size()) return nullptr;
    const int64_t end = std::min(offset + static_cast<int64_t>(count), source.size());
    if (offset < start || end > start + held) {
      const int64_t from =
          backward ? std::max<int64_t>(0, end - static_cast<int64_t>(buffer.size())) : offset;
      const ssize_t got = source.readAt(from, buffer.data(), buffer.size());
      start = from;
      held = got > 0 ? got : 0;
      if (offset >= start + held) return nullptr;
    }
    return buffer.data() + (offset - start);
  }
  // How many of the bytes from `offset` the window holds after `at(offset, ...)`.
  int64_t available(int64_t offset) const { return start + held - offset; }
  SourceInput& input() const { return source; }

 private:
  SourceInput& source;
  std::vector<uint8_t> buffer;
  int64_t start = 0;
  int64_t held = 0;
};

struct Tag {
  int64_t offset = 0;  // of its header
  uint32_t dataSize = 0;
  uint8_t type = 0;    // 8 audio, 9 video, 18 script
  int64_t decodeMs = 0;
  int64_t presentMs = 0;
  bool frame = false;  // carries audio or video to decode, not a configuration or command
};

// The tag whose header starts at `offset`, when it is a whole audio, video or script tag (of
// any type, with `anyType`).
std::optional<Tag> readTag(Window& window, int64_t offset, int64_t fileSize,
                           bool anyType = false) {
  const uint8_t* bytes = window.at(offset, kTagHeaderBytes + kMediaHeaderBytes);
  if (bytes == nullptr || window.available(offset) < kTagHeaderBytes) return std::nullopt;
  Tag tag;
  tag.offset = offset;
  tag.type = tagType(bytes);
  tag.dataSize = bigEndian(bytes + 1, 3);
  if ((!anyType && !demuxerReads(tag.type)) ||
      offset + kTagHeaderBytes + tag.dataSize > fileSize)
    return std::nullopt;
  // A signed 32-bit millisecond count: 24 bits, then the 8 above them.
  tag.decodeMs = static_cast<int32_t>(bigEndian(bytes + 4, 3) | uint32_t{bytes[7]} << 24);
  tag.presentMs = tag.decodeMs;
  const int64_t dataBytes =
      std::min<int64_t>({tag.dataSize, kMediaHeaderBytes, window.available(offset) - kTagHeaderBytes});
  const uint8_t* data = bytes + kTagHeaderBytes;
  if (tag.type == 8) {
    // AAC's configuration (packet type 0) is no frame.
    tag.frame = dataBytes >= 1 && !((data[0] >> 4) == 10 && dataBytes >= 2 && data[1] == 0);
  } else if (tag.type == 9 && dataBytes >= 1) {
    const int frameType = data[0] >> 4;
    const int codec = data[0] & 0x0f;
    tag.frame = frameType != 5;  // a command frame carries no picture
    if (codec == 7 || codec == 12) {
      // AVC and HEVC: only NAL units (packet type 1) are pictures, shown at their decoding
      // time plus a signed 24-bit composition offset.
      tag.frame = tag.frame && dataBytes >= 5 && data[1] == 1;
      if (tag.frame) {
        const int32_t offsetMs = static_cast<int32_t>(bigEndian(data + 2, 3) << 8) >> 8;
        tag.presentMs += offsetMs;
      }
    }
  }
  return tag;
}

// The start and end of the audio and video frames of tags taken in file order.
class TagTimes {
 public:
  void add(const Tag& tag) {
    if (!tag.frame || (tag.type != 8 && tag.type != 9)) return;
    earliestDecode = std::min(earliestDecode, tag.decodeMs);
    Kind& kind = tag.type == 8 ? audio : video;
    if (!kind.seen) {
      kind = {true, tag.presentMs, tag.presentMs, tag.decodeMs, 0, 0};
      return;
    }
    // A time that jumps by seconds (a damaged timestamp, a spliced recording) is taken as
    // going on where the stream was, as the conversion takes it.
    int64_t decode = tag.decodeMs + kind.offset;
    const int64_t expected = kind.lastDecode + kind.gap;
    if (decode - expected > kJumpMs || expected - decode > kJumpMs) {
      kind.offset += expected - decode;
      decode = expected;
    }
    // A step longer than any frame lasts is a gap or a damaged time, not the frame's length.
    if (decode > kind.lastDecode && decode - kind.lastDecode <= kLongestFrameMs)
      kind.gap = decode - kind.lastDecode;
    kind.lastDecode = std::max(kind.lastDecode, decode);
    kind.latest = std::max(kind.latest, tag.presentMs + kind.offset);
  }
  // The earliest decoding time of a frame, as written.
  int64_t earliest() const { return earliestDecode; }
  std::optional<int64_t> start() const {
    if (!audio.seen && !video.seen) return std::nullopt;
    if (!audio.seen || !video.seen) return audio.seen ? audio.first : video.first;
    return std::min(audio.first, video.first);
  }
  std::optional<int64_t> end() const {
    if (!audio.seen && !video.seen) return std::nullopt;
    const int64_t audioEnd = audio.latest + audio.gap;
    const int64_t videoEnd = video.latest + video.gap;
    if (!audio.seen || !video.seen) return audio.seen ? audioEnd : videoEnd;
    return std::max(audioEnd, videoEnd);
  }

 private:
  static constexpr auto kJumpMs = static_cast<int64_t>(kTimestampJumpSeconds * 1000);
  static constexpr int64_t kLongestFrameMs = 1000;
  struct Kind {
    bool seen = false;
    int64_t first = 0;       // the first frame's presentation time
    int64_t latest = 0;      // the latest presentation time
    int64_t lastDecode = 0;  // the latest decoding time
    int64_t gap = 0;         // the last step between decoding times: the last frame's length
    int64_t offset = 0;      // added to the times after a jump in them
  };
  Kind audio, video;
  int64_t earliestDecode = INT64_MAX;
};

struct Walk {
  int wrongFields = 0;
  TagTimes times;
};

// The field before the next whole tag after `from` whose own field is right, as the demuxer
// finds its way again after a damaged tag; nothing when there is none.
std::optional<int64_t> nextWholeTag(Window& window, int64_t from, int64_t fileSize) {
  for (int64_t at = from; at + kTagHeaderBytes + kFieldBytes <= fileSize; ++at) {
    if ((at & 0xffff) == 0 && stopRequested()) throw StoppedEarly();
    const uint8_t* bytes = window.at(at, kTagHeaderBytes);
    if (bytes == nullptr) return std::nullopt;
    if (!demuxerReads(tagType(bytes))) continue;
    const int64_t tagBytes = kTagHeaderBytes + bigEndian(bytes + 1, 3);
    // Only a tag the window holds whole is tried: a far read for every candidate would read
    // the file many times over.
    if (window.available(at) < tagBytes + kFieldBytes) continue;
    if (bigEndian(bytes + tagBytes, kFieldBytes) == tagBytes) return at - kFieldBytes;
  }
  return std::nullopt;
}

// How a walk goes over the tags. By their fields, as the demuxer does by default: only tags
// of the three types count, and past a damaged tag the walk goes on from the next whole one.
// By their sizes, as the demuxer does when told to ignore the fields: any type is stepped
// over, and a damaged tag ends the walk.
enum class WalkBy { Fields, Sizes };

// Walks the tags from the first field on, at most `limit` of them, noting their times and the
// fields that are wrong.
Walk walkForward(Window& window, int64_t firstField, int64_t fileSize, int64_t limit,
                 WalkBy by) {
  Walk walk;
  int64_t field = firstField;
  uint32_t expected = 0;
  for (int64_t count = 0; count < limit; ++count) {
    if ((count & 4095) == 4095 && stopRequested()) throw StoppedEarly();
    const uint8_t* bytes = window.at(field, kFieldBytes + kTagHeaderBytes + kMediaHeaderBytes);
    if (bytes == nullptr || window.available(field) < kFieldBytes) break;
    if (bigEndian(bytes, kFieldBytes) != expected) ++walk.wrongFields;
    auto tag = readTag(window, field + kFieldBytes, fileSize, by == WalkBy::Sizes);
    if (!tag && by == WalkBy::Fields && limit == INT64_MAX) {
      if (const auto found = nextWholeTag(window, field + 1, fileSize))
        tag = readTag(window, *found + kFieldBytes, fileSize);
    }
    if (!tag) break;
    walk.times.add(*tag);
    expected = kTagHeaderBytes + tag->dataSize;
    field = tag->offset + expected;
  }
  return walk;
}

// The tag that the field at `field` says ends there, when the field is right.
std::optional<Tag> tagBefore(Window& window, int64_t field, int64_t firstTag, int64_t fileSize) {
  const uint8_t* bytes = window.at(field, kFieldBytes, /*backward=*/true);
  if (bytes == nullptr || window.available(field) < kFieldBytes) return std::nullopt;
  const int64_t tagStart = field - bigEndian(bytes, kFieldBytes);
  if (tagStart < firstTag || tagStart >= field) return std::nullopt;
  // Read the header the way the steps go, so the window keeps serving the tags before it.
  if (window.at(tagStart, kTagHeaderBytes + kMediaHeaderBytes, /*backward=*/true) == nullptr)
    return std::nullopt;
  const auto tag = readTag(window, tagStart, fileSize);
  if (!tag || tag->offset + kTagHeaderBytes + tag->dataSize != field) return std::nullopt;
  return tag;
}

// The times of the last tags, stepping back from the field at `field` while the fields chain;
// nothing when the field there is not right.
std::optional<TagTimes> chainBack(Window& window, int64_t field, int64_t firstTag,
                                  int64_t fileSize) {
  std::vector<Tag> tags;
  while (static_cast<int>(tags.size()) < kTailTags && field > firstTag) {
    const auto tag = tagBefore(window, field, firstTag, fileSize);
    if (!tag) break;
    tags.push_back(*tag);
    field = tag->offset - kFieldBytes;
  }
  if (tags.empty()) return std::nullopt;
  TagTimes times;
  for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag) times.add(*tag);
  return times;
}

// The times of the last tags before `fileSize` in a file cut short (whose end is part of a
// tag), searching the final `searched` bytes for the last tag whose own field is right and
// that chains to the tag before it.
std::optional<TagTimes> lastWholeTags(Window& window, int64_t firstTag, int64_t fileSize,
                                      int64_t searched) {
  const int64_t lowest = std::max(firstTag, fileSize - searched);
  std::vector<uint8_t> stretch(static_cast<std::size_t>(fileSize - lowest));
  const ssize_t got = window.input().readAt(lowest, stretch.data(), stretch.size());
  if (got != static_cast<ssize_t>(stretch.size())) return std::nullopt;
  for (int64_t at = fileSize - kTagHeaderBytes - kFieldBytes; at >= lowest; --at) {
    const uint8_t* bytes = stretch.data() + (at - lowest);
    if (!demuxerReads(tagType(bytes))) continue;
    const uint32_t tagBytes = kTagHeaderBytes + bigEndian(bytes + 1, 3);
    const int64_t field = at + tagBytes;
    if (field + kFieldBytes > fileSize ||
        bigEndian(stretch.data() + (field - lowest), kFieldBytes) != tagBytes)
      continue;
    auto times = chainBack(window, field, firstTag, fileSize);
    if (times && (at == firstTag || tagBefore(window, at - kFieldBytes, firstTag, fileSize)))
      return times;
  }
  return std::nullopt;
}

// The times of the file's last tags: from its last field, or, in a file cut short, from the
// field after its last whole tag, looked for close to the end first.
std::optional<TagTimes> tailTimes(Window& window, int64_t firstTag, int64_t fileSize) {
  if (auto times = chainBack(window, fileSize - kFieldBytes, firstTag, fileSize)) return times;
  for (const int64_t searched : kTailSearchBytes) {
    if (auto times = lastWholeTags(window, firstTag, fileSize, searched)) return times;
    if (searched >= fileSize - firstTag) break;
  }
  return std::nullopt;
}

// Whether a file of `bytes` can hold media from `startMs` to `endMs`: a frame of any kind
// takes more than its tag's 15 bytes, and there are several a second. A span far longer (a
// damaged timestamp in the last tags) is not believed.
bool plausible(int64_t startMs, int64_t endMs, int64_t bytes) {
  constexpr int64_t kLeastBytesPerSecond = 64;
  return endMs - startMs <= bytes * 1000 / kLeastBytesPerSecond;
}

}  // namespace

std::optional<FlvLayout> examineFlvTags(SourceInput& input) {
  if (!input.seekable()) return std::nullopt;
  const int64_t fileSize = input.size();
  std::array<uint8_t, 9> header{};
  if (input.readAt(0, header.data(), header.size()) != static_cast<ssize_t>(header.size()) ||
      header[0] != 'F' || header[1] != 'L' || header[2] != 'V')
    return std::nullopt;
  const int64_t firstField = bigEndian(header.data() + 5, 4);
  const int64_t firstTag = firstField + kFieldBytes;
  FlvLayout layout;
  if (firstField < static_cast<int64_t>(header.size()) || firstTag >= fileSize) return layout;
  Window window(input, 64 << 10);
  const Walk head = walkForward(window, firstField, fileSize, kHeadTags, WalkBy::Fields);
  layout.tagSizesWrong = head.wrongFields >= kWrongFieldsToIgnore;
  const auto tail = tailTimes(window, firstTag, fileSize);
  if (!layout.tagSizesWrong && tail && head.times.start() && tail->end() &&
      plausible(*head.times.start(), *tail->end(), fileSize - firstTag)) {
    layout.startMs = head.times.start();
    layout.endMs = tail->end();
    layout.lastTagsFromMs = tail->earliest();
    return layout;
  }
  // The fields are wrong, the ends hold no media, or their times cannot both be right: every
  // tag is walked, the way the demuxer will read them.
  Window large(input, 1 << 20);
  const Walk whole = walkForward(large, firstField, fileSize, INT64_MAX,
                                 layout.tagSizesWrong ? WalkBy::Sizes : WalkBy::Fields);
  layout.startMs = whole.times.start();
  layout.endMs = whole.times.end();
  return layout;
}

}  // namespace vidmora_encoder
