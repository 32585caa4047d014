#!/usr/bin/env bash
# Builds and runs the benchmark; prints "name: value" lines.
set -euo pipefail
source "$(dirname "$0")/common.sh"
ensure_packages
build_all >/dev/null
export WINEPREFIX="${WINEPREFIX:-$BUILD/wineprefix}"
# The selection is dragged over a 1920 x 1080 pane, which must lie on the screen.
xvfb-run -a -s "-screen 0 2560x1600x24" "$ROOT/scripts/wine-run" "$BUILD/win/bench/lorvan_bench.exe"
# The import from the library's export is a native tool's: its figures come
# from the native build (with its sanitizers), after the reader's.
"$BUILD/host/bin/lorvan_import_bench"
