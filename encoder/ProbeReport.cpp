#include "encoder/ProbeReport.h"

#include <cinttypes>
#include <cstdio>

#include "encoder/DurationScan.h"
#include "encoder/EncoderError.h"
#include "encoder/ErrorOutput.h"
#include "encoder/StopSignal.h"
#include "encoder/contract/EncoderContract.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vidmora_encoder {

std::string formatDurationLine(std::optional<int64_t> duration, int64_t start,
                               int64_t fileBytes) {
  std::string line = std::string("  ") + encoder_contract::kDurationMarker;
  char text[128];
  if (duration && *duration >= 0) {
    const int64_t centis = *duration / (AV_TIME_BASE / 100);
    std::snprintf(text, sizeof text, "%02" PRId64 ":%02d:%02d.%02d", centis / 360000,
                  static_cast<int>(centis / 6000 % 60), static_cast<int>(centis / 100 % 60),
                  static_cast<int>(centis % 100));
    line += text;
  } else {
    line += "N/A";
  }
  std::snprintf(text, sizeof text, ", start: %.6f, bitrate: ",
                static_cast<double>(start) / AV_TIME_BASE);
  line += text;
  if (duration && *duration > 0 && fileBytes > 0) {
    std::snprintf(text, sizeof text, "%" PRId64 " kb/s",
                  av_rescale(fileBytes * 8, AV_TIME_BASE, *duration * 1000));
    line += text;
  } else {
    line += "N/A";
  }
  return line + "\n";
}

std::string describeStream(const SourceStream& stream) {
  const AVCodecParameters* parameters = stream.parameters.get();
  char text[256];
  std::snprintf(text, sizeof text, "    Stream #0:%d: ", stream.index);
  std::string line = text;
  line += stream.type == AVMEDIA_TYPE_VIDEO   ? "Video: "
          : stream.type == AVMEDIA_TYPE_AUDIO ? "Audio: "
                                              : "Data: ";
  if (!stream.decodable) return line + stream.codecText + ", which this encoder cannot convert\n";
  line += avcodec_get_name(parameters->codec_id);
  if (stream.type == AVMEDIA_TYPE_VIDEO) {
    const char* format = av_get_pix_fmt_name(static_cast<AVPixelFormat>(parameters->format));
    std::snprintf(text, sizeof text, ", %s, %dx%d", format ? format : "unknown pixel format",
                  parameters->width, parameters->height);
    line += text;
    if (stream.frameRate.num > 0 && stream.frameRate.den > 0) {
      std::snprintf(text, sizeof text, ", %.5g fps", av_q2d(stream.frameRate));
      line += text;
    }
  } else if (stream.type == AVMEDIA_TYPE_AUDIO) {
    char layout[64] = "unknown channels";
    if (parameters->ch_layout.nb_channels > 0)
      av_channel_layout_describe(&parameters->ch_layout, layout, sizeof layout);
    const char* format = av_get_sample_fmt_name(static_cast<AVSampleFormat>(parameters->format));
    std::snprintf(text, sizeof text, ", %d Hz, %s, %s", parameters->sample_rate, layout,
                  format ? format : "unknown sample format");
    line += text;
  }
  if (parameters->bit_rate > 0) {
    std::snprintf(text, sizeof text, ", %" PRId64 " kb/s", parameters->bit_rate / 1000);
    line += text;
  }
  if (stream.tracks > 1) line += ", the first of " + std::to_string(stream.tracks) + " tracks";
  return line + "\n";
}

namespace {
// Whether what a file holds is so far from what its metadata states that the metadata is
// wrong (a download cut short, a writer that lied): more than a second, and more than 2 %.
bool farApart(int64_t stated, int64_t held) {
  const int64_t apart = stated > held ? stated - held : held - stated;
  return apart > AV_TIME_BASE && apart * 50 > stated;
}
}  // namespace

std::optional<int64_t> knownDuration(const SourceFile& source, int64_t& start) {
  start = source.startTime();
  const int64_t stated = source.statedDuration();
  if (const auto held = source.mediaSpan()) {
    if (stated > 0 && !farApart(stated, held->duration)) return stated;
    start = held->start;
    return held->duration;
  }
  if (stated > 0) return stated;
  return std::nullopt;
}

std::optional<int64_t> probeDuration(SourceFile& source, int64_t& start) {
  if (const auto known = knownDuration(source, start)) return known;
  const auto span = scanPacketSpan(source);
  if (!span) return std::nullopt;
  start = span->start;
  return span->duration;
}

int runProbe(const std::string& path) {
  SourceFile source(path);
  int64_t start = 0;
  const bool hasStreams = source.videoStream() != nullptr || source.audioStream() != nullptr;
  const auto duration = hasStreams ? probeDuration(source, start) : std::nullopt;
  if (stopRequested()) throw StoppedEarly();  // the scan was cut short: its figure is wrong
  // The duration comes first: the program reads only the start of this text, and the lines
  // after it echo the path, which can be thousands of bytes long.
  std::string report = formatDurationLine(duration, start, source.file().size());
  report += std::string("Input #0, ") + source.formatName() + ", from '" + path + "':\n";
  for (const SourceStream& stream : source.streams()) report += describeStream(stream);
  writeStandardError(report);
  if (!hasStreams)
    throw EncoderError(source.undecodableContent().value_or(path + " holds no video or audio stream"));
  if (!duration) throw EncoderError("the duration of " + path + " cannot be known");
  return 0;
}

}  // namespace vidmora_encoder
