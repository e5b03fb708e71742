# Sourced by the install tests: what an install under PREFIX holds, files and links, one a
# line, sorted. Usage: expected_files PREFIX
expected_files() {
  local id=com.vidmora.vidmora size
  {
    printf '%s\n' "$1/bin/vidmora" "$1/lib/vidmora/vidmora" "$1/lib/vidmora/UxTheme.dll" \
      "$1/bin/vidmora-batch" "$1/lib/vidmora/vidmora-batch" \
      "$1/lib/vidmora/zandrio.dll" "$1/lib/vidmora/quimbel.dll" \
      "$1/share/applications/$id.desktop" "$1/share/metainfo/$id.metainfo.xml" \
      "$1/share/icons/hicolor/scalable/apps/$id.svg" "$1/share/man/man1/vidmora.1.gz" \
      "$1/share/man/man1/vidmora-batch.1.gz" \
      "$1/share/doc/vidmora/copyright" "$1/share/doc/vidmora/changelog.gz"
    for size in 16 22 24 32 48 64 128 256; do
      echo "$1/share/icons/hicolor/${size}x$size/apps/$id.png"
    done
  } | sort
}
