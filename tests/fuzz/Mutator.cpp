#include "tests/fuzz/Mutator.h"

#include <algorithm>
#include <functional>

#include "tests/fixtures/FlvTags.h"

namespace encoder_fuzz {

namespace {

using flv_fixture::kTagHeaderBytes;
using Tag = flv_fixture::TagSpan;
constexpr std::size_t kFileHeaderBytes = 9;

class Mutation {
 public:
  Mutation(Bytes& mutated, std::mt19937_64& draws) : bytes(mutated), random(draws) {}

  // Applies one randomly chosen mutation and names it.
  std::string applyOne() {
    using Step = std::string (Mutation::*)();
    static const Step kSteps[] = {
        &Mutation::flipBit,       &Mutation::interestingByte, &Mutation::interestingWord,
        &Mutation::truncate,      &Mutation::duplicateChunk,  &Mutation::removeChunk,
        &Mutation::tagType,       &Mutation::tagSize,         &Mutation::tagTimestamp,
        &Mutation::tagCodecFlags, &Mutation::tagPacketType,   &Mutation::duplicateTag,
        &Mutation::removeTag,     &Mutation::swapTags,        &Mutation::fileHeader,
    };
    if (bytes.empty()) bytes.assign(kFileHeaderBytes, 0);
    return (this->*kSteps[below(std::size(kSteps))])();
  }

 private:
  std::size_t below(std::size_t bound) {
    return bound == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
  }
  std::size_t offset() { return below(bytes.size()); }
  std::string at(const char* what, std::size_t where) {
    return std::string(what) + "@" + std::to_string(where);
  }

  // The tags as the file's headers chain them, up to the first that runs past the end.
  std::vector<Tag> tags() const { return flv_fixture::walkTags(bytes); }
  // Applies `change` to a random tag, or a bit flip when there is none.
  std::string onTag(const char* what, const std::function<void(const Tag&)>& change) {
    const auto all = tags();
    if (all.empty()) return flipBit();
    const Tag tag = all[below(all.size())];
    change(tag);
    return at(what, tag.at);
  }
  uint8_t interestingValue() {
    static const uint8_t kValues[] = {0x00, 0x01, 0x02, 0x08, 0x09, 0x0a, 0x10, 0x12,
                                      0x20, 0x40, 0x7f, 0x80, 0xaf, 0xfe, 0xff};
    return kValues[below(std::size(kValues))];
  }

  std::string flipBit() {
    const std::size_t where = offset();
    bytes[where] ^= static_cast<uint8_t>(1u << below(8));
    return at("flip", where);
  }
  std::string interestingByte() {
    const std::size_t where = offset();
    bytes[where] = interestingValue();
    return at("byte", where);
  }
  std::string interestingWord() {
    static const uint32_t kWords[] = {0,      1,          0x7fff,     0x8000,
                                      0xffff, 0x7fffffff, 0x80000000, 0xffffffff};
    const uint32_t word = kWords[below(std::size(kWords))];
    const std::size_t where = offset();
    for (std::size_t i = 0; i < 4 && where + i < bytes.size(); ++i)
      bytes[where + i] = static_cast<uint8_t>(word >> (8 * (3 - i)));
    return at("word", where);
  }
  std::string truncate() {
    const std::size_t where = offset();
    bytes.resize(std::max<std::size_t>(where, 1));
    return at("truncate", where);
  }
  std::string duplicateChunk() {
    const std::size_t from = offset();
    const std::size_t length = std::min(below(4096) + 1, bytes.size() - from);
    const Bytes chunk(bytes.begin() + from, bytes.begin() + from + length);
    const std::size_t to = offset();
    bytes.insert(bytes.begin() + to, chunk.begin(), chunk.end());
    return at("duplicate", from);
  }
  std::string removeChunk() {
    const std::size_t from = offset();
    const std::size_t length = std::min(below(4096) + 1, bytes.size() - from);
    bytes.erase(bytes.begin() + from, bytes.begin() + from + length);
    return at("remove", from);
  }
  std::string tagType() {
    return onTag("tag-type", [&](const Tag& tag) {
      static const uint8_t kTypes[] = {8, 9, 18, 0, 0x1f, 0x28};
      bytes[tag.at] = kTypes[below(std::size(kTypes))];
    });
  }
  std::string tagSize() {
    return onTag("tag-size", [&](const Tag& tag) {
      static const long kDeltas[] = {-1, 1, -4, 4, -11, 100, -100000, 0xffffff};
      const long size = std::max(0L, std::min(0xffffffL, static_cast<long>(tag.size) +
                                                             kDeltas[below(std::size(kDeltas))]));
      for (int i = 0; i < 3; ++i)
        bytes[tag.at + 1 + i] = static_cast<uint8_t>(size >> (8 * (2 - i)));
    });
  }
  std::string tagTimestamp() {
    return onTag("tag-time", [&](const Tag& tag) {
      const std::size_t byte = tag.at + 4 + below(4);  // three bytes, then the extended one
      bytes[byte] = below(2) != 0 ? interestingValue() : static_cast<uint8_t>(bytes[byte] + 1);
    });
  }
  std::string tagCodecFlags() {
    return onTag("tag-codec", [&](const Tag& tag) {
      if (tag.size > 0) bytes[tag.at + kTagHeaderBytes] = static_cast<uint8_t>(below(256));
    });
  }
  std::string tagPacketType() {
    return onTag("tag-packet-type", [&](const Tag& tag) {
      if (tag.size > 1) bytes[tag.at + kTagHeaderBytes + 1] = static_cast<uint8_t>(below(4));
    });
  }
  std::string duplicateTag() {
    return onTag("tag-duplicate", [&](const Tag& tag) {
      const std::size_t length = kTagHeaderBytes + tag.size + 4;
      const Bytes copy(bytes.begin() + tag.at,
                       bytes.begin() + std::min(bytes.size(), tag.at + length));
      bytes.insert(bytes.begin() + tag.at, copy.begin(), copy.end());
    });
  }
  std::string removeTag() {
    return onTag("tag-remove", [&](const Tag& tag) {
      const std::size_t end = std::min(bytes.size(), tag.at + kTagHeaderBytes + tag.size + 4);
      bytes.erase(bytes.begin() + tag.at, bytes.begin() + end);
    });
  }
  std::string swapTags() {
    const auto all = tags();
    if (all.size() < 2) return flipBit();
    const std::size_t first = below(all.size() - 1);
    const Tag a = all[first], b = all[first + 1];
    const std::size_t end = std::min(bytes.size(), b.at + kTagHeaderBytes + b.size + 4);
    Bytes swapped(bytes.begin() + b.at, bytes.begin() + end);
    swapped.insert(swapped.end(), bytes.begin() + a.at, bytes.begin() + b.at);
    std::copy(swapped.begin(), swapped.end(), bytes.begin() + a.at);
    return at("tag-swap", a.at);
  }
  std::string fileHeader() {
    if (bytes.size() < kFileHeaderBytes) return flipBit();
    const std::size_t where = below(2) != 0 ? 4 : 5 + below(4);  // flags, or the data offset
    bytes[where] = interestingValue();
    return at("header", where);
  }

  Bytes& bytes;
  std::mt19937_64& random;
};

}  // namespace

Bytes mutate(const Bytes& input, std::mt19937_64& random, std::vector<std::string>& applied) {
  Bytes bytes = input;
  Mutation mutation(bytes, random);
  const int count = std::uniform_int_distribution<int>(1, 4)(random);
  for (int i = 0; i < count; ++i) applied.push_back(mutation.applyOne());
  return bytes;
}

}  // namespace encoder_fuzz
