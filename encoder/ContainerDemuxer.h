#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "encoder/Demuxer.h"
#include "encoder/SourceInput.h"
#include "encoder/SourceReader.h"
// A reading of a source that is no FLV file by libavformat's demuxers (a download saved under
// .flv that holds an MP4, say), through the source's one descriptor.

namespace vidmora_encoder {

class ContainerDemuxer : public Demuxer {
 public:
  // Opens a demuxer on regular file `input` (which must outlive it) from its start; throws
  // EncoderError when it is no media the libraries read, StoppedEarly at a stop.
  explicit ContainerDemuxer(SourceInput& input);

  bool read(SourcePacket& into) override;
  void seek(int64_t position) override;

  // What the container says: its streams, its name ("mov,mp4,..."), the duration it states
  // (AV_TIME_BASE units; 0 when none, a guess from the bit rate does not count) and its start.
  std::vector<SourceStream> streams() const;
  const char* formatName() const { return context->iformat->name; }
  int64_t statedDuration() const;
  int64_t startTime() const;

 private:
  SourceReader reader;  // outlives context, which reads through it
  InputContextPtr context;
};

}  // namespace vidmora_encoder
