#!/usr/bin/env bash
# Builds (through setup.sh) and fuzzes the encoder for SECONDS: mutated real samples through
# the AddressSanitizer builds, as probes and conversions. Exit status 1 when it found a crash,
# a hang, a leftover file or a wrong result; the inputs are then in build/fuzz-findings/.
#   usage: scripts/fuzz.sh SECONDS [SEED]
# VIDMORA_FUZZ_SAMPLES="PATTERN ..." mutates only the samples whose file names match, e.g.
#   VIDMORA_FUZZ_SAMPLES="*enhanced* multitrack-*" scripts/fuzz.sh 600
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 1 ]; then
  echo "usage: scripts/fuzz.sh SECONDS [SEED]" >&2
  exit 2
fi
bash scripts/setup.sh
exec build/tests/fuzz/encoder_fuzz "$@"
