// zandrio: probes, AVI (msmpeg4v2) and MPEG (mpeg1video, mpeg2video) conversions.
#include "encoder/EncoderProgram.h"

int main(int argc, char** argv) {
  return vidmora_encoder::runEncoderProgram(vidmora_encoder::EncoderRole::Zandrio, argc, argv);
}
