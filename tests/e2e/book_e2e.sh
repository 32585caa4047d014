#!/usr/bin/env bash
# Book files end to end: the reader in a fresh Wine prefix opens a book file
# through Ctrl+O, the command line and a second start, driven by
# book_driver.exe, which also judges what the reader stored.
# Usage: book_e2e.sh READER_EXE DRIVER_EXE SMALL_BOOK OUTPUT_DIR
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -n 130 -s "-screen 0 1024x768x24" "$0" "$@"
fi
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
OUT="$4"
export WINEPREFIX="$OUT/prefix"
rm -rf "$WINEPREFIX"
mkdir -p "$OUT"
windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }
status=0
"$ROOT/scripts/wine-run" "$2" "$(windows_path "$1")" "$(windows_path "$3")" || status=$?
/usr/lib/wine/wineserver -w
exit $status
