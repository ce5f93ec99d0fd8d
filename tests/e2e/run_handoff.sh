#!/bin/bash
# End to end: a second start hands its files to the running copy and ends at
# once; the running copy appends them (a known path is passed over), plays the
# first new one since nothing plays, and a start without files raises its
# window. A copy killed with SIGKILL leaves its socket; the next start runs
# normally and takes files itself.
# Usage: run_handoff.sh <path of the built quorvane>
set -u
source "$(dirname "$0")/common.sh"
e2e_setup "$1" handoff
mkdir -p "$work/music"
for f in a:1 b:20 e:2; do
    ffmpeg -v error -f lavfi -i "sine=duration=${f#*:}" "$work/music/${f%:*}.wav" || fail "ffmpeg"
done
ffmpeg -v error -f lavfi -i "sine=duration=2" -ac 2 "$work/music/c d.mp3" || fail "ffmpeg (mp3)"
printf '%s\r\n' "$work/music/e.wav" "$work/music/a.wav" > "$work/music/l.lst"

cat > "$work/inner.sh" <<'INNER'
#!/bin/bash
set -u
work=$1
source "$E2E_COMMON"
e2e_display_env
trap 'kill $(jobs -p) 2>/dev/null' EXIT
# Runs a second start from the music folder; it must end with 0 well within
# the 2 s it would wait for an answer.
hand() {
    local t0=$(date +%s%N)
    (cd "$work/music" && "$work/prog/quorvane" "$@" 2>>"$work/stderr.second") ||
        fail "second start: status $?"
    [ $(( ($(date +%s%N) - t0) / 1000000 )) -lt 1500 ] || fail "second start took too long"
}

e2e_start "$work/music/a.wav"   # one second: over before the splash is
wait_caption "$id" "Quorvane - $work/music/a.wav" || fail "caption: $(caption "$id")"
hand b.wav "c d.mp3" l.lst
wait_caption "$id" "Quorvane - $work/music/b.wav" || fail "not playing b: $(caption "$id")"
sleep 1.5
printf '%s\r\n' a.wav b.wav "c d.mp3" e.wav | sed "s|^|$work/music/|" |
    cmp -s - "$work/prog/PlayLists/.LastPlayList.recovery" ||
    fail "recovery file: $(cat -A "$work/prog/PlayLists/.LastPlayList.recovery")"

# Another window on top, holding the focus. The pointer then rests on ours:
# X takes a focus request only if it is newer than the last focus change.
xmessage -geometry 300x200+0+0 cover &
for _ in $(seq 1 50); do
    cover=$(xwininfo -root -tree | grep '"xmessage"' | grep -o '0x[0-9a-f]*' | head -1)
    [ -n "$cover" ] && break
    sleep 0.1
done
xdotool windowfocus --sync "$cover" mousemove 400 300 || fail "xdotool"
sleep 0.3
hand
sleep 0.5
top=$(xwininfo -root -children | grep -oE "($id|$cover) " | head -1)
[ "$top" = "$id " ] || fail "not raised: $top"
[ "$(xdotool getwindowfocus)" = "$((id))" ] || fail "not activated: $(xdotool getwindowfocus)"

kill -KILL $pid
wait $pid 2>/dev/null
ls "$work/runtime"/quorvane-*.sock >/dev/null || fail "no socket left to test with"
e2e_start "$work/music/e.wav"
hand a.wav
wait_caption "$id" "Quorvane - $work/music/a.wav" || fail "after SIGKILL: $(caption "$id")"
e2e_close
exit 0
INNER
chmod +x "$work/inner.sh"

e2e_xvfb "$work/inner.sh" "$work"
[ -s "$work/stderr.second" ] && fail "second start said: $(cat "$work/stderr.second")"
echo "PASS"
