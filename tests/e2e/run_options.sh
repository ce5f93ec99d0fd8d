#!/bin/bash
# The built program's options, without any display: --help and --version answer
# on standard output with status 0 and an unknown option is refused with status
# 2, none of them making a window (there is no display to make one on), a lock,
# a socket or a file. After "--" a name like an option is a file: the program
# starts (offscreen) with it and keeps it in the playlist it writes at exit.
# Usage: run_options.sh <path of the built quorvane> <version>
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d /tmp/qv-options-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog" "$work/runtime"
chmod 700 "$work/runtime"
cp "$1" "$work/prog/quorvane"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CACHE_HOME="$work/cache" TMPDIR="$work/tmp" \
    QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
run() { "$work/prog/quorvane" "$@" >"$work/out" 2>"$work/err"; echo $?; }

[ "$(run --help)" = 0 ] || fail "--help: $(cat "$work/err")"
grep -q '^Usage: quorvane ' "$work/out" || fail "--help printed: $(head -3 "$work/out")"
grep -qF "program folder: $work/prog/" "$work/out" || fail "--help names no program folder"
[ -s "$work/err" ] && fail "--help wrote on standard error: $(cat "$work/err")"
[ "$(run a.mp3 --version)" = 0 ] || fail "--version: $(cat "$work/err")"
[ "$(cat "$work/out")" = "quorvane $2" ] || fail "--version printed: $(cat "$work/out")"
[ "$(run --helpp a.mp3)" = 2 ] || fail "an unknown option was not refused with status 2"
[ -s "$work/out" ] && fail "a refusal wrote on standard output"
grep -q "unknown option '--helpp'" "$work/err" || fail "refusal: $(cat "$work/err")"
# Nothing of a start happened.
[ -z "$(ls -A "$work/runtime")" ] || fail "runtime folder: $(ls -A "$work/runtime")"
[ -e "$work/cache" ] || [ -e "$work/tmp" ] && fail "a lock place was made"
[ "$(ls -A "$work/prog")" = quorvane ] || fail "program folder: $(ls -A "$work/prog")"

# One second of silence named like an option.
python3 - "$work/--x.wav" <<'PY'
import struct, sys
data = b"\0\0" * 8000
open(sys.argv[1], "wb").write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt "
    + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 16000, 2, 16) + b"data"
    + struct.pack("<I", len(data)) + data)
PY
cd "$work"
QT_QPA_PLATFORM=offscreen "$work/prog/quorvane" -- --x.wav 2>"$work/err" &
pid=$!
recovery="$work/prog/PlayLists/.LastPlayList.recovery"
for _ in $(seq 1 300); do  # a sanitizer build starts slowly
    grep -qF -- "$work/--x.wav" "$recovery" 2>/dev/null && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
kill -TERM $pid 2>/dev/null
wait $pid || fail "exit status $? with '-- --x.wav': $(grep -v ALSA "$work/err" | tail -5)"
grep -qF -- "$work/--x.wav" "$work/prog/PlayLists/LastPlayList.lst" ||
    fail "the file after '--' is not in the playlist"
echo "options: --help, --version, a refusal and a file after -- as expected"
