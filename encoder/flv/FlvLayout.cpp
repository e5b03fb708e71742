#include "encoder/flv/FlvLayout.h"

#include <algorithm>
#include <vector>

#include "encoder/StreamCoverage.h"
#include "encoder/flv/FlvFormat.h"
#include "encoder/flv/InputWindow.h"
#include "encoder/flv/TagReader.h"

namespace vidmora_encoder::flv {

namespace {

// Of a tag's data, enough to tell what it carries and when it is shown (a multitrack message's
// first track included).
constexpr uint32_t kMediaHeaderBytes = 24;
// The first tags read for the start, the rate and a look at the fields; the last tags stepped
// over for the end. Enough to pass metadata and see both kinds at either end.
constexpr int kHeadTags = 64;
constexpr int kTailTags = 48;
// How far back from the end a file cut short is searched for its last whole tag: close to the
// end first, where it nearly always is.
constexpr int64_t kTailSearchBytes[] = {256 << 10, 4 << 20};
// A file whose fields are all right, or all but the odd one, is read by them.
constexpr int kWrongFieldsToIgnore = 2;
// A file holding more bytes than its span would take at the higher of its ends' rates by this
// factor, or fewer than at the lower rate by the same factor, holds more or less time than the
// span says: its times started again or jumped.
constexpr double kRateFactor = 1.8;

// When a tag's frame is decoded and shown, and whether it carries a frame at all (not a
// configuration, a command or metadata).
struct TagTime {
  int64_t offset = 0;
  uint8_t type = 0;
  int64_t decodeMs = 0;
  int64_t presentMs = 0;
  bool frame = false;
};

// The time of the tag whose header is `header` and whose data starts with `data`, of which
// `available` bytes are at hand.
TagTime timeOf(int64_t offset, const TagHeader& header, const uint8_t* data, int64_t available) {
  TagTime time{offset, header.type, header.timestampMs, header.timestampMs, false};
  const auto read = static_cast<std::size_t>(
      std::clamp<int64_t>(available, 0, std::min(header.dataSize, kMediaHeaderBytes)));
  if (header.type == kVideoTag) {
    const auto video = readVideoData(data, header.dataSize, std::nullopt, read);
    if (video && video->kind == PacketKind::CodedFrames) {
      time.frame = true;
      time.presentMs += video->compositionMs;
    }
  } else if (header.type == kAudioTag) {
    const auto audio = readAudioData(data, header.dataSize, std::nullopt, read);
    time.frame = audio && audio->kind == PacketKind::CodedFrames;
  }
  return time;
}

// The start and end of the audio and video frames of tags taken in file order.
class TagTimes {
 public:
  void add(const TagTime& tag) {
    if (!tag.frame) return;
    earliestDecode = std::min(earliestDecode, tag.decodeMs);
    if (tag.offset < firstOffset) {
      firstOffset = tag.offset;
      firstMs = tag.decodeMs;
    }
    if (tag.offset > lastOffset) {
      lastOffset = tag.offset;
      lastMs = tag.decodeMs;
    }
    Kind& kind = tag.type == kAudioTag ? audio : video;
    if (!kind.seen) {
      kind = {true, tag.presentMs, tag.presentMs, tag.decodeMs, 0, 0};
      return;
    }
    // A time that jumps by seconds (a damaged timestamp, a recording that started again) is
    // taken as going on where the stream was, as the conversion takes it.
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
  // Bytes a second the frames' tags take from the first to the last of them, as written;
  // nothing when they span no time.
  std::optional<double> bytesPerSecond() const {
    if (lastMs <= firstMs || lastOffset <= firstOffset) return std::nullopt;
    return static_cast<double>(lastOffset - firstOffset) * 1000 / static_cast<double>(lastMs - firstMs);
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
  int64_t firstOffset = INT64_MAX, firstMs = 0;
  int64_t lastOffset = -1, lastMs = 0;
};

struct Walk {
  int wrongFields = 0;
  TagTimes times;
};

// Walks the tags from the first one on, at most `limit` of them, noting their times and the
// fields that are wrong.
Walk walkForward(InputWindow& window, int64_t firstTag, int64_t limit, bool fieldsWrong) {
  Walk walk;
  TagReader tags(window, firstTag, fieldsWrong);
  for (int64_t count = 0; count < limit; ++count) {
    const auto tag = tags.next();
    if (!tag) break;
    walk.times.add(timeOf(tag->offset, tag->header, tag->data, tag->header.dataSize));
  }
  walk.wrongFields = tags.wrongFields();
  return walk;
}

// The tag that the field at `field` says ends there, when the field is right.
std::optional<TagTime> tagBefore(InputWindow& window, int64_t field, int64_t firstTag) {
  const uint8_t* bytes = window.at(field, kFieldBytes, /*backward=*/true);
  if (bytes == nullptr || window.available(field) < kFieldBytes) return std::nullopt;
  const int64_t tagStart = field - bigEndian(bytes, kFieldBytes);
  if (tagStart < firstTag || tagStart + kTagHeaderBytes > field) return std::nullopt;
  // Read the header the way the steps go, so the window keeps serving the tags before it.
  bytes = window.at(tagStart, kTagHeaderBytes + kMediaHeaderBytes, /*backward=*/true);
  if (bytes == nullptr || window.available(tagStart) < kTagHeaderBytes) return std::nullopt;
  const TagHeader header = readTagHeader(bytes);
  if (!knownTagType(header.type) || tagStart + kTagHeaderBytes + header.dataSize != field)
    return std::nullopt;
  return timeOf(tagStart, header, bytes + kTagHeaderBytes,
                window.available(tagStart) - kTagHeaderBytes);
}

// The times of the last tags, stepping back from the field at `field` while the fields chain;
// nothing when the field there is not right.
std::optional<TagTimes> chainBack(InputWindow& window, int64_t field, int64_t firstTag) {
  std::vector<TagTime> tags;
  while (static_cast<int>(tags.size()) < kTailTags && field > firstTag) {
    const auto tag = tagBefore(window, field, firstTag);
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
std::optional<TagTimes> lastWholeTags(InputWindow& window, int64_t firstTag, int64_t fileSize,
                                      int64_t searched) {
  const int64_t lowest = std::max(firstTag, fileSize - searched);
  std::vector<uint8_t> stretch(static_cast<std::size_t>(fileSize - lowest));
  const ssize_t got = window.source().readAt(lowest, stretch.data(), stretch.size());
  if (got != static_cast<ssize_t>(stretch.size())) return std::nullopt;
  for (int64_t at = fileSize - kTagHeaderBytes - kFieldBytes; at >= lowest; --at) {
    const uint8_t* bytes = stretch.data() + (at - lowest);
    if (!knownTagType(bytes[0] & 0x1f)) continue;
    const TagHeader header = readTagHeader(bytes);
    const int64_t field = at + kTagHeaderBytes + header.dataSize;
    if (field + kFieldBytes > fileSize ||
        bigEndian(stretch.data() + (field - lowest), kFieldBytes) != kTagHeaderBytes + header.dataSize)
      continue;
    auto times = chainBack(window, field, firstTag);
    if (times && (at == firstTag || tagBefore(window, at - kFieldBytes, firstTag))) return times;
  }
  return std::nullopt;
}

// The times of the file's last tags: from its last field, or, in a file cut short, from the
// field after its last whole tag, looked for close to the end first.
std::optional<TagTimes> tailTimes(InputWindow& window, int64_t firstTag, int64_t fileSize) {
  if (auto times = chainBack(window, fileSize - kFieldBytes, firstTag)) return times;
  for (const int64_t searched : kTailSearchBytes) {
    if (auto times = lastWholeTags(window, firstTag, fileSize, searched)) return times;
    if (searched >= fileSize - firstTag) break;
  }
  return std::nullopt;
}

// Whether a file of `bytes` holds media from `startMs` to `endMs`, as far as its ends tell.
// A frame of any kind takes more than its tag's 15 bytes, and there are several a second: a
// span far longer than that allows (a damaged timestamp in the last tags) is not believed.
// Where the ends show the rate the tags take, a file far larger or smaller than the span
// takes at that rate holds another length than the span: its times started again or jumped.
bool spanFits(int64_t startMs, int64_t endMs, int64_t bytes, const TagTimes& head,
              const TagTimes& tail) {
  constexpr int64_t kLeastBytesPerSecond = 64;
  if (endMs - startMs > bytes * 1000 / kLeastBytesPerSecond) return false;
  const auto headRate = head.bytesPerSecond();
  const auto tailRate = tail.bytesPerSecond();
  if (!headRate || !tailRate) return true;
  const double seconds = static_cast<double>(endMs - startMs) / 1000;
  const double most = seconds * std::max(*headRate, *tailRate) * kRateFactor;
  const double least = seconds * std::min(*headRate, *tailRate) / kRateFactor;
  return static_cast<double>(bytes) <= most && static_cast<double>(bytes) >= least;
}

}  // namespace

std::optional<FlvLayout> examineFlvTags(SourceInput& input) {
  if (!input.seekable()) return std::nullopt;
  const int64_t fileSize = input.size();
  uint8_t bytes[kFileHeaderBytes];
  const ssize_t got = input.readAt(0, bytes, sizeof bytes);
  const auto header = readFileHeader(bytes, got > 0 ? static_cast<std::size_t>(got) : 0);
  if (!header) return std::nullopt;
  FlvLayout layout;
  layout.firstTag = int64_t{header->dataOffset} + kFieldBytes;
  if (header->dataOffset < kFileHeaderBytes || layout.firstTag >= fileSize) return layout;
  InputWindow window(input, 64 << 10);
  const Walk head = walkForward(window, layout.firstTag, kHeadTags, /*fieldsWrong=*/false);
  layout.tagSizesWrong = head.wrongFields >= kWrongFieldsToIgnore;
  // A file whose fields are wrong is walked whatever its ends say.
  const auto tail = layout.tagSizesWrong ? std::nullopt : tailTimes(window, layout.firstTag, fileSize);
  if (tail && head.times.start() && tail->end() &&
      spanFits(*head.times.start(), *tail->end(), fileSize - layout.firstTag, head.times, *tail)) {
    layout.startMs = head.times.start();
    layout.endMs = tail->end();
    layout.lastTagsFromMs = tail->earliest();
    return layout;
  }
  // The fields are wrong, the ends hold no media, or their times do not fit the file: every
  // tag is walked, the way a reading of the file goes.
  InputWindow large(input, 1 << 20);
  const Walk whole = walkForward(large, layout.firstTag, INT64_MAX, layout.tagSizesWrong);
  layout.startMs = whole.times.start();
  layout.endMs = whole.times.end();
  layout.walked = true;
  return layout;
}

}  // namespace vidmora_encoder::flv
