#!/usr/bin/env bash
# The English translation holds every text marked in src/, each translated, and
# nothing else: lupdate over src/ into a copy of the .ts must leave it as it is.
# Usage: translations_complete.sh <lupdate> <source folder>
set -euo pipefail
lupdate=$1
root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/translations/quorvane_en.ts" "$work/quorvane_en.ts"
"$lupdate" -silent -locations none -no-obsolete "$root/src" -ts "$work/quorvane_en.ts" 2>/dev/null
if grep -n 'type="unfinished"' "$work/quorvane_en.ts"; then
  echo "texts without an English translation (build update_translations, then translate them)" >&2
  exit 1
fi
if ! diff -u "$root/translations/quorvane_en.ts" "$work/quorvane_en.ts"; then
  echo "translations/quorvane_en.ts is out of date: build the target update_translations" >&2
  exit 1
fi
