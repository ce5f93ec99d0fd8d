#!/bin/bash
# End to end: MPRIS on a session bus of the test's own, driven with playerctl
# as a desktop's media controls would drive it. The tags of the playing file
# (Japanese too; the second file a FLAC, whose tag TagLib reads) come out as
# metadata; play, pause and next (the desktop entry's action) act as the buttons
# (the caption follows); a URI opened is handed over as a file; the loop status set over the bus is the loop mode the
# closing window saves, and Quit closes it so; position, seek (with Seeked)
# and volume go to the device; a restart in "Loop-One" is a Seeked as a seek is.
# A hostile client's bad URIs and property writes get errors; a rate of 0 pauses,
# and the longest seek forward is the next track. A copy of another program folder finds the name taken and takes
# the .instance<pid> form. Without a session bus the program starts and plays
# as ever, and says nothing.
# Usage: run_mpris.sh <path of the built quorvane>
set -u
source "$(dirname "$0")/common.sh"
e2e_setup "$1" mpris
command -v dbus-run-session >/dev/null && command -v playerctl >/dev/null ||
    fail "dbus-run-session and playerctl are needed (scripts/deps)"
mkdir -p "$work/music" "$work/prog2"
cp "$work/prog/quorvane" "$work/prog2/"
ffmpeg -v error -f lavfi -i "sine=duration=30" -ac 2 -metadata title="夜明けの歌" \
    -metadata artist="山田 花子" -metadata album="朝の集い" "$work/music/a.mp3" || fail "ffmpeg"
ffmpeg -v error -f lavfi -i "sine=frequency=660:duration=30" -ac 2 -metadata title="Second" \
    -metadata artist="Bob" "$work/music/b.flac" || fail "ffmpeg"
ffmpeg -v error -f lavfi -i "sine=duration=1" "$work/music/short.wav" || fail "ffmpeg"
cp "$work/music/short.wav" "$work/music/c d.wav"
desktop=$(echo "$(dirname "$0")"/../../resources/*.desktop)
cp "$desktop" "$work/entry.desktop"
basename "$desktop" .desktop >"$work/entry.name"

cat > "$work/inner.sh" <<'INNER'
#!/bin/bash
set -u
work=$1
source "$E2E_COMMON"
e2e_display_env
pc() { playerctl --player=quorvane "$@" 2>&1; }
# Waits up to 5 s for the command's output to be $1.
wait_for() {
    local want=$1
    shift
    for _ in $(seq 1 50); do
        [ "$("$@" 2>&1)" = "$want" ] && return 0
        sleep 0.1
    done
    return 1
}
# Is the number $1 within [$2, $3]?
within() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(x != "" && x >= lo && x <= hi) }'; }

e2e_start "$work/music/a.mp3" "$work/music/b.flac"
wait_for Playing pc status || fail "status: $(pc status)"
[ "$(pc metadata title)" = "夜明けの歌" ] || fail "title: $(pc metadata title)"
[ "$(pc metadata artist)" = "山田 花子" ] || fail "artist: $(pc metadata artist)"
[ "$(pc metadata album)" = "朝の集い" ] || fail "album: $(pc metadata album)"
[ "$(pc metadata xesam:url)" = "file://$work/music/a.mp3" ] || fail "url: $(pc metadata xesam:url)"
within "$(pc metadata mpris:length)" 29900000 30100000 || fail "length: $(pc metadata mpris:length)"

pc pause
wait_for Paused pc status || fail "after pause: $(pc status)"
pc play-pause
wait_for Playing pc status || fail "after play-pause: $(pc status)"
# The desktop entry's Next action, run as a desktop runs it; the entry is the one MPRIS names.
entry=$(cat "$work/entry.name")
mpris_get() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.quorvane /org/mpris/MediaPlayer2 \
        org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2 "string:$1"
}
mpris_get DesktopEntry | grep -qF "string \"$entry\"" || fail "DesktopEntry: $(mpris_get DesktopEntry)"
sh -c "$(sed -n '/^\[Desktop Action Next\]/,/^$/s/^Exec=//p' "$work/entry.desktop")" ||
    fail "the entry's Next action"
wait_caption "$id" "Quorvane - $work/music/b.flac" || fail "next: $(caption "$id")"
wait_for Second pc metadata title || fail "title after next: $(pc metadata title)"
wait_for Playing pc status || fail "after next: $(pc status)"

# Handed over as a second start hands a file: appended, not played while one plays.
pc open "file://$work/music/c%20d.wav" || fail "OpenUri: $(pc open "file://$work/music/c%20d.wav")"
# A hostile client: every URI that names no existing, non-empty regular media
# file by an absolute path the playlist can keep gets an error, and adds nothing
# (the playlist at Quit below); a property write it cannot take gets an error too.
mpris() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.quorvane \
        /org/mpris/MediaPlayer2 "$@" >/dev/null 2>&1
}
m=$work/music
mkdir "$m/dir.mp3"; mkfifo "$m/fifo.mp3"; : > "$m/empty.mp3"
ln -s /dev/urandom "$m/rnd.mp3"; ln -s loop.mp3 "$m/loop.mp3"
cp "$m/short.wav" "$m/nl"$'\n'"name.wav"; cp "$m/short.wav" "$m/notes.txt"
for uri in "file:music/a.mp3" "file://otherhost$m/a.mp3" "file://$m/a%00.mp3" \
           "file://$m/%FF.mp3" "file://$m/missing.mp3" "file://$m/dir.mp3" "file://$m/fifo.mp3" \
           "file://$m/empty.mp3" "file://$m/rnd.mp3" "file://$m/loop.mp3" "file://$m/../music/a.mp3" \
           "file://$m/$(head -c 120000 /dev/zero | tr '\0' x).mp3" "http://localhost/a.mp3" \
           "file://$m/nl%0Aname.wav" "file://$m/notes.txt" "file://$m"; do
    mpris org.mpris.MediaPlayer2.Player.OpenUri "string:$uri" && fail "OpenUri took ${uri:0:80}"
done
# Property writes the player cannot take are answered with an error and change nothing.
for write in "LoopStatus variant:string:Bogus" "LoopStatus variant:int32:1" \
             "Volume variant:string:0.5" "PlaybackStatus variant:string:Paused" \
             "NoSuch variant:string:x"; do
    # shellcheck disable=SC2086
    mpris org.freedesktop.DBus.Properties.Set string:org.mpris.MediaPlayer2.Player \
        string:$write && fail "Set $write was taken"
done
mpris org.freedesktop.DBus.Properties.Set string:org.example.None string:Volume \
    variant:double:0.5 && fail "Set on an interface we do not have was taken"
[ "$(pc loop)" = None ] || fail "loop after bogus writes: $(pc loop)"
[ "$(pc status)" = Playing ] || fail "status after bogus writes: $(pc status)"
gdbus introspect --session --dest org.mpris.MediaPlayer2.quorvane \
    --object-path /org/mpris/MediaPlayer2 >"$work/introspect" || fail "Introspect"
[ "$(grep -c 'interface org.freedesktop.DBus.Properties' "$work/introspect")" = 1 ] ||
    fail "introspection: $(cat "$work/introspect")"
pc loop Track
wait_for Track pc loop || fail "loop: $(pc loop)"

dbus-monitor --session "type='signal',member='Seeked'" >"$work/seeked" 2>/dev/null &
monitor=$!
sleep 0.3
pc position 20
within "$(pc position)" 19.9 21.5 || fail "position after SetPosition: $(pc position)"
pc position 15-
within "$(pc position)" 4.9 6.5 || fail "position after Seek: $(pc position)"
# Near the end in "Loop-One": the restart is a jump too, and told as one.
pc position 29.6
sleep 1.2
within "$(pc position)" 0 1.5 || fail "position after the restart: $(pc position)"
kill $monitor
[ "$(grep -c 'member=Seeked' "$work/seeked")" = 4 ] || fail "Seeked: $(cat "$work/seeked")"
wait_for Playing pc status || fail "after the seeks: $(pc status)"
pc volume 0.25
within "$(pc volume)" 0.249 0.251 || fail "volume: $(pc volume)"
# A rate of 0 pauses; the longest seek forward is the next track, not a wrap to the start.
mpris org.freedesktop.DBus.Properties.Set string:org.mpris.MediaPlayer2.Player \
    string:Rate variant:double:0 || fail "Rate"
wait_for Paused pc status || fail "after Rate 0: $(pc status)"
pc play
mpris org.mpris.MediaPlayer2.Player.Seek int64:9223372036854775807 || fail "Seek"
wait_caption "$id" "Quorvane - $work/music/c d.wav" || fail "Seek(INT64_MAX): $(caption "$id")"

# A copy of another program folder (its own lock) on the same bus.
e2e_launch "$work/stderr2" env XDG_RUNTIME_DIR="$work/runtime2" "$work/prog2/quorvane"
pid2=$launched
wait_for "quorvane
quorvane.instance$pid2" sh -c 'playerctl -l | sort' || fail "second copy: $(playerctl -l)"
kill -TERM $pid2
wait $pid2 || fail "second copy: exit status $?"

dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.quorvane /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Quit >/dev/null || fail "Quit"
for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "still running 10 s after Quit"
wait $pid || fail "exit status $? after Quit"
pid=
grep -q $'^LoopMode=2\r$' "$work/prog/Setting.ini" || fail "Setting.ini: $(cat -A "$work/prog/Setting.ini")"
grep -q $'^Volume=250\r$' "$work/prog/Setting.ini" || fail "Setting.ini: $(cat -A "$work/prog/Setting.ini")"
printf '%s\r\n' "$work/music/a.mp3" "$work/music/b.flac" "$work/music/c d.wav" |
    cmp -s - "$work/prog/PlayLists/LastPlayList.lst" || fail "LastPlayList.lst after Quit"

# No session bus: "Loop-All" plays the short file through to the next one.
sed -i 's/^LoopMode=2/LoopMode=1/' "$work/prog/Setting.ini"
: > "$work/stderr"
bus=$DBUS_SESSION_BUS_ADDRESS
unset DBUS_SESSION_BUS_ADDRESS
e2e_start "$work/music/short.wav" "$work/music/a.mp3"
export DBUS_SESSION_BUS_ADDRESS=$bus
wait_caption "$id" "Quorvane - $work/music/a.mp3" || fail "without a bus: $(caption "$id")"
[ -z "$(playerctl -l 2>/dev/null)" ] || fail "a player without a bus: $(playerctl -l)"
e2e_close
# (Where no sound output is found, as on a test machine, it says that once.)
[ -z "$(grep -v 'ALSA\|^quorvane: no sound output was found' "$work/stderr")" ] ||
    fail "without a bus it said: $(cat "$work/stderr")"
exit 0
INNER
chmod +x "$work/inner.sh"

mkdir -m 700 "$work/runtime2"
dbus-run-session -- bash -c 'source "$1"; work=$2; e2e_xvfb "$work/inner.sh" "$work"' \
    _ "$E2E_COMMON" "$work" || exit 1
echo "PASS"
