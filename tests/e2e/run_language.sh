#!/bin/bash
# End to end: the built program started with LANGUAGE=en speaks English (the
# caption after a scan of an empty folder), and its exit stores no language.
# Usage: run_language.sh <path of the built quorvane>
set -u
source "$(dirname "$0")/common.sh"
e2e_setup "$1" lang
mkdir -p "$work/Music"
printf '[File]\r\nLastSearchedPath=%s\r\n' "$work/Music" > "$work/prog/Setting.ini"

cat > "$work/inner.sh" <<'INNER'
#!/bin/bash
set -u
work=$1
source "$E2E_COMMON"
e2e_display_env
export LANGUAGE=en_US:ja
e2e_start
# The scan button, as in run_library.sh.
xdotool mousemove 477 52 click 1 || fail "no XTEST"
wait_caption "$id" "Quorvane - Scan finished" || fail "caption after the scan: $(caption "$id")"
e2e_close
INNER
chmod +x "$work/inner.sh"
e2e_xvfb "$work/inner.sh" "$work"

grep -qi '^language' "$work/prog/Setting.ini" && fail "a language was stored: $(cat "$work/prog/Setting.ini")"
grep -q '^Width=' "$work/prog/Setting.ini" || fail "the exit wrote no Setting.ini"
echo "PASS"
