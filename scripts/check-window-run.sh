#!/usr/bin/env bash
# Plays a game that ends by itself in a real window (on a virtual X server) and fails unless the
# player exits with 0: in sanitizer builds this is where leaks of the player show.
#   scripts/check-window-run.sh PATH/TO/tumu
set -euo pipefail
tumu=$1
game=$(mktemp -d)
trap 'rm -rf "$game"' EXIT
# "＃時間待ち", "500", "＃終了" in Shift-JIS: wait half a second, then end the game.
printf '\x81\x94\x8e\x9e\x8a\xd4\x91\xd2\x82\xbf\n500\n\x81\x94\x8f\x49\x97\xb9\n' > "$game/plain.txt"
"$tumu" pack scramble "$game/plain.txt" "$game/start.st1"
SDL_AUDIODRIVER=dummy "$(dirname "$0")/run-under-xvfb.sh" "$tumu" --window "$game"
