#!/usr/bin/env bash
# Builds and runs the benchmark; prints "name: value" lines.
set -euo pipefail
source "$(dirname "$0")/common.sh"
ensure_packages
build_all >/dev/null
export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
xvfb-run -a -s "-screen 0 1024x768x24" "$ROOT/scripts/wine-run" "$BUILD/win/bench/lorvan_bench.exe"
