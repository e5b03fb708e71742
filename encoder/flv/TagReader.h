#pragma once
#include <cstdint>
#include <optional>

#include "encoder/flv/FlvFormat.h"
#include "encoder/flv/InputWindow.h"
// Walks an FLV file's tags forward, one whole tag at a time, the way every reading of the file
// goes: the demuxer, the survey, the workers that seek to a key frame, and the length of a file
// whose ends do not tell it.
//
// Each tag is taken by its header's data size. Its PreviousTagSize field is checked: where it
// is wrong but a tag follows where the size says, the tag is taken all the same (some writers
// get every field wrong); where nothing does, the tag is damaged and the walk finds its way to
// the next whole tag (one whose own field is right), passing over the damage. A tag of a type
// the format does not define is stepped over by its size. Told that the fields are wrong, the
// walk goes by the sizes alone and ends at a tag that runs past the end of the file.

namespace vidmora_encoder::flv {

// A whole tag: where it is, its header and its data (valid until the next read).
struct Tag {
  int64_t offset = 0;  // of its header
  TagHeader header;
  const uint8_t* data = nullptr;
};

class TagReader {
 public:
  // Walks the tags of `window`'s source from the one whose header is at `firstTag`.
  TagReader(InputWindow& window, int64_t firstTag, bool fieldsWrong);

  // The next whole audio, video or script tag; nothing at the end of the file. Throws
  // StoppedEarly at a stop.
  std::optional<Tag> next();
  // Lets the window forget what the walk has passed (of a stream: else it keeps every byte,
  // for another walk from the start).
  void forgetPassedBytes() { forgetting = true; }
  // Goes on from the tag whose header is at `offset` (of a regular file).
  void seek(int64_t offset) { position = offset; }
  // Where the next tag's header is looked for.
  int64_t offset() const { return position; }
  // The fields found wrong so far (of tags taken all the same).
  int wrongFields() const { return wrong; }
  // Whether the walk went past damage, finding its way to a whole tag again.
  bool passedDamage() const { return resynced; }

 private:
  // Whether a tag's header could start at `offset`: a defined type and a size that fits in the
  // file, or the file's end.
  bool tagCouldStartAt(int64_t offset);
  // The next whole tag after `from` whose own field is right; false when there is none.
  bool findWholeTag(int64_t from);

  InputWindow& window;
  int64_t position;
  bool goBySizes;
  int wrong = 0;
  bool resynced = false;
  bool forgetting = false;
};

}  // namespace vidmora_encoder::flv
