#!/usr/bin/env bash
# Installs, for the current user, a desktop menu entry that starts the built
# reader under Wine in the prefix that scripts/start.sh uses, and the reader's
# icon at the sizes desktop menus use (drawn by resources/art/make_art.py).
# A second install replaces the first; --remove takes both away again.
# Builds the reader first when it has not been built.
# Usage: install-desktop.sh [--remove]
set -euo pipefail
source "$(dirname "$0")/common.sh"

DATA_HOME="${XDG_DATA_HOME:-$HOME/.local/share}"
ENTRY="$DATA_HOME/applications/lorvan.desktop"
ICON_THEME="$DATA_HOME/icons/hicolor"
ICON_NAME=lorvan
READER="${LORVAN_READER:-$BUILD/win/app/Lorvan.exe}"

# One argument of an Exec line: always quoted, with the characters that are
# special inside the quotes escaped, "%" doubled (a literal percent rather
# than a field code), then every backslash doubled once more, as the entry's
# string values require.
exec_argument() {
  local a="$1"
  a="${a//\\/\\\\}"
  a="${a//\"/\\\"}"
  a="${a//\`/\\\`}"
  a="${a//\$/\\\$}"
  a="${a//%/%%}"
  a="${a//\\/\\\\}"
  printf '"%s"' "$a"
}

string_value() { local v="$1"; printf '%s' "${v//\\/\\\\}"; }

# Caches that the desktop already keeps are brought up to date; none is made
# where there was none, since a folder's new time tells menus to look again.
refresh_caches() {
  local applications="$DATA_HOME/applications"
  if [ -f "$applications/mimeinfo.cache" ] && command -v update-desktop-database >/dev/null; then
    update-desktop-database -q "$applications" || true
  fi
  if [ -f "$ICON_THEME/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
    gtk-update-icon-cache -q -t "$ICON_THEME" 2>/dev/null || true
  fi
  touch "$applications" "$ICON_THEME" 2>/dev/null || true
}

remove_launcher() {
  rm -f "$ENTRY"
  # Every size, also those of an older install that the art no longer draws.
  rm -f "$ICON_THEME"/*/apps/"$ICON_NAME".png
}

install_icons() {
  local icon size
  for icon in "$ROOT"/resources/art/icons/lorvan-*.png; do
    size="${icon##*/lorvan-}"
    size="${size%.png}"
    install -D -m 644 "$icon" "$ICON_THEME/${size}x${size}/apps/$ICON_NAME.png"
  done
}

write_entry() {
  local prefix wine_run
  prefix="$(reader_prefix)"
  wine_run="$ROOT/scripts/wine-run"
  mkdir -p "$(dirname "$ENTRY")"
  cat >"$ENTRY" <<ENTRY_TEXT
[Desktop Entry]
Type=Application
Name=Lorvan
GenericName=Book Reader
Comment=Read the book in its sections, with the commentary below
Icon=$ICON_NAME
TryExec=$(string_value "$wine_run")
Exec=env $(exec_argument "WINEPREFIX=$prefix") $(exec_argument "$wine_run") $(exec_argument "$READER")
Terminal=false
Categories=Education;Literature;
StartupWMClass=lorvan.exe
ENTRY_TEXT
}

case "${1:-}" in
  --remove)
    remove_launcher
    refresh_caches
    echo "Removed $ENTRY and its icons."
    exit 0 ;;
  "") ;;
  *) echo "usage: $0 [--remove]" >&2; exit 2 ;;
esac

for path in "$ROOT" "$READER" "$(reader_prefix)"; do
  if [[ "$path" == *$'\n'* ]]; then
    echo "A path with a line break cannot go into a desktop entry: $path" >&2
    exit 1
  fi
done
if [ ! -f "$READER" ]; then
  ensure_packages
  build_all >/dev/null
fi
remove_launcher
install_icons
write_entry
refresh_caches
echo "Installed $ENTRY; the reader starts from the desktop menu as \"Lorvan\"."
