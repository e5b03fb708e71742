// output_quality SOURCE OUTPUT: what a conversion made of its source. Per stream of OUTPUT its
// bit rate and a checksum of its packets (equal checksums: the same encoded stream), and the
// PSNR of OUTPUT's video against SOURCE's, frame by frame in order (both at the same size).
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "encoder/FfmpegPointers.h"
extern "C" {
#include <libavutil/adler32.h>
}

using vidmora_encoder::CodecContextPtr;
using vidmora_encoder::FramePtr;
using vidmora_encoder::InputContextPtr;
using vidmora_encoder::PacketPtr;

namespace {

// The decoded video of a file, read a frame at a time.
class VideoReader {
 public:
  explicit VideoReader(const char* path) : packet(av_packet_alloc()) {
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path, nullptr, nullptr) < 0) return;
    input.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0) return;
    stream = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0) return;
    const AVCodecParameters* parameters = context->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    decoder.reset(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(decoder.get(), parameters);
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) decoder.reset();
  }
  bool opened() const { return decoder != nullptr; }
  AVFormatContext* context() const { return input.get(); }

  // The next frame in presentation order, or nullptr at the end.
  FramePtr next() {
    FramePtr frame(av_frame_alloc());
    for (;;) {
      if (avcodec_receive_frame(decoder.get(), frame.get()) == 0) return frame;
      if (ended) return nullptr;
      bool sent = false;
      while (!sent && av_read_frame(input.get(), packet.get()) >= 0) {
        sent = packet->stream_index == stream;
        if (sent) avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
      }
      if (!sent) {
        avcodec_send_packet(decoder.get(), nullptr);
        ended = true;
      }
    }
  }

 private:
  InputContextPtr input;
  CodecContextPtr decoder;
  PacketPtr packet;
  int stream = -1;
  bool ended = false;
};

double squaredError(const AVFrame* a, const AVFrame* b, int plane, int width, int height) {
  double sum = 0;
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = a->data[plane] + y * a->linesize[plane];
    const uint8_t* q = b->data[plane] + y * b->linesize[plane];
    for (int x = 0; x < width; ++x) sum += (p[x] - q[x]) * (p[x] - q[x]);
  }
  return sum;
}

// Bytes, duration and payload checksum of each stream of `path`.
void printStreams(const char* path) {
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, path, nullptr, nullptr) < 0) return;
  InputContextPtr context(opened);
  avformat_find_stream_info(opened, nullptr);
  struct Totals {
    int64_t bytes = 0;
    int64_t packets = 0;
    unsigned long checksum = 1;
  };
  std::vector<Totals> totals(opened->nb_streams);
  PacketPtr packet(av_packet_alloc());
  while (av_read_frame(opened, packet.get()) >= 0) {
    Totals& stream = totals[packet->stream_index];
    stream.bytes += packet->size;
    ++stream.packets;
    stream.checksum = av_adler32_update(stream.checksum, packet->data, packet->size);
    av_packet_unref(packet.get());
  }
  const double seconds = opened->duration > 0 ? opened->duration / double(AV_TIME_BASE) : 0;
  for (unsigned i = 0; i < opened->nb_streams; ++i) {
    const AVCodecParameters* parameters = opened->streams[i]->codecpar;
    std::printf("  %-10s %7lld packets %10lld bytes %8.1f kbit/s  checksum %08lx\n",
                avcodec_get_name(parameters->codec_id), static_cast<long long>(totals[i].packets),
                static_cast<long long>(totals[i].bytes),
                seconds > 0 ? totals[i].bytes * 8 / seconds / 1000 : 0, totals[i].checksum);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: output_quality SOURCE OUTPUT\n");
    return 2;
  }
  av_log_set_level(AV_LOG_QUIET);
  std::printf("%s:\n", argv[2]);
  printStreams(argv[2]);
  VideoReader source(argv[1]), output(argv[2]);
  if (!source.opened() || !output.opened()) return 0;
  double luma = 0, all = 0;
  int64_t frames = 0, lumaSamples = 0;
  for (FramePtr a = source.next(), b = output.next(); a && b;
       a = source.next(), b = output.next()) {
    if (a->width != b->width || a->height != b->height || a->format != AV_PIX_FMT_YUV420P ||
        b->format != AV_PIX_FMT_YUV420P) {
      std::printf("  video: no PSNR (the sizes or pixel formats differ)\n");
      return 0;
    }
    const double y = squaredError(a.get(), b.get(), 0, a->width, a->height);
    luma += y;
    all += y + squaredError(a.get(), b.get(), 1, a->width / 2, a->height / 2) +
           squaredError(a.get(), b.get(), 2, a->width / 2, a->height / 2);
    lumaSamples += int64_t{a->width} * a->height;
    ++frames;
  }
  auto psnr = [](double error, double samples) {
    return error > 0 ? 10 * std::log10(255.0 * 255.0 * samples / error) : INFINITY;
  };
  std::printf("  video PSNR over %lld frames: Y %.3f dB, YUV %.3f dB\n",
              static_cast<long long>(frames), psnr(luma, lumaSamples),
              psnr(all, lumaSamples * 1.5));
  return 0;
}
