#!/usr/bin/env bash
# Builds everything and plugs an emulated bridge board into the virtual bus.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake --preset default
cmake --build --preset default
exec build/default/board/varnostellion-board "$@"
