#!/bin/bash
# The Debian package made from a built tree (cpack, no second build), installed
# into this machine with apt-get and removed again: the program answers from
# the PATH, the desktop finds its entry, metainfo, icons, manual page and .lst
# type; started from its desktop entry (gio launch, under Xvfb) by a user who
# cannot write beside it, it keeps its files under ~/.local/share/Quorvane/ and
# its window's class is the entry's StartupWMClass. Needs root: .ci/run runs it.
# Usage: install_test.sh <build folder>
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
    echo "package install test skipped: installing with apt-get needs root"
    exit 0
fi
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
id=$(sed -n 's/^set(QUORVANE_APP_ID \(.*\))$/\1/p' "$here/CMakeLists.txt")
work=$(mktemp -d /tmp/qv-package-XXXXXX)
chmod 755 "$work"  # the user without rights reads the media file and writes its home here
export DEBIAN_FRONTEND=noninteractive
cleanup() {
    if dpkg-query -W -f='${Status}' quorvane 2>/dev/null | grep -q 'ok installed'; then
        apt-get remove --purge -y quorvane >>"$work/apt.log" 2>&1
    fi
    rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && rm -f quorvane_*.deb && cpack -G DEB) >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(tail -20 "$work/cpack.log")"
deb=$(ls "$build"/quorvane_*.deb)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes," \
    "installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
dpkg-deb -f "$deb" Depends Recommends Suggests
apt-get install -y --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    fail "apt-get install: $(tail -20 "$work/apt.log")"

[ "$(command -v quorvane)" = /usr/bin/quorvane ] || fail "quorvane is not /usr/bin/quorvane"
[ "$(quorvane --version)" = "quorvane $(dpkg-deb -f "$deb" Version)" ] ||
    fail "--version: $(quorvane --version 2>&1)"
share=/usr/share
icons=$share/icons/hicolor
for f in "$share/applications/$id.desktop" "$share/metainfo/$id.metainfo.xml" \
    "$icons/scalable/apps/$id.svg" "$icons/symbolic/apps/$id-symbolic.svg" \
    "$icons"/{16x16,24x24,32x32,48x48,64x64,128x128,256x256,512x512}/apps/$id.png; do
    [ -f "$f" ] || fail "$f is missing"
done
[ "$(man -w quorvane)" = "$share/man/man1/quorvane.1.gz" ] || fail "man finds: $(man -w quorvane 2>&1)"
# The package's triggers took the .lst type into the MIME database and the
# entry into the desktop database (desktop-file-utils'), so a file manager
# offers the program for playlists.
printf '/a.wav\r\n' >"$work/list.lst"
type=$(gio info -a standard::content-type "$work/list.lst" | sed -n 's/.*content-type: //p')
[ "$type" = audio/x-quorvane-playlist ] || fail ".lst files are $type"
gio mime audio/x-quorvane-playlist | grep -q "^	$id.desktop" || fail "no application for .lst"

# Started from the desktop entry by nobody, with a home of its own.
mkdir -p "$work/home" "$work/runtime"
chown nobody:nogroup "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
python3 - "$work/a.wav" <<'PY'
import struct, sys
data = b"\0\0" * 8000
open(sys.argv[1], "wb").write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt "
    + struct.pack("<IHHIIHH", 16, 1, 1, 8000, 16000, 2, 16) + b"data"
    + struct.pack("<I", len(data)) + data)
PY
chmod 644 "$work/a.wav"
cat >"$work/inner.sh" <<'INNER'
#!/bin/bash
set -u
work=$1 id=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
data=$work/home/.local/share/Quorvane
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -u DBUS_SESSION_BUS_ADDRESS HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    XDG_DATA_HOME= XDG_CACHE_HOME= TMPDIR=/tmp QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
    gio launch "/usr/share/applications/$id.desktop" "$work/a.wav" 2>"$work/stderr.launch" ||
    fail "gio launch: $(cat "$work/stderr.launch")"
w=
for _ in $(seq 1 300); do
    w=$(xwininfo -root -tree 2>/dev/null | grep -F "\"Quorvane - $work/a.wav\"" | grep -o '0x[0-9a-f]*' | head -1)
    [ -n "$w" ] && break
    sleep 0.1
done
[ -n "$w" ] || fail "no main window playing a.wav"
pid=$(xprop -id "$w" _NET_WM_PID | sed 's/.* = //')
trap 'kill -KILL $pid 2>/dev/null' EXIT
[ "$(stat -c %U "/proc/$pid")" = nobody ] || fail "the program does not run as nobody"
class=$(sed -n 's/^StartupWMClass=//p' "/usr/share/applications/$id.desktop")
xprop -id "$w" WM_CLASS | grep -qF "\"$class\"" ||
    fail "WM_CLASS $(xprop -id "$w" WM_CLASS) lacks the entry's $class"
for _ in $(seq 1 50); do
    grep -qF "$work/a.wav" "$data/PlayLists/.LastPlayList.recovery" 2>/dev/null && break
    sleep 0.1
done
kill -TERM "$pid"
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not close the program"
[ -f "$data/Setting.ini" ] || fail "no Setting.ini in $data: $(ls -A "$data" 2>&1)"
grep -qF "$work/a.wav" "$data/PlayLists/LastPlayList.lst" || fail "no LastPlayList.lst in $data"
[ -e /usr/bin/Setting.ini ] && fail "the program wrote beside itself"
exit 0
INNER
chmod +x "$work/inner.sh"
source "$here/tests/e2e/common.sh"
e2e_xvfb "$work/inner.sh" "$work" "$id"

apt-get remove --purge -y quorvane >>"$work/apt.log" 2>&1 || fail "apt-get remove"
[ -e /usr/bin/quorvane ] || [ -e "$share/applications/$id.desktop" ] && fail "files left after removal"
echo "package install test: installed, started from its desktop entry, removed"
