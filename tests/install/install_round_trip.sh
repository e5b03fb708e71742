#!/usr/bin/env bash
# install_round_trip.sh BUILD SOURCE: installs the build into a temporary prefix (and once
# more into a DESTDIR staging folder), checks the installed files and validates the menu
# entry and the AppStream file, starts the installed launcher on a virtual display as a
# user who may not write to the program folder, checks that it deployed its encoders and
# loaded its visual-styles module, closes it with Esc, checks where it kept its settings,
# converts a file with the installed vidmora-batch, and uninstalls, leaving nothing.
set -euo pipefail
build="$(cd "$1" && pwd)"
source="$(cd "$2" && pwd)"
work="$(mktemp -d /tmp/vidmora-install-XXXXXX)"
xvfb=""
cleanup() {
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
id=com.vidmora.vidmora
manifest="$build/install_manifest_Unspecified.txt"
. "$source/tests/install/expected-files.sh"
installed() { find "$1" \( -type f -o -type l \) | sort; }

# The component install keeps the build's own install_manifest.txt (a user's install) as it is.
install_to() { cmake --install "$build" --prefix "$1" --component Unspecified >/dev/null; }

# A staged install: everything under DESTDIR, the launcher still pointing into the program
# folder beside it; the uninstall takes it all away again.
DESTDIR="$work/stage" install_to /usr
[ "$(installed "$work/stage")" = "$(expected_files "$work/stage/usr")" ] ||
  fail "staged install: $(installed "$work/stage")"
for program in vidmora vidmora-batch; do
  [ "$(readlink "$work/stage/usr/bin/$program")" = "../lib/vidmora/$program" ] ||
    fail "$program launcher link"
done
DESTDIR="$work/stage" bash "$source/scripts/uninstall.sh" "$manifest" >/dev/null
[ -z "$(ls -A "$work/stage")" ] || fail "left after the staged uninstall: $(find "$work/stage")"

prefix="$work/prefix"
install_to "$prefix"
[ "$(installed "$prefix")" = "$(expected_files "$prefix")" ] || fail "install: $(installed "$prefix")"
[ "$(sort "$manifest")" = "$(expected_files "$prefix")" ] || fail "manifest: $(cat "$manifest")"
desktop="$prefix/share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli"
grep -qx 'MimeType=video/x-flv;inode/directory;' "$desktop" || fail "MimeType"
grep -qx 'Exec=vidmora %F' "$desktop" || fail "Exec"

# A user of an installed copy: the program folder is not theirs to write to. Root may
# write anywhere, so as root the program runs as "nobody".
user="$work/user"
mkdir -p "$user"
chmod 0755 "$work"
chmod 0777 "$user"
chmod a-w "$prefix/lib/vidmora"
as_user=()
[ "$(id -u)" -ne 0 ] || as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)

Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "no virtual display: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"

(cd "$user" && exec "${as_user[@]}" env -u QT_QPA_PLATFORM HOME="$user" \
  XDG_DATA_HOME="$user/data" XDG_CONFIG_HOME="$user/config" "$prefix/bin/vidmora") \
  >"$work/vidmora.log" 2>&1 &
program=$!
window="$(timeout 30 xdotool search --sync --onlyvisible --name '^Free Vidmora$' | head -1)" ||
  fail "no main window: $(cat "$work/vidmora.log")"

# The encoders are deployed runnable into the system folder, and the themed buttons loaded
# the module from the program folder.
system="$user/data/vidmora/system"
for encoder in zandrio.dll quimbel.dll; do
  [ -x "$system/$encoder" ] || fail "$encoder not deployed"
  [ "$(head -c 4 "$system/$encoder" | od -An -c | tr -d ' ')" = '177ELF' ] ||
    fail "$encoder not runnable"
done
for _ in $(seq 100); do grep -q "$prefix/lib/vidmora/UxTheme.dll" "/proc/$program/maps" && break; sleep 0.1; done
grep -q "$prefix/lib/vidmora/UxTheme.dll" "/proc/$program/maps" || fail "UxTheme.dll not loaded"

# Esc, again while the program runs: a window found in the moment it was being shown may
# not take the key yet (xdotool then reports BadWindow).
for _ in $(seq 50); do
  kill -0 "$program" 2>/dev/null || break
  xdotool key --window "$window" Escape 2>/dev/null ||
    window="$(xdotool search --onlyvisible --name '^Free Vidmora$' | head -1)" || true
  timeout 1 tail --pid="$program" -f /dev/null || true
done
status=0
timeout 30 tail --pid="$program" -f /dev/null || fail "Esc did not end the program"
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/vidmora.log")"
grep -qx 'Width=595' "$user/config/vidmora/option.ini" || fail "option.ini not in the config folder"
[ ! -e "$prefix/lib/vidmora/option.ini" ] || fail "option.ini beside an installed program"
[ "$(head -c 4 "$system/zandrio.dll" | od -An -c | tr -d ' ')" != '177ELF' ] ||
  fail "the encoders were not put back at exit"

# The installed command line through its launcher finds its encoders beside itself.
cp "$source/tests/samples/h263-video-only.flv" "$user/"
chmod a+r "$user/h263-video-only.flv"
(cd "$user" && exec "${as_user[@]}" env HOME="$user" XDG_DATA_HOME="$user/data" \
  XDG_STATE_HOME="$user/state" "$prefix/bin/vidmora-batch" h263-video-only.flv) \
  >"$work/batch.log" 2>&1 || fail "vidmora-batch: $(cat "$work/batch.log")"
[ -s "$user/videooutput/h263-video-only.avi" ] || fail "vidmora-batch made no output"

chmod u+w "$prefix/lib/vidmora"
bash "$source/scripts/uninstall.sh" "$manifest" >/dev/null
[ ! -e "$prefix" ] || fail "left after uninstall: $(find "$prefix")"
[ ! -e "$manifest" ] || fail "the install's list is still there"
echo "install, validation, start, close and uninstall: all well"
