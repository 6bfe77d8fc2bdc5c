#!/usr/bin/env bash
# `make run`'s player script, with the debug build: without a display it says so in one sentence,
# plays the demo by itself and leaves the screenshots and their contact sheet; under Xvfb it opens
# the window and waits for the player, with nothing from the drivers on the terminal.
# usage: tests/play_demo_test.sh TUMU DEMO_DIR
set -euo pipefail
tumu=$1
demo=$2
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
fail() { echo "FAIL: $*"; exit 1; }

# No display: headless, with screenshots and the contact sheet.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/config" \
  "$here/scripts/play-demo.sh" "$tumu" "$demo" "$work/shots" >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/err")"
[ "$(head -n 1 "$work/out")" = "No window can be opened here (no display), so tumu plays the demo by itself and takes a screenshot each time it waits." ] \
  || fail "first line: $(head -n 1 "$work/out")"
grep -q "all of them in one picture: $work/shots/contact-sheet.png" "$work/out" || fail "$(cat "$work/out")"
[ -s "$work/shots/shot-0001.png" ] || fail "no screenshot"
[ -s "$work/shots/contact-sheet.png" ] || fail "no contact sheet"
[ ! -s "$work/err" ] || fail "stderr: $(cat "$work/err")"

# A display: the window opens and the game waits for the player (the run is stopped after a
# while, as a player closing the window would). The player's own status is kept apart from
# xvfb-run's, whose removal of its temporary folder now and then fails on a busy machine.
XDG_CONFIG_HOME="$work/config" "$here/scripts/run-under-xvfb.sh" bash -c \
  'timeout -s TERM 5 "$1"/scripts/play-demo.sh "$2" "$3" "$4"; echo $? >"$5"' _ \
  "$here" "$tumu" "$demo" "$work/shots2" "$work/status2" >"$work/out2" 2>"$work/err2" || true
status=$(cat "$work/status2" 2>/dev/null || echo "none")
sed -i '/^xvfb-run: error: problem while cleaning up temporary directory$/d' "$work/err2"
[ "$status" = 124 ] || fail "the windowed run ended by itself ($status): $(cat "$work/err2")"
[ ! -e "$work/shots2" ] || fail "the windowed run played headless"
[ ! -s "$work/err2" ] || fail "stderr: $(cat "$work/err2")"
echo "ok"
