#!/bin/bash
# What `cmake --install` lays out, under a temporary prefix: the desktop entry
# and the AppStream metainfo pass their validators and name the program by one
# id, the icons are there at every size, the manual page reads without a
# warning, the .lst file type is a valid MIME definition that claims *.lst, and
# the installed program answers.
# Usage: check_installed_files.sh <build folder> <application id> <icon size>...
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
build=$1 id=$2
shift 2
sizes=$*
for tool in desktop-file-validate appstreamcli update-mime-database identify man; do
    command -v $tool >/dev/null || fail "$tool is missing (./scripts/deps installs it)"
done
work=$(mktemp -d /tmp/qv-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/usr" >"$work/install.log" || fail "cmake --install"
share=$work/usr/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" >"$work/as.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/as.log")"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo launches no $id.desktop"

icons=$share/icons/hicolor
for size in $sizes; do
    got=$(identify -format '%wx%h' "$icons/${size}x$size/apps/$id.png" 2>&1)
    [ "$got" = "${size}x$size" ] || fail "icon of ${size}x$size: $got"
done
for svg in scalable/apps/$id.svg symbolic/apps/$id-symbolic.svg; do
    xmllint --noout "$icons/$svg" || fail "icon $svg"
done

page=$share/man/man1/quorvane.1.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$work/man.txt")
[ -z "$warnings" ] || fail "manual page: $warnings"
grep -q -- '--version' "$work/man.txt" || fail "the manual page names no --version"

mkdir -p "$work/mime/packages"
cp "$share/mime/packages/$id.xml" "$work/mime/packages/"
XDG_DATA_HOME="$work" update-mime-database "$work/mime" 2>"$work/mime.log" && [ ! -s "$work/mime.log" ] ||
    fail "update-mime-database: $(cat "$work/mime.log")"
grep -q ':audio/x-quorvane-playlist:\*\.lst$' "$work/mime/globs2" || fail "*.lst is not claimed"

version=$("$work/usr/bin/quorvane" --version) || fail "the installed program does not answer"
echo "installed files: $(cd "$work/usr" && find . -type f | wc -l) files, $version"
