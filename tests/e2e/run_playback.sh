#!/bin/bash
# End to end: the built program under Xvfb with three short files of three
# kinds on its command line and "Loop-All" stored in Setting.ini. The window
# caption must follow the playing entry through all three and back to the
# first; a SIGTERM then ends the program normally.
# Usage: run_playback.sh <path of the built quorvane>
set -u
binary=$(realpath "$1")
work=$(mktemp -d /tmp/qv-e2e-play-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/prog" "$work/runtime" "$work/music"
chmod 700 "$work/runtime"
cp "$binary" "$work/prog/quorvane"
printf '[Quorvane]\r\nLoopMode=1\r\n' > "$work/prog/Setting.ini"
# The first file outlasts the splash (2.5 s), so its caption can be seen.
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=5" -ac 2 "$work/music/a 1.mp3" ||
    fail "ffmpeg (mp3)"
ffmpeg -v error -f lavfi -i "sine=frequency=660:duration=2" "$work/music/b.wav" || fail "ffmpeg (wav)"
# A format-0 MIDI file: one note of 1.5 s at the default tempo.
printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00\x10\x00\xc0\x00\x00\x90\x3c\x40\x82\x20\x80\x3c\x40\x00\xff\x2f\x00' \
    > "$work/music/c.mid"

cat > "$work/inner.sh" <<'INNER'
#!/bin/bash
set -u
work=$1
export XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
pid=
trap '[ -n "$pid" ] && kill -KILL $pid 2>/dev/null' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
window_id() {
    xwininfo -root -tree 2>/dev/null | grep '"Quorvane' | grep ' 570x437+' | head -1 |
        grep -o '0x[0-9a-f]*' | head -1
}
caption() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed 's/^[^"]*"//; s/"$//'; }

cd "$work/music"
"$work/prog/quorvane" "$work/music/a 1.mp3" b.wav "$work/music/c.mid" 2>>"$work/stderr" &
pid=$!
id=
for _ in $(seq 1 100); do
    id=$(window_id)
    [ -n "$id" ] && break
    sleep 0.1
done
[ -n "$id" ] || fail "no main window"
# Every caption seen, in order, without repeats, for up to 20 s.
seen=
last=
for _ in $(seq 1 200); do
    now=$(caption "$id")
    if [ -n "$now" ] && [ "$now" != "$last" ]; then
        seen="$seen$now|"
        last=$now
    fi
    case "$seen" in *"c.mid|Quorvane - $work/music/a 1.mp3|"*) break ;; esac
    sleep 0.1
done
expected="Quorvane - $work/music/a 1.mp3|Quorvane - $work/music/b.wav|Quorvane - $work/music/c.mid|Quorvane - $work/music/a 1.mp3|"
[ "$seen" = "$expected" ] || fail "captions: $seen"
kill -TERM $pid
wait $pid || fail "exit status $? after SIGTERM"
pid=
exit 0
INNER
chmod +x "$work/inner.sh"

xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$work/inner.sh" "$work" || {
    cat "$work/stderr" >&2
    exit 1
}
lst="$work/prog/PlayLists/LastPlayList.lst"
[ "$(tr -d '\r' < "$lst" | wc -l)" -eq 3 ] || fail "LastPlayList.lst: $(cat "$lst")"
echo "PASS"
