#!/usr/bin/env bash
# Plays a game in a window; where no window can be opened, plays it headless instead, answering
# every wait by itself, and leaves a screenshot of each wait and a contact sheet of them all.
# usage: scripts/play-demo.sh TUMU GAME_DIR SHOTS_DIR
set -euo pipefail
tumu=$1
game=$2
shots=$3

if "$tumu" --check-display 2>/dev/null; then
  exec "$tumu" "$game"
fi
echo "No window can be opened here (no display), so tumu plays the demo by itself and takes a screenshot each time it waits."
rm -rf "$shots"
exec "$tumu" --headless --auto --shots "$shots" "$game"
