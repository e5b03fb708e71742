#pragma once
#include <deque>
#include <memory>
#include <vector>

#include "encoder/Demuxer.h"
#include "encoder/flv/FlvContent.h"
#include "encoder/flv/InputWindow.h"
#include "encoder/flv/TagReader.h"
// A reading of an FLV file's tags as packets of the streams its start showed. A new sequence
// start that differs from the one in force (a recorder that started again with another
// picture size, profile or sound), a new VP6 adjustment, or new sound flags of a codec that
// takes its format from them, comes with the next packet of that stream as its new parameters.

namespace vidmora_encoder::flv {

class FlvDemuxer : public Demuxer {
 public:
  // Reads through `window` from the file's first tag, for the streams of `content`, which must
  // outlive it.
  FlvDemuxer(std::unique_ptr<InputWindow> window, const FlvContent& content);

  bool read(SourcePacket& into) override;
  void seek(int64_t position) override { tags.seek(position); }

 private:
  struct StreamState {
    std::vector<uint8_t> configuration;  // in force
    SoundFlags flags;                    // in force, for a codec that takes its format from them
    AVCodecParameters* pending = nullptr;  // for the stream's next packet
  };
  // Takes `bytes` as stream `index`'s configuration from now on, where it differs.
  void configure(int index, const uint8_t* bytes, std::size_t size);
  // Takes `flags` as the sound format of stream `index` from now on, where they differ.
  void takeFlags(int index, const SoundFlags& flags);
  AVCodecParameters* newParameters(int index);

  std::unique_ptr<InputWindow> window;
  const FlvContent& content;
  TagReader tags;
  std::vector<StreamState> states;
  std::vector<int64_t> durations;  // of a packet of each stream; 0 when unknown
  std::deque<CodecParametersPtr> changes;
};

}  // namespace vidmora_encoder::flv
