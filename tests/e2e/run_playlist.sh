#!/bin/bash
# End to end: a playlist built from the library tree with the pointer (the
# folder's popup, "このフォルダのみ(&N)"), reordered with the arrow buttons,
# saved under a Japanese name through "Save" and the save dialog, then changed
# once more before the program is closed. After a restart the saved playlist's
# tree node with "プレイリストに置き換え(&H)" must bring back the saved order,
# not the one of the last run. A double-click is one click there: on Next it
# moves one entry on, on "Remove" it takes one line away.
# Usage: run_playlist.sh <path of the built quorvane>
set -u
source "$(dirname "$0")/common.sh"
e2e_setup "$1" playlist
music="$work/Music"
mkdir -p "$music"
# Three WAV files of half a second of silence, one with a Japanese name.
python3 - "$music" <<'PY'
import struct, sys
data = b"\0\0" * 4000
head = (b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt "
        + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 16000, 2, 16)
        + b"data" + struct.pack("<I", len(data)))
for name in ("a.wav", "b.wav", "歌.wav"):
    open(sys.argv[1] + "/" + name, "wb").write(head + data)
PY
# The library as a scan of the folder would have left it.
printf '[%s]\r\n%s\r\n%s\r\n%s\r\n' "$music" "$music/a.wav" "$music/b.wav" "$music/歌.wav" |
    iconv -f UTF-8 -t CP932 > "$work/prog/MediaDB.db"

cat > "$work/inner.sh" <<'INNER'
#!/bin/bash
set -u
work=$1
music="$work/Music"
source "$E2E_COMMON"
e2e_display_env
lists="$work/prog/PlayLists"
# Tree rows are 18 pixels from y = 13; "*" on the top node opens every branch.
row() { echo $((13 + 18 * $1)); }
expand_tree() {
    xdotool mousemove 40 "$(row 0)" click 1 || fail "no XTEST"
    sleep 0.3
    xdotool key KP_Multiply
    sleep 0.5
}
# The strip above the playlist (top 1320 twips): the arrows and "Save". Two
# clicks on one spot within the double-click time would be one double-click.
up() { xdotool mousemove 379 94 click 1; sleep 0.6; }
down() { xdotool mousemove 395 94 click 1; sleep 0.6; }

e2e_start
expand_tree
# Rows: the top node, the registered playlists (none yet), the searched
# media, then the scanned folder.
xdotool mousemove 80 "$(row 3)" click 1
wait_caption "$id" "Quorvane - $music" || fail "caption after the folder click: $(caption "$id")"
sleep 0.5
xdotool key a  # "プレイリストに追加(&A)"
sleep 0.5
xdotool key n  # "このフォルダのみ(&N)"
sleep 0.5
# The first line (the list's rows are 13 pixels from y = 104) moved down twice.
xdotool mousemove 330 110 click 1
sleep 0.3
down
down
xdotool mousemove 545 94 click 1  # "Save": the dialog opens with the name box ready
wait_named "プレイリストの保存" || fail "no save dialog"
sleep 0.3
xdotool type --delay 300 "旅の歌"
xdotool key Return
for _ in $(seq 1 50); do [ -f "$lists/旅の歌.lst" ] && break; sleep 0.1; done
[ -f "$lists/旅の歌.lst" ] || fail "nothing saved: $(ls "$lists")"
up  # the last two swapped in what the program keeps at exit
e2e_close
cp "$lists/LastPlayList.lst" "$work/first-exit.lst"

e2e_start
expand_tree
# Rows: the top node, the registered playlists, "LastPlayList", "旅の歌".
xdotool mousemove 80 "$(row 3)" click 1
wait_caption "$id" "Quorvane - $lists/旅の歌.lst" ||
    fail "caption after the playlist click: $(caption "$id")"
sleep 0.5
xdotool key h  # "プレイリストに置き換え(&H)"
sleep 0.5
# Stopped on the first entry: Next, double-clicked, opens the second.
second=$(iconv -f CP932 -t UTF-8 "$lists/旅の歌.lst" | tr -d '\r' | sed -n 2p)
xdotool mousemove 453 77 click --repeat 2 --delay 80 1
sleep 1
[ "$(caption "$id")" = "Quorvane - $second" ] || fail "caption after Next: $(caption "$id")"
xdotool mousemove 455 94 click --repeat 2 --delay 80 1  # "Remove": the second goes
sleep 0.5
e2e_close
exit 0
INNER
chmod +x "$work/inner.sh"

e2e_xvfb "$work/inner.sh" "$work"

# A playlist file's lines, read as the program writes them: code page 932, CR LF.
read_list() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r'; }
# The lines of a playlist file as the program writes them.
lines() { printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932; }
saved="$work/prog/PlayLists/旅の歌.lst"
mapfile -t s < <(read_list "$saved")
# The folder's files in name order (a, b, 歌), the first then moved down twice.
[ "$(printf '%s|' "${s[@]}")" = "$music/b.wav|$music/歌.wav|$music/a.wav|" ] ||
    fail "saved playlist: ${s[*]}"
cmp -s <(lines "${s[@]}") "$saved" || fail "saved playlist not in the program's format"
# The entry moved to the end and moved up once more: the last two swapped.
cmp -s <(lines "${s[0]}" "${s[2]}" "${s[1]}") "$work/first-exit.lst" ||
    fail "playlist at the first exit: $(read_list "$work/first-exit.lst" | tr '\n' ' ')"
last="$work/prog/PlayLists/LastPlayList.lst"
cmp -s <(lines "${s[0]}" "${s[2]}") "$last" ||
    fail "playlist after the replacement and Remove: $(read_list "$last" | tr '\n' ' ')"
echo "PASS"
