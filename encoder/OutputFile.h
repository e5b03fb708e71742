#pragma once
#include <string>

#include "encoder/FfmpegPointers.h"
// The output container, written to a temporary file beside the target and renamed onto the
// target only by commit, so a failed run leaves an existing target as it was.

namespace vidmora_encoder {

class OutputFile {
 public:
  // Sets up the muxer `muxerName` for `target`; nothing is written yet.
  OutputFile(const std::string& target, const char* muxerName);
  // Removes the temporary file unless commit succeeded.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // True when encoders must put their headers in the stream parameters.
  bool wantsGlobalHeader() const;
  // Adds a stream carrying what the opened `encoder` produces.
  AVStream* addStream(const AVCodecContext* encoder);
  // Creates the temporary file and writes the container header; throws EncoderError.
  void open();
  // Writes one packet of `stream`, timed in `encoderTimeBase`; throws EncoderError.
  void write(AVPacket* packet, AVStream* stream, AVRational encoderTimeBase);
  // Finishes the container and renames the temporary file onto the target; throws.
  void commit();
  // Bytes written so far (the whole file after commit).
  int64_t size() const;

  const std::string& temporaryPath() const { return temporaryPath_; }

 private:
  struct ContextFree {
    void operator()(AVFormatContext* c) const;
  };
  std::string target_;
  std::string temporaryPath_;
  std::unique_ptr<AVFormatContext, ContextFree> context_;
  int64_t finalSize_ = 0;
  bool opened_ = false;
  bool committed_ = false;
};

// The temporary name beside `target`: same folder, hidden, unique to this process.
std::string temporaryPathFor(const std::string& target);

}  // namespace vidmora_encoder
