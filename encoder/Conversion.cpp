#include "encoder/Conversion.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "encoder/AudioCopy.h"
#include "encoder/AudioStage.h"
#include "encoder/ConversionPipeline.h"
#include "encoder/ConversionProfile.h"
#include "encoder/EncoderError.h"
#include "encoder/ErrorOutput.h"
#include "encoder/OutputFile.h"
#include "encoder/ProbeReport.h"
#include "encoder/ProgressReporter.h"
#include "encoder/SourceDecoder.h"
#include "encoder/SourceFile.h"
#include "encoder/SourceSurvey.h"
#include "encoder/StageThread.h"
#include "encoder/StopSignal.h"
#include "encoder/VideoStage.h"
#include "encoder/VideoStretches.h"

namespace vidmora_encoder {

namespace {

VideoOutput videoOutputFor(const EncoderArguments& request, const SourceFile& source,
                           const OutputFile& target) {
  const AVCodecParameters* video = source.videoStream()->parameters.get();
  const FrameSize sourceSize{video->width, video->height};
  if (!request.frameSize && (sourceSize.width <= 0 || sourceSize.height <= 0))
    throw EncoderError("the frame size of the video in " + source.path() + " is unknown");
  VideoOutput output;
  output.size = roundFrameSize(request.frameSize.value_or(sourceSize));
  output.frameRate = request.frameRate
                         ? parseFrameRate(*request.frameRate)
                         : sourceFrameRate(*source.videoStream());
  output.kbps = request.videoKbps;
  output.globalHeader = target.wantsGlobalHeader();
  return output;
}

// Whether the source's sound may already be what the output needs: the format's own codec, at
// a sample rate the output keeps. (Whether every frame of it is whole, and at the asked bit
// rate when one is asked, the survey tells.)
bool soundMayFit(const ConversionProfile& profile, const SourceStream* audio) {
  if (audio == nullptr || profile.copiedAudio == AV_CODEC_ID_NONE) return false;
  const AVCodecParameters* sound = audio->parameters.get();
  return sound->codec_id == profile.copiedAudio &&
         outputSampleRate(sound->sample_rate) == sound->sample_rate;
}

// Where the source's messages carry several tracks of a kind, which of them is converted.
std::string trackNote(const SourceStream* stream, const char* kind) {
  if (stream == nullptr || stream->tracks < 2) return "";
  return std::string(", the first of ") + std::to_string(stream->tracks) + " " + kind + " tracks";
}

// `fps` is 0 without video.
std::string describeOutput(double fps, int workers, bool audio, bool copied,
                           const SourceFile& source, const EncoderArguments& request) {
  std::string text = "Output: " + request.target + " (" + request.codec;
  char figures[96];
  if (fps > 0) {
    std::snprintf(figures, sizeof figures, " video at %.5g fps", fps);
    text += figures;
    if (workers > 1) text += " on " + std::to_string(workers) + " cores";
    text += trackNote(source.videoStream(), "video");
  } else {
    text += " container, no video";
  }
  text += !audio ? ", no audio" : copied ? ", with the source's audio as it is" : ", with audio";
  if (audio) text += trackNote(source.audioStream(), "audio");
  return text + ")\n";
}

// A stop keeps what was converted under a target name that was free; a file that was at the
// target stays as it was.
int finishStopped(OutputFile& output, const EncoderArguments& request, bool decodedAny,
                  const std::function<void()>& lastProgressLine) {
  std::string outcome;
  if (!decodedAny || output.packets() == 0) {
    outcome = "nothing was converted, nothing was written";
  } else if (output.replacesExisting()) {
    outcome = "the partial output was discarded; " + request.target + " was kept as it was";
  } else {
    output.commit();
    outcome = request.target + " holds what was converted";
  }
  lastProgressLine();
  writeStandardError("stopped early: " + outcome + "\n");
  return kStoppedExitStatus;
}

// A source that changed while it was read (rewritten, cut short, still being written) may have
// given anything: part of one file and part of another, or less than it held.
void checkSourceUnchanged(const SourceFile& source) {
  if (source.file().changedSinceOpening())
    throw EncoderError(source.path() +
                       " changed while it was being converted; the output was discarded");
}

// Decoding may fall short of the packets by this much (seconds) without failing the run: a
// kind that short is a stray frame or two of a spliced or damaged file, not its content.
constexpr double kShortfallSeconds = 0.5;

// A complete run's output must hold what the source holds, not a sliver of it. Video and
// audio are judged each on its own, so that sound that plays on cannot hide a picture that
// stopped, nor the reverse.
void checkContentConverted(const SourceDecoder& decoder, const OutputFile& output,
                           const SourceFile& file, const std::string& source,
                           std::optional<double> videoDecodedElsewhere) {
  if (output.packets() == 0) throw EncoderError("nothing of " + source + " could be converted");
  // A damaged tag the demuxer cannot find its way past ends its reading there, and would pass
  // for the end of the file.
  if (const auto lastTags = file.lastTagsFrom();
      lastTags && decoder.reachedSeconds() + 1 < *lastTags) {
    char figures[64];
    std::snprintf(figures, sizeof figures, "only the first %.2f s of ",
                  std::max(0.0, decoder.reachedSeconds()));
    throw EncoderError(figures + source + " could be read; the file is damaged there");
  }
  for (const auto& [type, kind] : {std::pair{AVMEDIA_TYPE_VIDEO, "video"},
                                   std::pair{AVMEDIA_TYPE_AUDIO, "audio"}}) {
    const double held = decoder.packetSeconds(type);
    const double decoded = type == AVMEDIA_TYPE_VIDEO && videoDecodedElsewhere
                               ? *videoDecodedElsewhere
                               : decoder.decodedSeconds(type);
    if (decoded < held / 2 && held - decoded > kShortfallSeconds) {
      char figures[96];
      std::snprintf(figures, sizeof figures, "only %.2f s of the %.2f s of %s in ", decoded, held,
                    kind);
      throw EncoderError(figures + source + " could be decoded");
    }
  }
}

}  // namespace

int runConversion(const EncoderArguments& request) {
  const ConversionProfile& profile = ConversionProfile::forCodec(request.codec);
  // The target is examined before the source is read: it is what a stop or a replacement
  // is judged by, and one that cannot be replaced fails at once.
  OutputFile output(request.target, profile.muxer);
  SourceFile source(request.source);
  // A source whose video or sound the encoder cannot decode is not converted to the other
  // kind alone: that would pass for the whole of it.
  if (const auto why = source.undecodableContent()) throw EncoderError(*why);
  if (source.videoStream() == nullptr && source.audioStream() == nullptr)
    throw EncoderError(request.source + " holds no video or audio stream");
  const std::optional<VideoOutput> videoSettings =
      source.videoStream() != nullptr
          ? std::optional(videoOutputFor(request, source, output))
          : std::nullopt;

  // What only a pass over the whole source can tell, where it matters: whether its sound can
  // be copied, and whether its video can be encoded in stretches on several cores.
  const bool mp3 = soundMayFit(profile, source.audioStream());
  const bool stretchable = videoSettings && profile.videoInStretches &&
                           availableCores() > 1;
  const SourceSurvey survey =
      mp3 || stretchable
          ? surveySource(source, stretchable, mp3, VideoStretches::longestKeyFrameGap())
          : SourceSurvey{};
  const bool copyAudio =
      survey.audioCopyable && (!request.audioKbps || *request.audioKbps == survey.audioKbps);
  const auto plan = stretchable ? VideoStretches::planFor(profile, *videoSettings, survey)
                                : std::nullopt;

  SourceDecoder decoder(source, {.decodeVideo = !plan, .copyAudio = copyAudio});
  std::optional<VideoStage> video;
  std::optional<VideoStretches> stretches;
  std::optional<AudioStage> audio;
  std::optional<AudioCopy> copy;
  if (plan)
    stretches.emplace(source, survey, profile, *videoSettings, output, *plan);
  else if (videoSettings)
    video.emplace(profile, *videoSettings, output);
  if (copyAudio)
    copy.emplace(*source.audioStream(), output);
  else if (decoder.audioDecoder() != nullptr)
    audio.emplace(profile, decoder.audioDecoder(), request.audioKbps, output);
  output.open();
  // The probe's duration line, where it is known without a pass of its own: a caller that
  // did not probe the source can follow the percentage all the same.
  int64_t start = 0;
  if (const auto duration = knownDuration(source, start))
    writeStandardError(formatDurationLine(duration, start, source.file().size()));
  const double fps = video       ? av_q2d(video->frameRate())
                     : stretches ? av_q2d(stretches->frameRate())
                                 : 0;
  writeStandardError(describeOutput(fps, plan ? plan->workers : 1, audio || copy, copyAudio,
                                    source, request));

  ProgressReporter progress;
  auto figures = [&] {
    ProgressFigures now;
    now.frames = video ? video->frames() : stretches ? stretches->frames() : 0;
    now.quality = video ? video->quality() : stretches ? stretches->quality() : 0;
    now.bytes = output.size();
    now.seconds = std::max({video ? video->seconds() : 0.0,
                            stretches ? stretches->seconds() : 0.0,
                            audio ? audio->seconds() : 0.0, copy ? copy->seconds() : 0.0});
    return now;
  };
  // Sound interleaved with video written in stretches waits for it, so that the muxer need
  // not hold much of it.
  auto paced = [&](double seconds) {
    if (stretches) stretches->waitUntil(seconds);
  };
  std::vector<ConversionPipeline::Job> jobs;
  for (int worker = 0; stretches && worker < plan->workers; ++worker)
    jobs.push_back({"video stretches", [&] { stretches->work(); }, [&] { stretches->cancel(); }});
  ConversionPipeline pipeline(
      decoder,
      video ? ConversionPipeline::Taker([&](DecodedFrame frame) { video->add(std::move(frame)); })
            : nullptr,
      audio  ? ConversionPipeline::Taker([&](DecodedFrame frame) {
                 paced(frame.seconds);
                 audio->add(frame);
               })
      : copy ? ConversionPipeline::Taker([&](DecodedFrame frame) {
                 paced(frame.seconds);
                 copy->add(std::move(frame));
               })
             : nullptr,
      std::move(jobs));
  pipeline.run([&] { progress.update(figures()); });
  const bool decodedAny = pipeline.tookAnyFrame() || (stretches && stretches->anyFrame());
  if (!decodedAny && !stopRequested())
    throw EncoderError("no frame of " + request.source + " could be decoded");
  if (video) video->finish(decoder.videoEnd());
  if (audio) audio->finish();
  checkSourceUnchanged(source);
  if (stopRequested())
    return finishStopped(output, request, decodedAny, [&] { progress.finish(figures()); });
  checkContentConverted(decoder, output, source, request.source,
                        stretches ? std::optional(stretches->decodedSeconds()) : std::nullopt);
  output.commit();
  progress.finish(figures());
  if (decoder.skippedPackets() > 0)
    writeStandardError("warning: skipped " + std::to_string(decoder.skippedPackets()) +
                       " damaged packets of " + request.source + "\n");
  return 0;
}

}  // namespace vidmora_encoder
