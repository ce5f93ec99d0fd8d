#!/bin/bash
# End to end: the seek and volume sliders and the window's keys, on three WAV
# files in "Loop-All". A click near the end of the seek bar ends the long
# first file at once; on the second, Space pauses, Right moves it on to near
# its end and it stays paused there until Space resumes it; Delete then takes
# the playing third line away (the second plays again) and Ctrl+Z brings it
# back, which Ctrl+Y in the folder box leaves; a click in the middle of the
# volume wedge is the Volume written at exit.
# Usage: run_transport.sh <path of the built quorvane>
set -u
source "$(dirname "$0")/common.sh"
e2e_setup "$1" transport
mkdir -p "$work/music"
printf '[Quorvane]\r\nLoopMode=1\r\n' > "$work/prog/Setting.ini"
for f in "a 60" "b 6" "c 6"; do
    set -- $f
    ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=$2" -ar 8000 "$work/music/$1.wav" ||
        fail "ffmpeg"
done

cat > "$work/inner.sh" <<'INNER'
#!/bin/bash
set -u
work=$1
m="$work/music"
source "$E2E_COMMON"
e2e_display_env
# The window's client area starts at the screen's top left (there is no window
# manager). At the default size the seek bar lies over the time panel of the
# status bar, x 396 to 545, y 420 to 436; the volume wedge at x 473 to 520, y 71
# to 83.
seek_at() { xdotool mousemove $((396 + $1 * 149 / 100)) 428 click 1; }
# Waits up to $2 tenths of a second for the caption to name $1.
caption_within() {
    for _ in $(seq 1 "$2"); do
        [ "$(caption "$id")" = "Quorvane - $1" ] && return 0
        sleep 0.1
    done
    return 1
}

e2e_start "$m/a.wav" "$m/b.wav" "$m/c.wav"
caption_within "$m/a.wav" 100 || fail "a does not play: $(caption "$id")"
# The keys belong to the playlist box once the user has been there.
xdotool mousemove 400 116 click 1
sleep 0.3
seek_at 96
caption_within "$m/b.wav" 60 || fail "the seek bar did not end a: $(caption "$id")"
xdotool key space
xdotool key Right
sleep 2.5
[ "$(caption "$id")" = "Quorvane - $m/b.wav" ] || fail "b went on while paused"
xdotool key space
caption_within "$m/c.wav" 40 || fail "b did not resume near its end: $(caption "$id")"
xdotool key Delete
caption_within "$m/b.wav" 40 || fail "Delete: $(caption "$id")"
# Ctrl+Z brings the line back; in the folder box Ctrl+Y is the box's own, so the
# line stays.
xdotool key ctrl+z
sleep 0.3
xdotool mousemove 430 30 click 1
xdotool key ctrl+y
sleep 0.3
xdotool mousemove 497 78 click 1
sleep 0.3
e2e_close
exit 0
INNER
chmod +x "$work/inner.sh"

e2e_xvfb "$work/inner.sh" "$work"
lst=$(tr -d '\r' < "$work/prog/PlayLists/LastPlayList.lst")
[ "$lst" = "$work/music/a.wav
$work/music/b.wav
$work/music/c.wav" ] || fail "LastPlayList.lst: $lst"
volume=$(tr -d '\r' < "$work/prog/Setting.ini" | sed -n 's/^Volume=//p')
[ -n "$volume" ] && [ "$volume" -ge 440 ] && [ "$volume" -le 560 ] || fail "Volume: $volume"
echo "PASS"
