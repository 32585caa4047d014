#!/usr/bin/env bash
# Installs what is missing, builds the reader if needed and starts it under
# Wine, in a prefix of its own under the XDG data directory.
set -euo pipefail
source "$(dirname "$0")/common.sh"
ensure_packages
build_all >/dev/null
export WINEPREFIX="$(reader_prefix)"
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display (DISPLAY is not set): start the reader from a desktop session." >&2
  exit 1
fi
exec "$ROOT/scripts/wine-run" "$BUILD/win/app/Lorvan.exe" "$@"
