#!/usr/bin/env bash
# two_windows.sh PROGRAM_FOLDER SAMPLE: two windows of the built program, each started with
# SAMPLE on its command line, run at once on a virtual display with a system folder of
# their own. The first is closed while the second runs: the second still probes and
# converts. Once the second is closed too, the system folder holds the program folder's
# scrambled files again.
set -euo pipefail
bin="$(cd "$1" && pwd)"
sample="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
work="$(mktemp -d /tmp/vidmora-windows-XXXXXX)"
. "$(dirname "$0")/window-driver.sh"
trap 'cleanup_processes; rm -rf "$work"' EXIT

# A program folder of its own: the program keeps its option.ini there, not in the build.
program="$work/program"
system="$work/data/vidmora/system"
output="$work/home/videooutput"
mkdir -p "$program" "$work/home"
cp "$bin/vidmora" "$bin/UxTheme.dll" "$bin/zandrio.dll" "$bin/quimbel.dll" "$program/"
start_display

start first
start second
convert "$second" "$second_window" || fail "the second window cannot convert beside the first"
probes || fail "the encoders do not run while both windows run"

close first
probes || fail "closing the first window took the second's encoders: $(ls -l "$system")"
convert "$second" "$second_window" || fail "the second window cannot convert once the first closed"
[ "$(ls "$output" | wc -l)" -eq 2 ] || fail "two outputs expected: $(ls "$output")"

close second
put_back || fail "the encoders not scrambled back at the last exit: $(ls -l "$system")"
echo "two windows: closing one leaves the other its encoders; the last exit restores them"
