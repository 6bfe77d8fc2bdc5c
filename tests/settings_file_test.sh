#!/usr/bin/env bash
# The settings file as the player reads it: its values apply, the command line wins, and a bad
# line is reported with its number and skipped.
# usage: tests/settings_file_test.sh TUMU DEMO_DIR
set -euo pipefail
tumu=$1
demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=0
fail() { echo "FAIL: $*"; exit 1; }
mkdir -p "$work/config/tumu"
printf '# a font that does not exist\nfont = /no/such/font.ttf\nscale = huge\n' \
  >"$work/config/tumu/tumu.conf"

status=0
XDG_CONFIG_HOME="$work/config" "$tumu" --headless --auto "$demo" 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "the font of the settings was not used ($status)"
grep -qF "$work/config/tumu/tumu.conf:3: --scale needs a whole number from 1 to 16; the line is ignored" \
  "$work/err" || fail "$(cat "$work/err")"
grep -qF "/no/such/font.ttf" "$work/err" || fail "$(cat "$work/err")"

font=$(fc-match -f '%{file}' 'IPAGothic')
status=0
XDG_CONFIG_HOME="$work/config" "$tumu" --headless --auto --font "$font" "$demo" 2>"$work/err" \
  || status=$?
[ "$status" -eq 0 ] || fail "the command line's font did not win ($status): $(cat "$work/err")"
echo "ok"
