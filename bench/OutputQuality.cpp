// output_quality [--raw WIDTHxHEIGHT@RATE] FILE...: what each FILE holds, and how close its
// pictures are to the raw pattern it was made from.
// Per stream of each FILE: its bit rate over the stream's own span and a checksum of its
// packets (equal checksums: the same encoded stream, e.g. sound copied from the source).
// With --raw, the pattern's frames (planar 4:2:0 without row padding, so widths are a
// multiple of 8; one after the other, the first at time 0) come on standard input, and each
// FILE's video is compared with them by time: at each raw frame's time, the frame the FILE
// shows then (its last frame that began by then), so that frames dropped or repeated count
// as a player would show them. Times count from the FILE's first video frame: muxers start
// the video late (MPEG's preload) or on timelines of their own (GStreamer's ASF video at
// 1000 hours, its sound at 0). Prints PSNR Y and YUV over the raw frames each FILE covers.
#include <cmath>
#include <cstdio>
#include <cstring>
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

InputContextPtr openInput(const char* path) {
  AVFormatContext* context = nullptr;
  if (avformat_open_input(&context, path, nullptr, nullptr) < 0) return nullptr;
  InputContextPtr input(context);
  if (avformat_find_stream_info(context, nullptr) < 0) return nullptr;
  return input;
}

// The decoded video of a file in presentation order, each frame with its time in the file.
class VideoReader {
 public:
  explicit VideoReader(const char* path) : input(openInput(path)), packet(av_packet_alloc()) {
    if (!input) return;
    stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0) return;
    const AVCodecParameters* parameters = input->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    decoder.reset(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(decoder.get(), parameters);
    decoder->pkt_timebase = input->streams[stream]->time_base;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) decoder.reset();
  }
  bool opened() const { return decoder != nullptr; }

  // The next frame, or nullptr at the end; `seconds` is its time.
  FramePtr next(double& seconds) {
    FramePtr frame(av_frame_alloc());
    for (;;) {
      if (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
        const int64_t pts = frame->best_effort_timestamp;
        seconds = pts == AV_NOPTS_VALUE ? lastSeconds + frameSeconds()
                                        : pts * av_q2d(input->streams[stream]->time_base);
        lastSeconds = seconds;
        return frame;
      }
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
  double frameSeconds() const {
    const AVRational rate = input->streams[stream]->avg_frame_rate;
    return rate.num > 0 ? av_q2d(av_inv_q(rate)) : 0;
  }

  InputContextPtr input;
  CodecContextPtr decoder;
  PacketPtr packet;
  int stream = -1;
  bool ended = false;
  double lastSeconds = 0;
};

// Bytes, span and payload checksum of each stream of `path`.
void printStreams(const char* path) {
  InputContextPtr context = openInput(path);
  if (!context) {
    std::printf("  cannot be read\n");
    return;
  }
  struct Totals {
    int64_t bytes = 0;
    int64_t packets = 0;
    unsigned long checksum = 1;
    double first = INFINITY, end = -INFINITY;  // seconds
  };
  std::vector<Totals> totals(context->nb_streams);
  PacketPtr packet(av_packet_alloc());
  while (av_read_frame(context.get(), packet.get()) >= 0) {
    Totals& stream = totals[packet->stream_index];
    const AVStream* info = context->streams[packet->stream_index];
    stream.bytes += packet->size;
    ++stream.packets;
    stream.checksum = av_adler32_update(stream.checksum, packet->data, packet->size);
    const int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (pts != AV_NOPTS_VALUE) {
      // A packet without a duration lasts a frame of the stream's rate.
      double duration = packet->duration * av_q2d(info->time_base);
      if (duration <= 0 && info->avg_frame_rate.num > 0) duration = 1 / av_q2d(info->avg_frame_rate);
      const double seconds = pts * av_q2d(info->time_base);
      stream.first = std::min(stream.first, seconds);
      stream.end = std::max(stream.end, seconds + duration);
    }
    av_packet_unref(packet.get());
  }
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    const AVCodecParameters* parameters = context->streams[i]->codecpar;
    const double span = totals[i].end - totals[i].first;
    std::printf("  %-5s %-10s %7lld packets %10lld bytes %8.1f s %8.1f kbit/s  checksum %08lx\n",
                av_get_media_type_string(parameters->codec_type),
                avcodec_get_name(parameters->codec_id), static_cast<long long>(totals[i].packets),
                static_cast<long long>(totals[i].bytes), span > 0 ? span : 0,
                span > 0 ? totals[i].bytes * 8 / span / 1000 : 0, totals[i].checksum);
  }
}

double squaredError(const uint8_t* raw, int rawStride, const AVFrame* frame, int plane, int width,
                    int height) {
  double sum = 0;
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = raw + y * rawStride;
    const uint8_t* q = frame->data[plane] + y * frame->linesize[plane];
    for (int x = 0; x < width; ++x) sum += (p[x] - q[x]) * (p[x] - q[x]);
  }
  return sum;
}

double psnr(double error, double samples) {
  return error > 0 ? 10 * std::log10(255.0 * 255.0 * samples / error) : INFINITY;
}

// One file's video against the raw frames, one raw frame at a time.
class RawComparison {
 public:
  RawComparison(const char* path, int width, int height)
      : reader(path), width(width), height(height) {
    if (reader.opened()) upcoming = reader.next(upcomingSeconds);
    origin = upcomingSeconds;
  }

  // The raw frame `raw` (planes one after the other) shown at `seconds`.
  void add(const std::vector<uint8_t>& raw, double seconds, double halfFrame) {
    while (upcoming && upcomingSeconds - origin <= seconds + halfFrame) {
      shown = std::move(upcoming);
      upcoming = reader.next(upcomingSeconds);
    }
    if (!shown) return;
    if (shown->width != width || shown->height != height || shown->format != AV_PIX_FMT_YUV420P) {
      mismatched = true;
      return;
    }
    const uint8_t* u = raw.data() + width * height;
    const uint8_t* v = u + (width / 2) * (height / 2);
    const double y = squaredError(raw.data(), width, shown.get(), 0, width, height);
    luma += y;
    all += y + squaredError(u, width / 2, shown.get(), 1, width / 2, height / 2) +
           squaredError(v, width / 2, shown.get(), 2, width / 2, height / 2);
    ++compared;
  }

  void print(int64_t rawFrames) const {
    if (!reader.opened()) {
      std::printf("  video: none to compare\n");
    } else if (mismatched) {
      std::printf("  video: no PSNR (not %dx%d 4:2:0)\n", width, height);
    } else {
      const double samples = double(compared) * width * height;
      std::printf("  PSNR against the raw pattern: Y %.3f dB, YUV %.3f dB over %lld of %lld raw "
                  "frames (video from %.3f s)\n",
                  psnr(luma, samples), psnr(all, samples * 1.5), static_cast<long long>(compared),
                  static_cast<long long>(rawFrames), origin);
    }
  }

 private:
  VideoReader reader;
  int width, height;
  FramePtr shown, upcoming;
  double upcomingSeconds = 0, origin = 0;
  double luma = 0, all = 0;
  int64_t compared = 0;
  bool mismatched = false;
};

// Compares every file with the raw frames on standard input, then prints each file's streams
// and PSNR.
void compareWithRaw(int width, int height, double rate, char** paths, int count) {
  std::vector<RawComparison> comparisons;
  comparisons.reserve(count);
  for (int i = 0; i < count; ++i) comparisons.emplace_back(paths[i], width, height);
  std::vector<uint8_t> raw(size_t(width) * height * 3 / 2);
  int64_t frames = 0;
  while (std::fread(raw.data(), 1, raw.size(), stdin) == raw.size()) {
    for (auto& comparison : comparisons) comparison.add(raw, frames / rate, 0.5 / rate);
    ++frames;
  }
  for (int i = 0; i < count; ++i) {
    std::printf("%s:\n", paths[i]);
    printStreams(paths[i]);
    comparisons[i].print(frames);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int width = 0, height = 0;
  double rate = 0;
  const bool raw = argc > 2 && std::strcmp(argv[1], "--raw") == 0;
  if (raw && (std::sscanf(argv[2], "%dx%d@%lf", &width, &height, &rate) != 3 || width <= 0 ||
              height <= 0 || width % 8 || height % 2 || rate <= 0))
    argc = 0;
  const int first = raw ? 3 : 1;
  if (argc <= first) {
    std::fprintf(stderr, "usage: output_quality [--raw WIDTHxHEIGHT@RATE] FILE...\n");
    return 2;
  }
  av_log_set_level(AV_LOG_QUIET);
  if (raw) {
    compareWithRaw(width, height, rate, argv + first, argc - first);
    return 0;
  }
  for (int i = first; i < argc; ++i) {
    std::printf("%s:\n", argv[i]);
    printStreams(argv[i]);
  }
  return 0;
}
