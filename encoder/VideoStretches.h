#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "encoder/ConversionProfile.h"
#include "encoder/FfmpegPointers.h"
#include "encoder/OutputFile.h"
#include "encoder/SourceFile.h"
#include "encoder/SourceSurvey.h"
#include "encoder/VideoStage.h"
// The video of a conversion encoded in stretches on several workers at once, for the codecs
// that cannot use more than one core themselves. Each stretch begins where the whole video
// has a key frame, so an encoder of its own can encode it: a worker reads and decodes the
// source again from the source's key frame before its stretch (nothing of the picture is held
// for another worker), encodes the stretch, and the packets are put back in order for the
// muxer. Only the stretch in order is written as it comes; packets of the ones ahead wait in
// memory, a bounded amount (a worker that has more waits for its turn). A stop or a cancel
// ends every worker; what was written in order stays.

namespace vidmora_encoder {

class VideoStretches {
 public:
  struct Plan {
    int64_t stretchFrames = 0;  // output frames a stretch holds (the last holds the rest)
    int64_t warmUpFrames = 0;   // encoded before a stretch and left out, for the rate control
    int64_t stretches = 0;
    int workers = 0;
  };

  // How to encode the video in stretches, or nothing where it gains nothing: one core, a
  // codec that uses several itself, video too short, or a source whose key frames lie far
  // apart or whose times jump (the survey tells).
  static std::optional<Plan> planFor(const ConversionProfile& profile, const VideoOutput& settings,
                                     const SourceSurvey& survey);
  // The longest time between the source's key frames (seconds) a plan accepts.
  static double longestKeyFrameGap();

  // Opens an encoder for the settings and adds the video stream to `output`; throws
  // EncoderError when the encoder refuses them.
  VideoStretches(SourceFile& source, const SourceSurvey& survey, const ConversionProfile& profile,
                 const VideoOutput& settings, OutputFile& output, Plan plan);
  VideoStretches(const VideoStretches&) = delete;
  VideoStretches& operator=(const VideoStretches&) = delete;

  // One worker: encodes stretches until none is left, or until a stop or cancel. Throws what
  // fails.
  void work();
  // Ends every worker soon and releases every wait; from any thread.
  void cancel();
  // For what is interleaved with the video, which may run only a little ahead of it: returns
  // at once while the video written in order is within a second of `until`, else waits
  // until it reaches `until`, all of it is written, or it was cancelled.
  void waitUntil(double until);

  // Progress figures of the video written in order, also while the workers run.
  int64_t frames() const { return written.load(); }
  double seconds() const { return frames() / av_q2d(first.frameRate()); }
  float quality() const { return lastQuality.load(); }
  AVRational frameRate() const { return first.frameRate(); }
  // After the workers: the seconds the decoded frames of the stretches cover, and whether
  // any frame was decoded.
  double decodedSeconds() const { return decoded; }
  bool anyFrame() const { return decoded > 0; }

 private:
  struct Stretch {
    std::deque<PacketPtr> waiting;  // packets that came before their turn
    int64_t waitingBytes = 0;
    bool complete = false;
  };
  struct Reader;
  // The next stretch to encode, waiting while one more than there are workers are under way or
  // waiting to be written (a worker done early goes on while the stretch in turn is finished,
  // instead of waiting for it); nothing when none is left or at a cancel.
  std::optional<int64_t> claim();
  void encodeStretch(int64_t index, Reader& reader);
  // Sends the reader to the source's last key frame at or before `seconds` (as its times
  // say).
  void seekToKeyFrameBefore(Reader& reader, double seconds);
  // Writes `packet` of stretch `index` now when it is in turn, else keeps it for its turn.
  void deliver(int64_t index, AVPacket* packet);
  // Marks stretch `index` complete, and writes what is in turn after it.
  void complete(int64_t index, double decodedThere, bool last);
  void writeNow(AVPacket* packet);
  bool ended() const;

  SourceFile& source;
  const SourceSurvey& survey;
  const ConversionProfile& profile;
  const VideoOutput settings;
  OutputFile& output;
  const Plan plan;
  VideoStage first;  // the encoder the stream's parameters come from
  AVStream* stream;
  std::mutex mutex;
  std::condition_variable turned;      // the stretch in turn moved on, or a cancel
  std::condition_variable progressed;  // the video in order reached what the sound waits for
  double soundWaitsFor = -1;           // seconds of video the sound waits for, or -1
  std::vector<Stretch> stretches;
  int64_t nextClaim = 0;
  int64_t inTurn = 0;          // the stretch whose packets are written as they come
  int64_t lastStretch = -1;    // the stretch that ended at the video's end, once known
  bool cancelled = false;
  double decoded = 0;
  std::atomic<int64_t> written{0};
  std::atomic<float> lastQuality{0};
};

}  // namespace vidmora_encoder
