#!/bin/bash
# End to end: the built program copied into a fresh folder, started under Xvfb
# with two media files, its caption read, closed by SIGTERM as a logout would,
# then Setting.ini and LastPlayList.lst checked; a second copy started while
# the first runs must end at once and leave the first alone; a copy killed
# with SIGKILL must not block the next start. An edit of the playlist is in
# the hidden recovery file a second later, so a copy killed then keeps it, and
# the next start takes it over as LastPlayList.lst, which until then still
# holds the last run's list. A start whose lock cannot be made runs
# anyway and says so; a signal while its start-up message box is open ends it
# as a close would.
# Usage: run_program.sh <path of the built quorvane>
set -u
source "$(dirname "$0")/common.sh"
e2e_setup "$1" prog
mkdir -p "$work/My Music"
# Two WAV files of one second of silence, one of them in a folder with a blank.
python3 - "$work" <<'PY'
import struct, sys
def wav(path):
    data = b"\0\0" * 8000
    head = (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt "
            + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 16000, 2, 16)
            + b"data" + struct.pack("<I", len(data)))
    open(path, "wb").write(head + data)
wav(sys.argv[1] + "/My Music/first song.wav")
wav(sys.argv[1] + "/second.wav")
PY

cat > "$work/inner.sh" <<'INNER'
#!/bin/bash
set -u
work=$1
lists="$work/prog/PlayLists"
source "$E2E_COMMON"
e2e_display_env
# Whatever this script started goes with it, also when a check fails.
trap 'kill $(jobs -p) 2>/dev/null' EXIT
# Any main window with a track in its caption, whatever its size.
window_named() { xwininfo -root -tree 2>/dev/null | grep -o '0x[0-9a-f]* "Quorvane - [^"]*"' | head -1; }
wait_for_window() {
    for _ in $(seq 1 600); do  # a sanitizer build starts slowly
        w=$(window_named)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

cd /   # the program folder is the executable's folder, not the current one
e2e_launch "$work/stderr1" "$work/prog/quorvane" "$work/My Music/first song.wav" "$work/second.wav"
first=$launched
w=$(wait_for_window) || fail "no main window"
id=${w%% *}
caption=$(xprop -id "$id" _NET_WM_NAME | sed 's/^[^"]*"//; s/"$//')
[ "$caption" = "Quorvane - $work/My Music/first song.wav" ] || fail "caption: $caption"

# A second copy ends at once, silently, and the first is not disturbed.
start=$(date +%s%N)
"$work/prog/quorvane" "$work/second.wav" 2>"$work/stderr2"
status=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ $status -eq 0 ] || fail "second copy exit status $status"
[ $elapsed -lt 10000 ] || fail "second copy took $elapsed ms"
kill -0 $first 2>/dev/null || fail "first copy gone"
[ "$(xwininfo -root -tree | grep -c '"Quorvane - ')" -eq 1 ] || fail "a second window appeared"

kill -TERM $first
for _ in $(seq 1 300); do kill -0 $first 2>/dev/null || break; sleep 0.1; done
kill -0 $first 2>/dev/null && fail "SIGTERM did not close the program"
wait $first || fail "exit status $? after SIGTERM"
cp "$work/prog/Setting.ini" "$work/first-exit.ini"
cp "$lists/LastPlayList.lst" "$work/first-exit.lst"

# A copy killed outright leaves its lock; the next start takes it over.
e2e_launch "$work/stderr3" "$work/prog/quorvane"
third=$launched
wait_for_window >/dev/null || true
sleep 3
kill -KILL $third; wait $third 2>/dev/null
e2e_launch "$work/stderr4" "$work/prog/quorvane"
fourth=$launched
wait_for_window >/dev/null || fail "no window after a killed copy"
kill -INT $fourth
wait $fourth || fail "exit status $? after SIGINT"

# LastPlayList.lst keeps the last run's list while the program runs: a note
# added by hand stays.
printf '//note\r\n' >> "$lists/LastPlayList.lst"
cp "$lists/LastPlayList.lst" "$work/noted.lst"
e2e_launch "$work/stderr5" "$work/prog/quorvane"
fifth=$launched
wait_for_window >/dev/null || fail "no window for the restored playlist"
sleep 1.5
cmp -s "$work/noted.lst" "$lists/LastPlayList.lst" || fail "LastPlayList.lst written during the run"
# The first line one down (the list's rows are 13 pixels from y = 104; the
# arrow is in the strip above it), then killed outright a little later.
xdotool mousemove 330 110 click 1 || fail "no XTEST"
sleep 0.3
xdotool mousemove 395 94 click 1
sleep 1.5
kill -KILL $fifth; wait $fifth 2>/dev/null
cmp -s "$work/noted.lst" "$lists/LastPlayList.lst" || fail "LastPlayList.lst written before the exit"
od -c "$lists/.LastPlayList.recovery" > "$work/killed.od"
printf '%s\r\n' "$work/second.wav" "$work/My Music/first song.wav" | od -c |
    cmp -s - "$work/killed.od" || fail "recovery file after SIGKILL: $(cat "$work/killed.od")"

# No place takes the lock: the runtime folder is missing, the cache's place is
# a file and the temporary folder is a file too. The start names a path no
# playlist file can keep, so a message box waits for OK.
mkdir -p "$work/cache"
: > "$work/cache/quorvane"
: > "$work/tmpfile"
e2e_launch "$work/stderr6" env \
    GST_REGISTRY="$(ls "${XDG_CACHE_HOME:-$HOME/.cache}"/gstreamer-1.0/registry.*.bin 2>/dev/null | head -1)" \
    XDG_RUNTIME_DIR="$work/gone" XDG_CACHE_HOME="$work/cache" TMPDIR="$work/tmpfile" \
    "$work/prog/quorvane" "$work/bad"$'\n'"name.wav"
sixth=$launched
w=$(wait_for_window) || fail "no window after SIGKILL"
[ "${w#* }" = "\"Quorvane - $work/second.wav\"" ] || fail "the edit did not come back: $w"
for _ in $(seq 1 100); do
    xwininfo -root -tree | grep -q '"Quorvane": ("quorvane"' && break
    sleep 0.1
done
xwininfo -root -tree | grep -q '"Quorvane": ("quorvane"' || fail "no message box"
grep -q "^quorvane: no lock file could be made in $work/gone, " "$work/stderr6" ||
    fail "no warning of the missing lock: $(grep -v ALSA "$work/stderr6")"
rm "$lists/LastPlayList.lst"
kill -HUP $sixth
for _ in $(seq 1 100); do kill -0 $sixth 2>/dev/null || break; sleep 0.1; done
kill -0 $sixth 2>/dev/null && fail "SIGHUP during the message box did not end the program"
wait $sixth || fail "exit status $? after SIGHUP"
od -c "$lists/LastPlayList.lst" | cmp -s - "$work/killed.od" ||
    fail "LastPlayList.lst after SIGHUP: $(od -c "$lists/LastPlayList.lst")"
exit 0
INNER
chmod +x "$work/inner.sh"

e2e_xvfb "$work/inner.sh" "$work"

settings="$work/first-exit.ini"
[ -f "$settings" ] || fail "no Setting.ini"
for line in "Left=0" "Top=0" "Width=8550" "Height=6555" "LoopMode=0" \
            "LastPlayList=$work/prog/PlayLists/LastPlayList.lst" \
            "LastOpenFile=$work/second.wav"; do
    tr -d '\r' < "$settings" | grep -qxF "$line" || fail "Setting.ini lacks $line"
done
grep -q $'\r$' "$settings" || fail "Setting.ini without CR LF"
expected=$(printf '%s\r\n%s\r\n' "$work/My Music/first song.wav" "$work/second.wav" | od -An -c)
actual=$(od -An -c "$work/first-exit.lst")
[ "$expected" = "$actual" ] || fail "LastPlayList.lst: $actual"
echo "PASS"
