// quimbel: probes and WMV (wmv2) conversions.
#include "encoder/EncoderProgram.h"

int main(int argc, char** argv) {
  return vidmora_encoder::runEncoderProgram(vidmora_encoder::EncoderRole::Quimbel, argc, argv);
}
