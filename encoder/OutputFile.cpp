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

constexpr int kBufferBytes = 1 << 16;

std::string writeFailure(const std::string& target, int code) {
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

void OutputFile::IoFree::operator()(AVIOContext* io) const {
  av_freep(&io->buffer);
  avio_context_free(&io);
}

OutputFile::Descriptor::~Descriptor() {
  if (fd >= 0) ::close(fd);
}

OutputFile::OutputFile(const std::string& target, const char* muxerName, Naming naming)
    : target_(target), temporaryName_(encoder_contract::temporaryFileName(::getpid())) {
  AVFormatContext* context = nullptr;
  throwIfFailed(avformat_alloc_output_context2(&context, nullptr, muxerName, nullptr),
                "cannot set up the output container");
  context_.reset(context);
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  if (buffer != nullptr)
    io_.reset(avio_alloc_context(buffer, kBufferBytes, 1, this, nullptr, writeToFile, seekInFile));
  if (!io_) {
    av_free(buffer);
    throw EncoderError("out of memory");
  }
  context_->pb = io_.get();
  context_->flags |= AVFMT_FLAG_CUSTOM_IO;
  const auto [folder, name] = splitPath(target);
  name_ = name;
  if (name_.empty()) throw EncoderError("cannot create " + target + ": it names a folder");
  folder_.fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder_.fd < 0) throw EncoderError(systemFailure("cannot create " + target));
  replacing_ = examineTarget();
  createFile(naming);
}

OutputFile::~OutputFile() {
  if (named_) ::unlinkat(folder_.fd, temporaryName_.c_str(), 0);
}

bool OutputFile::examineTarget() const {
  struct stat status {};
  if (::fstatat(folder_.fd, name_.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return false;
    throw EncoderError(systemFailure("cannot create " + target_));
  }
  // Whatever is there is replaced only if it is a file the user could read back.
  const int existing =
      ::openat(folder_.fd, name_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (existing < 0)
    throw EncoderError(systemFailure("cannot replace " + target_) + "; it was left as it is");
  const bool regular = ::fstat(existing, &status) == 0 && S_ISREG(status.st_mode);
  ::close(existing);
  if (!regular)
    throw EncoderError("cannot replace " + target_ +
                       ": it is not a regular file; it was left as it is");
  return true;
}

void OutputFile::createFile(Naming naming) {
  if (naming == Naming::Unnamed) {
    file_.fd = ::openat(folder_.fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (file_.fd >= 0) return;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
      throw EncoderError(systemFailure("cannot create " + target_));
  }
  // A file under this name can only be left by an earlier process that had this pid.
  ::unlinkat(folder_.fd, temporaryName_.c_str(), 0);
  file_.fd = ::openat(folder_.fd, temporaryName_.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (file_.fd < 0) throw EncoderError(systemFailure("cannot create " + target_));
  named_ = true;
}

int OutputFile::writeToFile(void* opaque, uint8_t* data, int size) {
  const int file = static_cast<OutputFile*>(opaque)->file_.fd;
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
  const int file = static_cast<OutputFile*>(opaque)->file_.fd;
  if (whence & AVSEEK_SIZE) {
    struct stat status {};
    return ::fstat(file, &status) == 0 ? status.st_size : AVERROR(errno);
  }
  const off_t at = ::lseek(file, offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(errno) : at;
}

bool OutputFile::wantsGlobalHeader() const {
  return (context_->oformat->flags & AVFMT_GLOBALHEADER) != 0;
}

AVStream* OutputFile::addStream(const AVCodecContext* encoder) {
  AVStream* stream = avformat_new_stream(context_.get(), nullptr);
  if (stream == nullptr) throw EncoderError("out of memory");
  throwIfFailed(avcodec_parameters_from_context(stream->codecpar, encoder),
                "cannot set up an output stream");
  stream->time_base = encoder->time_base;
  if (encoder->codec_type == AVMEDIA_TYPE_VIDEO) stream->avg_frame_rate = encoder->framerate;
  return stream;
}

void OutputFile::open() {
  const int written = avformat_write_header(context_.get(), nullptr);
  if (written < 0) throw EncoderError(writeFailure(target_, written));
}

void OutputFile::write(AVPacket* packet, AVStream* stream, AVRational encoderTimeBase) {
  packet->stream_index = stream->index;
  av_packet_rescale_ts(packet, encoderTimeBase, stream->time_base);
  std::lock_guard lock(writing_);
  const int written = av_interleaved_write_frame(context_.get(), packet);
  if (written < 0) throw EncoderError(writeFailure(target_, written));
  if (io_->error < 0) throw EncoderError(writeFailure(target_, io_->error));
  ++packets_;
}

void OutputFile::nameTemporary() {
  ::unlinkat(folder_.fd, temporaryName_.c_str(), 0);
  if (linkDescriptor(file_.fd, folder_.fd, temporaryName_) != 0)
    throw EncoderError(systemFailure("cannot replace " + target_));
  named_ = true;
}

void OutputFile::linkWithoutReplacing() {
  int result;
  if (named_) {
    result = ::renameat2(folder_.fd, temporaryName_.c_str(), folder_.fd, name_.c_str(),
                         RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
      // A file system without the flag: a hard link refuses an existing name just the same.
      result = ::linkat(folder_.fd, temporaryName_.c_str(), folder_.fd, name_.c_str(), 0);
      if (result == 0) ::unlinkat(folder_.fd, temporaryName_.c_str(), 0);
    }
  } else {
    result = linkDescriptor(file_.fd, folder_.fd, name_);
  }
  if (result != 0 && errno == EEXIST)
    throw EncoderError(target_ +
                       " appeared while converting; it was kept, and this output discarded");
  if (result != 0) throw EncoderError(systemFailure("cannot create " + target_));
  named_ = false;
}

void OutputFile::commit() {
  std::lock_guard lock(writing_);
  const int finished = av_write_trailer(context_.get());
  if (finished < 0) throw EncoderError(writeFailure(target_, finished));
  avio_flush(io_.get());
  if (io_->error < 0) throw EncoderError(writeFailure(target_, io_->error));
  finalSize_ = avio_size(io_.get());
  if (replacing_) {
    // The old file goes only once the new one is safely on the disk.
    if (::fdatasync(file_.fd) != 0) throw EncoderError(writeFailure(target_, AVERROR(errno)));
    if (!named_) nameTemporary();
    if (::renameat(folder_.fd, temporaryName_.c_str(), folder_.fd, name_.c_str()) != 0)
      throw EncoderError(systemFailure("cannot replace " + target_));
    named_ = false;
  } else {
    linkWithoutReplacing();
  }
  committed_ = true;
}

int64_t OutputFile::size() const {
  std::lock_guard lock(writing_);
  return committed_ ? finalSize_ : avio_tell(io_.get());
}

int64_t OutputFile::packets() const {
  std::lock_guard lock(writing_);
  return packets_;
}

}  // namespace vidmora_encoder
