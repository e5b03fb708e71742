#include "encoder/Conversion.h"

#include <cstdio>
#include <optional>

#include "encoder/AudioStage.h"
#include "encoder/ConversionProfile.h"
#include "encoder/EncoderError.h"
#include "encoder/ErrorOutput.h"
#include "encoder/OutputFile.h"
#include "encoder/ProgressReporter.h"
#include "encoder/SourceDecoder.h"
#include "encoder/SourceFile.h"
#include "encoder/StopSignal.h"
#include "encoder/VideoStage.h"

namespace vidmora_encoder {

namespace {

VideoOutput videoOutputFor(const EncoderArguments& request, const SourceFile& source,
                           const AVCodecContext* decoder) {
  const FrameSize sourceSize{decoder->width, decoder->height};
  if (!request.frameSize && (sourceSize.width <= 0 || sourceSize.height <= 0))
    throw EncoderError("the frame size of the video in " + source.path() + " is unknown");
  VideoOutput output;
  output.size = roundFrameSize(request.frameSize.value_or(sourceSize));
  output.frameRate = request.frameRate
                         ? parseFrameRate(*request.frameRate)
                         : sourceFrameRate(source.context(), source.videoStream());
  output.kbps = request.videoKbps;
  return output;
}

std::string describeOutput(const std::optional<VideoStage>& video, const AVCodecContext* audio,
                           const EncoderArguments& request) {
  std::string text = "Output: " + request.target + " (" + request.codec;
  char figures[96];
  if (video) {
    std::snprintf(figures, sizeof figures, " video at %.5g fps", av_q2d(video->frameRate()));
    text += figures;
  } else {
    text += " container, no video";
  }
  text += audio != nullptr ? ", with audio" : ", no audio";
  return text + ")\n";
}

}  // namespace

int runConversion(const EncoderArguments& request) {
  SourceFile source(request.source);
  if (source.videoStream() == nullptr && source.audioStream() == nullptr)
    throw EncoderError(request.source + " holds no video or audio stream");
  SourceDecoder decoder(source);
  const ConversionProfile& profile = ConversionProfile::forCodec(request.codec);
  OutputFile output(request.target, profile.muxer);
  std::optional<VideoStage> video;
  std::optional<AudioStage> audio;
  if (decoder.videoDecoder() != nullptr)
    video.emplace(profile, videoOutputFor(request, source, decoder.videoDecoder()), output);
  if (decoder.audioDecoder() != nullptr)
    audio.emplace(profile, decoder.audioDecoder(), request.audioKbps, output);
  output.open();
  writeStandardError(describeOutput(video, decoder.audioDecoder(), request));

  ProgressReporter progress;
  auto figures = [&] {
    ProgressFigures now;
    now.frames = video ? video->frames() : 0;
    now.quality = video ? video->quality() : 0;
    now.bytes = output.size();
    now.seconds = std::max(video ? video->seconds() : 0.0, audio ? audio->seconds() : 0.0);
    return now;
  };
  decoder.start();
  bool decodedAny = false;
  while (auto item = decoder.next()) {
    decodedAny = true;
    if (item->type == AVMEDIA_TYPE_VIDEO)
      video->add(std::move(*item));
    else
      audio->add(*item);
    progress.update(figures());
  }
  if (!decodedAny) throw EncoderError("no frame of " + request.source + " could be decoded");
  if (video) video->finish(decoder.videoEnd());
  if (audio) audio->finish();
  output.commit();
  progress.finish(figures());
  if (decoder.skippedPackets() > 0)
    writeStandardError("warning: skipped " + std::to_string(decoder.skippedPackets()) +
                       " damaged packets of " + request.source + "\n");
  if (stopRequested()) {
    writeStandardError("stopped early: " + request.target + " holds what was converted\n");
    return kStoppedExitStatus;
  }
  return 0;
}

}  // namespace vidmora_encoder
