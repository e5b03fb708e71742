#include "encoder/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "encoder/EncoderError.h"
#include "encoder/contract/EncoderContract.h"

namespace vidmora_encoder {

namespace {

std::string writeFailure(const std::string& target, int code) {
  if (code == AVERROR(ENOMEM)) return "out of memory";
  if (code == AVERROR(ENOSPC)) return "cannot write " + target + ": the disk is full";
  return "cannot write " + target + ": " + errorText(code);
}

std::string systemFailure(const std::string& what) { return what + ": " + std::strerror(errno); }

// Gives the open file `file` the name `name` in `folder`; fails with EEXIST when it is taken.
int linkDescriptor(int file, int folder, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(file);
  return ::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW);
}

// "dir/name" as ("dir", "name"); a bare name lies in ".", "/name" in "/".
std::pair<std::string, std::string> splitPath(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

OutputFile::OutputFile(const std::string& path, const char* muxerName, Naming naming)
    : target(path), temporaryName(encoder_contract::temporaryFileName(::getpid())) {
  AVFormatContext* created = nullptr;
  throwIfFailed(avformat_alloc_output_context2(&created, nullptr, muxerName, nullptr),
                "cannot set up the output container");
  context.reset(created);
  io = allocateIoContext(this, nullptr, writeToFile, seekInFile);
  context->pb = io.get();
  context->flags |= AVFMT_FLAG_CUSTOM_IO;
  const auto [folderPath, lastName] = splitPath(target);
  name = lastName;
  if (name.empty()) throw EncoderError("cannot create " + target + ": it names a folder");
  folder.reset(::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) throw EncoderError(systemFailure("cannot create " + target));
  replacing = examineTarget();
  createFile(naming);
}

OutputFile::~OutputFile() {
  if (named) ::unlinkat(folder.get(), temporaryName.c_str(), 0);
}

bool OutputFile::examineTarget() const {
  // Whatever is there is replaced only if it is a file the user could read back. The name is
  // opened, not followed: a symbolic link is no regular file, whatever it points to.
  const UniqueFd existing(::openat(folder.get(), name.c_str(),
                                   O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
  struct stat status {};
  if (!existing.valid()) {
    if (errno == ENOENT) return false;
    if (errno != ELOOP)
      throw EncoderError(systemFailure("cannot replace " + target) + "; it was left as it is");
  }
  if (!existing.valid() || ::fstat(existing.get(), &status) != 0 || !S_ISREG(status.st_mode))
    throw EncoderError("cannot replace " + target +
                       ": it is not a regular file; it was left as it is");
  return true;
}

void OutputFile::createFile(Naming naming) {
  if (naming == Naming::Unnamed) {
    file.reset(::openat(folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.valid()) return;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
      throw EncoderError(systemFailure("cannot create " + target));
  }
  // A file under this name can only be left by an earlier process that had this pid.
  ::unlinkat(folder.get(), temporaryName.c_str(), 0);
  file.reset(::openat(folder.get(), temporaryName.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!file.valid()) throw EncoderError(systemFailure("cannot create " + target));
  named = true;
}

int OutputFile::writeToFile(void* opaque, uint8_t* data, int size) {
  const int file = static_cast<OutputFile*>(opaque)->file.get();
  for (int left = size; left > 0;) {
    const ssize_t written = ::write(file, data, static_cast<std::size_t>(left));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? AVERROR(errno) : AVERROR(EIO);
    data += written;
    left -= static_cast<int>(written);
  }
  return size;
}

int64_t OutputFile::seekInFile(void* opaque, int64_t offset, int whence) {
  const int file = static_cast<OutputFile*>(opaque)->file.get();
  if (whence & AVSEEK_SIZE) {
    struct stat status {};
    return ::fstat(file, &status) == 0 ? status.st_size : AVERROR(errno);
  }
  const off_t at = ::lseek(file, offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(errno) : at;
}

bool OutputFile::wantsGlobalHeader() const {
  return (context->oformat->flags & AVFMT_GLOBALHEADER) != 0;
}

AVStream* OutputFile::addStream(const AVCodecContext* encoder) {
  AVStream* stream = avformat_new_stream(context.get(), nullptr);
  if (stream == nullptr) throw EncoderError("out of memory");
  throwIfFailed(avcodec_parameters_from_context(stream->codecpar, encoder),
                "cannot set up an output stream");
  stream->time_base = encoder->time_base;
  if (encoder->codec_type == AVMEDIA_TYPE_VIDEO) stream->avg_frame_rate = encoder->framerate;
  return stream;
}

AVStream* OutputFile::addStream(const AVCodecParameters* copied, AVRational timeBase) {
  AVStream* stream = avformat_new_stream(context.get(), nullptr);
  if (stream == nullptr) throw EncoderError("out of memory");
  throwIfFailed(avcodec_parameters_copy(stream->codecpar, copied), "out of memory");
  stream->codecpar->codec_tag = 0;  // the container's own tag for the codec
  stream->time_base = timeBase;
  return stream;
}

void OutputFile::open() {
  const int written = avformat_write_header(context.get(), nullptr);
  if (written < 0) throw EncoderError(writeFailure(target, written));
}

void OutputFile::write(AVPacket* packet, AVStream* stream, AVRational encoderTimeBase) {
  packet->stream_index = stream->index;
  av_packet_rescale_ts(packet, encoderTimeBase, stream->time_base);
  std::lock_guard lock(writing);
  const int written = av_interleaved_write_frame(context.get(), packet);
  if (written < 0) throw EncoderError(writeFailure(target, written));
  if (io->error < 0) throw EncoderError(writeFailure(target, io->error));
  ++writtenPackets;
}

void OutputFile::nameTemporary() {
  ::unlinkat(folder.get(), temporaryName.c_str(), 0);
  if (linkDescriptor(file.get(), folder.get(), temporaryName) != 0)
    throw EncoderError(systemFailure("cannot replace " + target));
  named = true;
}

void OutputFile::linkWithoutReplacing() {
  int result;
  if (named) {
    result = ::renameat2(folder.get(), temporaryName.c_str(), folder.get(), name.c_str(),
                         RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
      // A file system without the flag: a hard link refuses an existing name just the same.
      result = ::linkat(folder.get(), temporaryName.c_str(), folder.get(), name.c_str(), 0);
      if (result == 0) ::unlinkat(folder.get(), temporaryName.c_str(), 0);
    }
  } else {
    result = linkDescriptor(file.get(), folder.get(), name);
  }
  if (result != 0 && errno == EEXIST)
    throw EncoderError(target +
                       " appeared while converting; it was kept, and this output discarded");
  if (result != 0) throw EncoderError(systemFailure("cannot create " + target));
  named = false;
}

void OutputFile::commit() {
  std::lock_guard lock(writing);
  const int finished = av_write_trailer(context.get());
  if (finished < 0) throw EncoderError(writeFailure(target, finished));
  avio_flush(io.get());
  if (io->error < 0) throw EncoderError(writeFailure(target, io->error));
  finalSize = avio_size(io.get());
  if (replacing) {
    // The old file goes only once the new one is safely on the disk.
    if (::fdatasync(file.get()) != 0) throw EncoderError(writeFailure(target, AVERROR(errno)));
    if (!named) nameTemporary();
    if (::renameat(folder.get(), temporaryName.c_str(), folder.get(), name.c_str()) != 0)
      throw EncoderError(systemFailure("cannot replace " + target));
    named = false;
  } else {
    linkWithoutReplacing();
  }
  committed = true;
}

int64_t OutputFile::size() const {
  std::lock_guard lock(writing);
  return committed ? finalSize : avio_tell(io.get());
}

int64_t OutputFile::packets() const {
  std::lock_guard lock(writing);
  return writtenPackets;
}

}  // namespace vidmora_encoder
