#pragma once
#include <cstdint>
#include <optional>

#include "encoder/SourceInput.h"
// What the encoder learns of an FLV file from its tag headers alone, without demuxing: where
// its media starts and ends, and whether its PreviousTagSize fields chain the tags together.
//
// Cheap for a well-formed file of any length: it reads the first tags, and steps back from
// the end over the last ones by their PreviousTagSize fields (a file cut short is searched
// back for its last whole tag). Only when those fields are wrong does it walk every tag.
// Some writers get every one of them wrong; the demuxer, which checks them, then gives up on
// the whole file unless it is told to ignore them.

namespace vidmora_encoder {

struct FlvLayout {
  // The media's start and end in milliseconds, from the audio and video tags' timestamps
  // (the last frame counted as long as the gap before it); nothing without such tags.
  std::optional<int64_t> startMs;
  std::optional<int64_t> endMs;
  // The earliest time written in the last tags, when they were read on their own: a reader
  // that ends before it has stopped short of the file's end.
  std::optional<int64_t> lastTagsFromMs;
  // The PreviousTagSize fields are wrong: the demuxer must not go by them.
  bool tagSizesWrong = false;
};

// Nothing when `input` is not a regular file that starts as an FLV file. Throws StoppedEarly
// at a stop.
std::optional<FlvLayout> examineFlvTags(SourceInput& input);

}  // namespace vidmora_encoder
