# Shared by the end-to-end scripts (sourced, not run): a fresh work folder
# holding a copy of the program, an Xvfb display to run a script on, and the
# helpers that script uses to find, read and end the program's main window.
#
# Outer script:  source "$(dirname "$0")/common.sh"; e2e_setup <quorvane> <tag>
#                ... write "$work/inner.sh" ...; e2e_xvfb "$work/inner.sh" [args]
# Inner script:  source "$E2E_COMMON"; e2e_display_env; e2e_start [args]; ...

E2E_COMMON=$(realpath "${BASH_SOURCE[0]}")
export E2E_COMMON

fail() { echo "FAIL: $*" >&2; exit 1; }

# work = a new folder, removed on exit, with prog/quorvane and a private
# runtime folder (the single-copy lock lives there).
e2e_setup() {
    binary=$(realpath "$1")
    work=$(mktemp -d "/tmp/qv-e2e-$2-XXXXXX")
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/prog" "$work/runtime"
    chmod 700 "$work/runtime"
    cp "$binary" "$work/prog/quorvane"
}

# Runs a script on a display of its own, 96 dpi (a twip is 1/15 pixel there).
# The server is waited for at the end: xvfb-run does not, so a server still
# shutting down from the test before could delete the socket of the next one
# on the same number. Xvfb picks the number itself (-displayfd with none
# given): it takes the first free one under its lock, where a server started
# on a number chosen here that turns out taken aborts, and on its way out
# removes the socket of the server that has it, so the other test's program
# finds no display. The server is asked once before the script runs.
# On failure the program's error output (every $work/stderr*) is shown.
e2e_xvfb() {
    local xpid= rc=1
    for _ in $(seq 1 5); do
        Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 -dpi 96 \
            3>"$work/display" 2>>"$work/stderr.xvfb" &
        xpid=$!
        # The number is written once the server listens.
        while [ ! -s "$work/display" ] && kill -0 $xpid 2>/dev/null; do sleep 0.1; done
        [ -s "$work/display" ] &&
            DISPLAY=":$(head -1 "$work/display")" XAUTHORITY= xwininfo -root >/dev/null 2>&1 &&
            break
        kill $xpid 2>/dev/null
        wait $xpid 2>/dev/null
        xpid=
        : > "$work/display"
    done
    if [ -s "$work/display" ]; then
        DISPLAY=":$(head -1 "$work/display")" XAUTHORITY= "$@"
        rc=$?
    else
        echo "FAIL: Xvfb did not start" >&2
    fi
    if [ -n "$xpid" ]; then
        kill $xpid 2>/dev/null
        wait $xpid 2>/dev/null
    fi
    [ $rc -eq 0 ] && return 0
    for f in "$work"/stderr*; do
        [ -f "$f" ] || continue
        echo "== $f" >&2
        grep -v ALSA "$f" | tail -40 >&2
    done
    exit 1
}

# --- for the script run under Xvfb ---

# A real X window even when the test runner chose the offscreen platform.
# The lock's other places (the cache and temporary folders) are the test's
# own too, so a copy the user has running is no "other copy" for the test.
e2e_display_env() {
    export XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb \
        XDG_CACHE_HOME="$work/cache" TMPDIR="$work/tmp"
    mkdir -p "$work/tmp"
    pid=
    # A copy left running would hold the test open.
    trap '[ -n "$pid" ] && kill -KILL $pid 2>/dev/null' EXIT
}

# The main window by its default size (the splash and Qt's leader window are
# named after the program too).
window_id() {
    xwininfo -root -tree 2>/dev/null | grep '"Quorvane' | grep ' 570x437+' | head -1 |
        grep -o '0x[0-9a-f]*' | head -1
}
caption() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed 's/^[^"]*"//; s/"$//'; }
wait_window() {
    for _ in $(seq 1 600); do  # a sanitizer build starts slowly
        id=$(window_id)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
# Waits up to 10 s for a window titled $1 (a dialog of the program).
wait_named() {
    for _ in $(seq 1 100); do
        xwininfo -root -tree 2>/dev/null | grep -qF "\"$1\": (" && return 0
        sleep 0.1
    done
    return 1
}
# Waits up to 10 s for the caption of window $1 to read $2.
wait_caption() {
    for _ in $(seq 1 100); do
        [ "$(caption "$1")" = "$2" ] && return 0
        sleep 0.1
    done
    return 1
}

# Starts a command in the background, its error output appended to $1, and
# sets launched to its pid. Now and then a fresh server turns the first client
# away ("could not connect to display", the program ends at once) though it
# answered the moment before: the start is made again once the server answers.
e2e_launch() {
    local err=$1 tries seen
    shift
    for tries in 1 2 3; do
        seen=$(grep -c "could not connect to display" "$err" 2>/dev/null)
        "$@" 2>>"$err" &
        launched=$!
        sleep 0.5
        kill -0 $launched 2>/dev/null && return 0
        [ "$(grep -c "could not connect to display" "$err")" != "${seen:-0}" ] || return 0
        wait $launched 2>/dev/null
        for _ in $(seq 1 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
    done
}

# Starts the program from "/" with the given arguments; pid and id are set.
e2e_start() {
    cd /
    e2e_launch "$work/stderr" "$work/prog/quorvane" "$@"
    pid=$launched
    id=$(wait_window) || fail "no main window"
    sleep 1
}

# SIGTERM closes the program as the user would; it must end normally.
e2e_close() {
    kill -TERM $pid
    wait $pid || fail "exit status $? after SIGTERM"
    pid=
}
