#!/usr/bin/env bash
# parallel_recipe.sh PROGRAM_FOLDER CLIP_MAKER README: the README's GNU parallel command for
# an archive, exactly as written there but for the hosts: the local machine is the only one
# (-S :). vidmora-batch is taken from PROGRAM_FOLDER; the clips are made with CLIP_MAKER.
set -euo pipefail
bin="$(cd "$1" && pwd)"
make_clip="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
readme="$(cd "$(dirname "$3")" && pwd)/$(basename "$3")"
work="$(mktemp -d /tmp/vidmora-parallel-XXXXXX)"
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The command: its first line and the lines it continues onto, without the README's indent.
recipe="$(awk '/^    find archive .*\| parallel / { on = 1 }
  on { sub(/^    /, ""); print; if (!/\\$/) exit }' "$readme")"
[ -n "$recipe" ] || fail "no parallel command in $readme"
grep -q -- '-S host1,host2 ' <<<"$recipe" || fail "the hosts are not '-S host1,host2': $recipe"
recipe="${recipe/-S host1,host2 /-S : }"

cd "$work"
export HOME="$work/home" XDG_STATE_HOME="$work/state" XDG_DATA_HOME="$work/data"
export PATH="$bin:$PATH"
mkdir -p "$HOME"
for clip in archive/2009/talk.flv archive/2010/talk.flv "archive/2010/it's here.FLV" archive/top.flv; do
  mkdir -p "$(dirname "$clip")"
  "$make_clip" "$clip" --seconds 2 >/dev/null
done
status=0
bash -c "$recipe" >"$work/output" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/output")"
found="$(cd converted && find . -type f | sort | tr '\n' '|')"
[ "$found" = "./archive/2009/talk.avi|./archive/2010/it's here.avi|./archive/2010/talk.avi|./archive/top.avi|" ] ||
  fail "converted: $found"
[ "$(awk 'NR > 1 && $7 == 0' vidmora-jobs.log | wc -l)" -eq 4 ] || fail "job log: $(cat vidmora-jobs.log)"
echo "the README's parallel command, on this machine alone:"
echo "$recipe"
echo "converted: ${found//|/ }"
