#!/bin/bash
# End to end: the built program under Xvfb with three short files of three
# kinds on its command line and "Loop-All" stored in Setting.ini. The window
# caption must follow the playing entry through all three and back to the
# first; a SIGTERM then ends the program normally.
# Usage: run_playback.sh <path of the built quorvane>
set -u
source "$(dirname "$0")/common.sh"
e2e_setup "$1" play
mkdir -p "$work/music"
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
source "$E2E_COMMON"
e2e_display_env

cd "$work/music"
e2e_launch "$work/stderr" "$work/prog/quorvane" "$work/music/a 1.mp3" b.wav "$work/music/c.mid"
pid=$launched
id=$(wait_window) || fail "no main window"
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
e2e_close
exit 0
INNER
chmod +x "$work/inner.sh"

e2e_xvfb "$work/inner.sh" "$work"
lst="$work/prog/PlayLists/LastPlayList.lst"
[ "$(tr -d '\r' < "$lst" | wc -l)" -eq 3 ] || fail "LastPlayList.lst: $(cat "$lst")"
echo "PASS"
