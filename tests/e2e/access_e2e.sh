#!/usr/bin/env bash
# The reader read by a screen-reader client in another process, in a fresh
# Wine prefix on a screen of its own.
# Usage: access_e2e.sh READER_EXE CLIENT_EXE OUTPUT_DIR
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -n 140 -s "-screen 0 1024x768x24" "$0" "$@"
fi
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
OUT="$3"
export WINEPREFIX="$OUT/prefix"
rm -rf "$WINEPREFIX"
mkdir -p "$OUT"
windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }
status=0
"$ROOT/scripts/wine-run" "$2" "$(windows_path "$1")" || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit "$status"
