#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "encoder/SourceInput.h"
// What the encoder learns of an FLV file from its tag headers alone, without demuxing: where
// its media starts and ends, and whether its PreviousTagSize fields chain the tags together.
//
// Cheap for a well-formed file of any length: it reads the first tags, and steps back from
// the end over the last ones by their PreviousTagSize fields (a file cut short is searched
// back for its last whole tag). Only when those fields are wrong does it walk every tag.
// Some writers get every one of them wrong; the demuxer, which checks them, then gives up on
// the whole file, so such a file is read with each field corrected.

namespace vidmora_encoder {

// The PreviousTagSize fields of a file whose own ones are wrong, as they should read. Four
// bytes a tag: each field is known by its distance from the one before.
class FlvTagSizes {
 public:
  // Adds the next field of the chain, at `offset` (after every field added before).
  void add(int64_t offset);
  // How many fields the chain holds.
  std::size_t fields() const { return fieldCount; }
  // Writes the right value of every field that overlaps `buffer`, which holds `count` bytes
  // of the file from `offset`.
  void apply(int64_t offset, uint8_t* buffer, int count) const;

 private:
  std::vector<uint32_t> steps;         // field k+1's offset minus field k's
  std::vector<int64_t> checkpoints;    // the offset of every kStride-th field
  int64_t last = 0;                    // the offset of the last field added
  std::size_t fieldCount = 0;
};

struct FlvLayout {
  // The media's start and end in milliseconds, from the audio and video tags' timestamps
  // (the last frame counted as long as the gap before it); nothing without such tags.
  std::optional<int64_t> startMs;
  std::optional<int64_t> endMs;
  // The corrected fields, for a file whose own are wrong.
  std::optional<FlvTagSizes> corrections;
};

// Nothing when `input` is not a regular file that starts as an FLV file. Throws StoppedEarly
// at a stop.
std::optional<FlvLayout> examineFlvTags(SourceInput& input);

}  // namespace vidmora_encoder
