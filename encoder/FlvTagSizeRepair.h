#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "encoder/FfmpegPointers.h"
// Some .flv writers get every PreviousTagSize field wrong. The demuxer checks those fields
// and, finding none right, gives up on the whole file. The tag headers themselves are fine,
// so this reader walks them, works out what each PreviousTagSize should say, and serves the
// file to the demuxer with those fields corrected; every other byte is read as it is.

namespace vidmora_encoder {

class FlvTagSizeRepair {
 public:
  // A reader for `path` when it is an FLV file with wrong PreviousTagSize fields; nothing
  // for any other file (which the demuxer then reads directly).
  static std::unique_ptr<FlvTagSizeRepair> forFile(const std::string& path);
  FlvTagSizeRepair(const FlvTagSizeRepair&) = delete;
  FlvTagSizeRepair& operator=(const FlvTagSizeRepair&) = delete;

  // The corrected file as a libavformat I/O context, owned by this object.
  AVIOContext* io() const { return ioContext.get(); }
  // How many fields were corrected.
  std::size_t corrections() const { return correctedFields.size(); }

 private:
  FlvTagSizeRepair(std::FILE* opened, int64_t bytes, std::map<int64_t, uint32_t> corrected);
  static int read(void* opaque, uint8_t* buffer, int size);
  static int64_t seek(void* opaque, int64_t offset, int whence);

  struct FileClose {
    void operator()(std::FILE* opened) const { std::fclose(opened); }
  };
  std::unique_ptr<std::FILE, FileClose> file;
  int64_t size;
  int64_t position = 0;
  std::map<int64_t, uint32_t> correctedFields;  // offset of a PreviousTagSize field -> its value
  IoContextPtr ioContext;
};

}  // namespace vidmora_encoder
