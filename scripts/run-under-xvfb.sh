#!/usr/bin/env bash
# Runs a program on its own virtual X server. The server number is drawn at random so that runs
# that start at the same moment on one machine do not race for the same display.
set -euo pipefail
exec xvfb-run --auto-servernum --server-num=$((100 + RANDOM % 800)) \
  --server-args="-screen 0 1280x1024x24" "$@"
