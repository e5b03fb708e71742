#!/usr/bin/env bash
# package_check.sh BUILD SOURCE: makes the Debian package as the README says (cpack -G DEB),
# into a folder of its own, and checks it without installing it: its name, that it holds
# exactly the files of an install under /usr (unpacked with dpkg-deb -x), the icons'
# renderings at their sizes, its library dependencies, and lintian's verdict (no errors).
set -euo pipefail
build="$(cd "$1" && pwd)"
source="$(cd "$2" && pwd)"
work="$(mktemp -d /tmp/vidmora-package-XXXXXX)"
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
. "$source/tests/install/expected-files.sh"
files() { (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\.||' | sort); }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
  fail "cpack: $(cat "$work/cpack.log")"
version="$(sed -n 's/^project(Vidmora VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")"
deb="$work/out/vidmora_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$work/out")"

# The same files as the install, and nothing else.
dpkg-deb -x "$deb" "$work/root"
[ "$(files "$work/root")" = "$(expected_files /usr)" ] ||
  fail "package files: $(files "$work/root")"
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr --component Unspecified >/dev/null
[ "$(files "$work/root")" = "$(files "$work/stage")" ] || fail "not the install's files"
for program in vidmora vidmora-batch; do
  [ "$(readlink "$work/root/usr/bin/$program")" = "../lib/vidmora/$program" ] ||
    fail "$program launcher link"
done

# Each rendering of the icon is as large as its folder says (a PNG's width and height are
# the big-endian numbers at bytes 16 and 20).
for png in "$work"/root/usr/share/icons/hicolor/*x*/apps/com.vidmora.vidmora.png; do
  size="$(basename "$(dirname "$(dirname "$png")")")"
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  [ "$(((w1 << 24) + (w2 << 16) + (w3 << 8) + w4))x$(((h1 << 24) + (h2 << 16) + (h3 << 8) + h4))" = "$size" ] ||
    fail "$png is not $size"
done
grep -q '<svg' "$work/root/usr/share/icons/hicolor/scalable/apps/com.vidmora.vidmora.svg" ||
  fail "the scalable icon is no SVG"

# The libraries of the program and of the encoders (read from their plain executables),
# each package named once.
depends="$(dpkg-deb -f "$deb" Depends)"
for package in libqt6widgets6 libavformat59 libavcodec59 libswscale6 qt6-qpa-plugins; do
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
    fail "Depends lacks $package: $depends"
done
named="$(tr ',' '\n' <<<"$depends" | awk '{print $1}' | sort)"
[ -z "$(uniq -d <<<"$named")" ] || fail "Depends names a package twice: $depends"
dpkg-deb -f "$deb" Maintainer Description | grep -q . || fail "no maintainer or description"

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
echo "lintian on $(basename "$deb"):"
grep -v 'running with root privileges' "$work/lintian.log" || echo "(nothing to say)"
echo "package files, icons, dependencies and lintian: all well"
