#include "encoder/OutputFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "encoder/EncoderError.h"

namespace vidmora_encoder {

namespace {
std::string writeFailure(const std::string& target, int code) {
  if (code == AVERROR(ENOSPC)) return "cannot write " + target + ": the disk is full";
  return "cannot write " + target + ": " + errorText(code);
}
}  // namespace

void OutputFile::ContextFree::operator()(AVFormatContext* c) const {
  if (c->pb != nullptr) avio_closep(&c->pb);
  avformat_free_context(c);
}

std::string temporaryPathFor(const std::string& target) {
  const auto slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "." + name + "." + std::to_string(::getpid()) + ".part";
}

OutputFile::OutputFile(const std::string& target, const char* muxerName)
    : target_(target), temporaryPath_(temporaryPathFor(target)) {
  AVFormatContext* context = nullptr;
  throwIfFailed(avformat_alloc_output_context2(&context, nullptr, muxerName, nullptr),
                "cannot set up the output container");
  context_.reset(context);
}

OutputFile::~OutputFile() {
  if (opened_ && !committed_) {
    context_.reset();  // closes the file before it is removed
    std::remove(temporaryPath_.c_str());
  }
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
  const int created = avio_open(&context_->pb, temporaryPath_.c_str(), AVIO_FLAG_WRITE);
  if (created < 0) throw EncoderError("cannot create " + target_ + ": " + errorText(created));
  opened_ = true;
  const int written = avformat_write_header(context_.get(), nullptr);
  if (written < 0) throw EncoderError(writeFailure(target_, written));
}

void OutputFile::write(AVPacket* packet, AVStream* stream, AVRational encoderTimeBase) {
  packet->stream_index = stream->index;
  av_packet_rescale_ts(packet, encoderTimeBase, stream->time_base);
  const int written = av_interleaved_write_frame(context_.get(), packet);
  if (written < 0) throw EncoderError(writeFailure(target_, written));
  if (context_->pb->error < 0) throw EncoderError(writeFailure(target_, context_->pb->error));
}

void OutputFile::commit() {
  int result = av_write_trailer(context_.get());
  if (result < 0) throw EncoderError(writeFailure(target_, result));
  avio_flush(context_->pb);
  if (context_->pb->error < 0) throw EncoderError(writeFailure(target_, context_->pb->error));
  finalSize_ = avio_size(context_->pb);
  result = avio_closep(&context_->pb);
  if (result < 0) throw EncoderError(writeFailure(target_, result));
  if (std::rename(temporaryPath_.c_str(), target_.c_str()) != 0)
    throw EncoderError("cannot replace " + target_ + ": " + std::strerror(errno));
  committed_ = true;
}

int64_t OutputFile::size() const {
  return context_->pb != nullptr ? avio_tell(context_->pb) : finalSize_;
}

}  // namespace vidmora_encoder
