#!/usr/bin/env bash
# The engine core must build without SDL: only src/platform/sdl and src/app may include it.
set -euo pipefail
cd "$1"
hits=$(grep -rn -E '#\s*include\s*[<"](SDL|fluidsynth)' src --include='*.cpp' --include='*.h' \
  | grep -v -E '^src/(platform/sdl|app)/' || true)
if [ -n "$hits" ]; then
  echo "SDL used outside src/platform/sdl and src/app:"
  echo "$hits"
  exit 1
fi
