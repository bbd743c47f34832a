#!/usr/bin/env bash
# Builds everything and starts the tester. Without arguments it plugs in the built-in emulated
# board (a 3 x 3 expansion set-up); any arguments go to the program instead, for example
#   ./run.sh --simulate single      ./run.sh --board-dir DIR      ./run.sh --help
# Without a display it runs offscreen for a few seconds and writes a screenshot.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake --preset default
cmake --build --preset default

arguments=("$@")
[ ${#arguments[@]} -gt 0 ] || arguments=(--simulate expansion:3x3)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  screenshot="${TMPDIR:-/tmp}/varnostellion-main-window.png"
  screen="$(mktemp)"
  trap 'rm -f "$screen"' EXIT
  echo '{"screens": [{"name": "offscreen", "x": 0, "y": 0, "width": 1920, "height": 1080}]}' > "$screen"
  echo "No display: running the tester offscreen for a few seconds."
  QT_QPA_PLATFORM="offscreen:configfile=$screen" build/default/varnostellion "${arguments[@]}" --screenshot "$screenshot"
  exit
fi
exec build/default/varnostellion "${arguments[@]}"
