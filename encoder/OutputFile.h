#pragma once
#include <cstdint>
#include <mutex>
#include <string>

#include "encoder/FfmpegPointers.h"
#include "platform/UniqueFd.h"
// The output container. It is written to a file without a name in the target's folder
// (O_TMPFILE), which takes the target's name only by commit, so no run that ends before,
// however it ends, leaves a partial or temporary file behind. A file system that cannot make
// files without a name gets the short name encoder_contract::temporaryFileName(pid) instead.
// FFmpeg writes through callbacks on the descriptor; paths never reach its URL handling.
//
// The target is examined when the output is set up, before anything is converted. A target
// that is absent then is never replaced: a file that appears there meanwhile is kept and
// commit fails. A regular file there is replaced atomically by commit.

namespace vidmora_encoder {

class OutputFile {
 public:
  // How the file is made while it is written. Named is the fallback for file systems without
  // O_TMPFILE; the encoder picks it by itself, tests may force it.
  enum class Naming { Unnamed, Named };

  // Examines the target `path`, creates the file in its folder and sets up the muxer
  // `muxerName`; throws EncoderError when the target is present but no regular file that can
  // be read (a symbolic link is none, whatever it points to), or the folder takes no file.
  OutputFile(const std::string& path, const char* muxerName, Naming naming = Naming::Unnamed);
  // Discards the file unless commit succeeded.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // True when a file was at the target when the run started.
  bool replacesExisting() const { return replacing; }
  // True when encoders must put their headers in the stream parameters.
  bool wantsGlobalHeader() const;
  // Adds a stream carrying what the opened `encoder` produces.
  AVStream* addStream(const AVCodecContext* encoder);
  // Adds a stream carrying packets copied from a source stream with `parameters`, timed in
  // `timeBase`.
  AVStream* addStream(const AVCodecParameters* parameters, AVRational timeBase);
  // Writes the container header; throws EncoderError.
  void open();
  // Writes one packet of `stream`, timed in `encoderTimeBase`, interleaved with the other
  // streams' packets by their times; throws EncoderError. Safe from several threads.
  void write(AVPacket* packet, AVStream* stream, AVRational encoderTimeBase);
  // Finishes the container and gives the file the target's name: in place of the file that
  // was there at the start, else only while the name is still free. Throws EncoderError, also
  // when a file appeared at a free target meanwhile (that file is kept).
  void commit();
  // Bytes written so far (the whole file after commit), and packets written; also while
  // another thread writes.
  int64_t size() const;
  int64_t packets() const;

 private:
  struct ContextFree {
    void operator()(AVFormatContext* c) const { avformat_free_context(c); }
  };
  bool examineTarget() const;
  void createFile(Naming naming);
  // Gives the unnamed file the temporary name.
  void nameTemporary();
  void linkWithoutReplacing();
  static int writeToFile(void* opaque, uint8_t* data, int size);
  static int64_t seekInFile(void* opaque, int64_t offset, int whence);

  std::string target;
  std::string name;           // the target's last component
  std::string temporaryName;  // encoder_contract::temporaryFileName of this process
  UniqueFd folder;  // O_PATH descriptor of the target's folder
  UniqueFd file;
  bool named = false;  // the file is in the folder under temporaryName
  bool replacing = false;
  mutable std::mutex writing;  // the muxer takes one packet at a time
  IoContextPtr io;  // writes to file; context writes through it
  std::unique_ptr<AVFormatContext, ContextFree> context;
  int64_t writtenPackets = 0;
  int64_t finalSize = 0;
  bool committed = false;
};

}  // namespace vidmora_encoder
