#!/usr/bin/env bash
# The desktop launcher in a temporary home whose path has a space in it, for
# a reader whose path holds the characters an Exec line must escape:
# installed twice, checked with desktop-file-validate and by the arguments its
# Exec line gives a desktop, then removed.
# Usage: launcher_test.sh READER_EXE WORK_DIR
set -euo pipefail
WORK="$2"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
rm -rf "$WORK"
mkdir -p "$WORK"
HOME_DIR="$WORK/home of a reader"
mkdir -p "$HOME_DIR"
ODD_DIR="$WORK/a \"built\" \$reader, \`100%\`"
mkdir -p "$ODD_DIR"
READER="$ODD_DIR/Lorvan.exe"
ln -s "$1" "$READER"
ENTRY="$HOME_DIR/.local/share/applications/lorvan.desktop"
ICONS="$HOME_DIR/.local/share/icons/hicolor"

failed=0
pass() { echo "ok    $1"; }
fail() { echo "FAIL  $1"; failed=1; }
expect() { if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', wanted '$3'"; fi; }

launcher() {
  env -u XDG_DATA_HOME -u WINEPREFIX HOME="$HOME_DIR" LORVAN_READER="$READER" "$ROOT/scripts/install-desktop.sh" "$@" \
    >/dev/null
}

# The arguments a desktop takes from an Exec value: string escapes first, then
# the quoting, whose rules inside double quotes are those of the shell.
exec_arguments() {
  local value
  value=$(sed -n 's/^Exec=//p' "$ENTRY")
  value="${value//\\\\/\\}"
  eval "set -- $value"
  local argument
  for argument in "$@"; do printf '%s\n' "${argument//%%/%}"; done
}

launcher
launcher  # a second install replaces the first
expect "one entry after two installs" "$(find "$HOME_DIR" -name '*.desktop' | wc -l)" 1
if desktop-file-validate "$ENTRY"; then pass "desktop-file-validate accepts the entry"; else fail "desktop-file-validate"; fi

mapfile -t arguments < <(exec_arguments)
expect "Exec runs env" "${arguments[0]:-}" env
expect "Exec sets the prefix of start.sh" "${arguments[1]:-}" "WINEPREFIX=$HOME_DIR/.local/share/lorvan/wineprefix"
expect "Exec runs wine-run" "${arguments[2]:-}" "$ROOT/scripts/wine-run"
expect "Exec starts the built reader" "${arguments[3]:-}" "$READER"
expect "Exec has nothing more" "${#arguments[@]}" 4

for size in 16 24 32 48 64 128 256; do
  icon="$ICONS/${size}x${size}/apps/lorvan.png"
  expect "icon ${size}x${size}" "$(identify -format '%m %wx%h' "$icon" 2>/dev/null || echo missing)" "PNG ${size}x${size}"
done

launcher --remove
expect "--remove leaves no entry and no icon" "$(find "$HOME_DIR" -name 'lorvan*' | wc -l)" 0
exit $failed
