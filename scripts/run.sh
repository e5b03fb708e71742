#!/usr/bin/env bash
# Sets up, builds and starts Vidmora. Without a display it starts on a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Vidmora on a virtual display (Xvfb)."
  exec xvfb-run -a build/bin/vidmora
fi
exec build/bin/vidmora
