#pragma once
#include <cstdint>
#include <optional>

#include "encoder/SourceInput.h"
// What the encoder learns of an FLV file from its tags' headers alone, without demuxing: where
// its media starts and ends (the seconds it holds, restarts and jumps in its times taken out),
// and whether its PreviousTagSize fields chain the tags together.
//
// Cheap for a well-formed file of any length: it reads the first tags, and steps back from the
// end over the last ones by their PreviousTagSize fields (a file cut short is searched back for
// its last whole tag). It walks every tag only where those ends cannot tell: the fields are
// wrong, the ends hold no media, or the file's size does not fit the span the ends give at
// the rate their tags take (a recording whose times start again at 0, or jump).

namespace vidmora_encoder::flv {

struct FlvLayout {
  // The media's start and end in milliseconds, from the audio and video tags' timestamps
  // (the last frame counted as long as the gap before it; a time that jumps by seconds taken
  // as going on where the stream was); nothing without such tags.
  std::optional<int64_t> startMs;
  std::optional<int64_t> endMs;
  // The earliest time written in the last tags, when they were read on their own: a reader
  // that ends before it has stopped short of the file's end.
  std::optional<int64_t> lastTagsFromMs;
  // Where the first tag's header is.
  int64_t firstTag = 0;
  // The PreviousTagSize fields are wrong: a reading must go by the tags' sizes alone.
  bool tagSizesWrong = false;
  // Every tag was walked to find the span.
  bool walked = false;
};

// Nothing when `input` is not a regular file that starts as an FLV file. Throws StoppedEarly
// at a stop.
std::optional<FlvLayout> examineFlvTags(SourceInput& input);

}  // namespace vidmora_encoder::flv
