#!/usr/bin/env bash
# Builds the profile fuzzer with clang and runs it for a bounded time.
#   fuzz/run.sh [seconds]   (default 60)
# The working corpus lives in build/fuzz/corpus, seeded from fuzz/seeds; crashes land in
# build/fuzz/artifacts and make the script fail.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$build" -j2
mkdir -p "$build/corpus" "$build/artifacts"
"$build/profile_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build/artifacts/" "$build/corpus" "$root/fuzz/seeds"
