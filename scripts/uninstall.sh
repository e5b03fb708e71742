#!/usr/bin/env bash
# Takes away what `cmake --install build` put in place: every file on the install's list
# (build/install_manifest.txt, or the list given), then the folders that install made, once
# they are empty. With DESTDIR set, as for the install, it works in that staging folder.
#   bash scripts/uninstall.sh [MANIFEST]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
manifest="${1:-$root/build/install_manifest.txt}"
folders="$(dirname "$manifest")/$(basename "$manifest" | sed 's/^install_manifest/install_directories/')"
destdir="${DESTDIR:-}"
if [ ! -f "$manifest" ]; then
  echo "No $manifest: nothing was installed from this build." >&2
  exit 1
fi

# CMake ends the list without a newline.
while IFS= read -r file || [ -n "$file" ]; do
  [ -n "$file" ] || continue
  if [ -e "$destdir$file" ] || [ -L "$destdir$file" ]; then
    rm -f -- "$destdir$file"
    echo "Removed $destdir$file"
  fi
done <"$manifest"

if [ -f "$folders" ]; then
  # Deepest first. The program folder goes whole: option.ini is written there when the
  # program may write to its own folder.
  LC_ALL=C sort -r "$folders" | while IFS= read -r folder; do
    [ -n "$folder" ] || continue
    case "$folder" in */lib/vidmora) rm -f -- "$destdir$folder/option.ini" ;; esac
    if rmdir -- "$destdir$folder" 2>/dev/null; then echo "Removed $destdir$folder/"; fi
  done
  rm -f -- "$folders"
fi
rm -f -- "$manifest"
