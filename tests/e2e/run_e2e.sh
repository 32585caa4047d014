#!/usr/bin/env bash
# End-to-end test of the reader: a fresh Wine prefix, the reader driven by a
# second program with window messages, then the stored settings checked in the
# prefix's user.reg. Copy and Append are read back from the X clipboard with
# xclip whenever the driver asks, and an Append onto another program's Rich
# Text is read by LibreOffice; the addresses the reader opens reach a
# recording xdg-open first on PATH instead of a browser. Leaves the captured
# windows as OUTPUT_DIR/reader.png, chooser.png, font-dialog.png,
# about-box.png, search-keys.png and search-match.png.
# Usage: run_e2e.sh READER_EXE DRIVER_EXE OUTPUT_DIR [BOOK_SOURCE_DIR]
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -n 120 -s "-screen 0 1024x768x24" "$0" "$@"
fi
READER="$1"
DRIVER="$2"
OUT="$3"
BOOK="${4:-}"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
export WINEPREFIX="$OUT/prefix"
rm -rf "$WINEPREFIX"
mkdir -p "$OUT"
rm -f "$OUT"/*.bmp "$OUT"/*.png "$OUT/opened.log"
mkdir -p "$OUT/bin"
cat > "$OUT/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >> "$OUT/opened.log"
EOF
chmod +x "$OUT/bin/xdg-open"
export PATH="$OUT/bin:$PATH"
CLIP="$OUT/clipboard"
rm -rf "$CLIP"
mkdir -p "$CLIP"

windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }

# Answers the driver's request STEP.ready with what X programs see, after
# running the command given after STEP, if any.
read_x_clipboard() {
  local step="$CLIP/$1"
  timeout 10 xclip -o -selection clipboard -t TARGETS >"$step.targets" 2>/dev/null || true
  timeout 10 xclip -o -selection clipboard -t text/rtf >"$step.rtf" 2>/dev/null || true
  timeout 10 xclip -o -selection clipboard -t UTF8_STRING >"$step.txt" 2>/dev/null || true
  if [ $# -gt 1 ]; then "$2"; fi
  touch "$step.done"
}

# Another program's Rich Text on the X clipboard, as a word processor leaves
# it; xclip serves it until the reader takes the clipboard over.
offer_other_program() {
  timeout 120 xclip -quiet -selection clipboard -t text/rtf -i "$ROOT/tests/e2e/other_program.rtf" \
    >/dev/null 2>&1 &
  offered=$!
  touch "$CLIP/other.offered"
}

# LibreOffice reads the Rich Text after the Append, as a paste into it would.
convert_with_libreoffice() {
  local format
  for format in 'txt:Text (encoded):UTF8' html; do
    timeout 120 soffice -env:UserInstallation="file://$OUT/lo-profile" --headless --norestore \
      --convert-to "$format" --outdir "$CLIP/converted" "$CLIP/other.rtf" >/dev/null 2>&1 || true
  done
}

offered=""
"$ROOT/scripts/wine-run" "$DRIVER" "$(windows_path "$READER")" "$(windows_path "$OUT")" \
  "$(windows_path "$CLIP")" &
driver=$!
while kill -0 "$driver" 2>/dev/null; do
  for step in copy append; do
    if [ -f "$CLIP/$step.ready" ] && [ ! -f "$CLIP/$step.done" ]; then read_x_clipboard "$step"; fi
  done
  if [ -f "$CLIP/other.offer" ] && [ ! -f "$CLIP/other.offered" ]; then offer_other_program; fi
  if [ -f "$CLIP/other.ready" ] && [ ! -f "$CLIP/other.done" ]; then
    read_x_clipboard other convert_with_libreoffice
  fi
  sleep 0.1
done
driver_status=0
wait "$driver" || driver_status=$?
if [ -n "$offered" ]; then kill "$offered" 2>/dev/null || true; fi
/usr/lib/wine/wineserver -w  # the registry is written out when the server ends

failed=0
[ "$driver_status" = 0 ] || failed=1
expect_value() {
  if grep -q "^\"$1\"=$2\$" "$WINEPREFIX/user.reg"; then
    echo "ok    user.reg $1=$2"
  else
    echo "FAIL  user.reg has no $1=$2"
    failed=1
  fi
}
expect_value Lesson dword:0000000f
expect_value LastPosition dword:00000005
expect_value BottomSection dword:0000000d
expect_value BottomSectionLastPosition dword:00000004
expect_value Flags dword:d1140840
expect_value Bookmarks hex:0f,00,00,00
if ! grep -q '^"Program Path"=".*Lorvan.exe"$' "$WINEPREFIX/user.reg"; then
  echo "FAIL  user.reg has no Program Path"
  failed=1
fi
# The copy starts with the section's title, in reading order again.
title_file="$BOOK/015.txt"
if [ -n "$BOOK" ] && grep -q '^\[title\] ' "$title_file" 2>/dev/null; then
  title=$(grep -m1 '^\[title\] ' "$title_file" | sed 's/^\[title\] //')
  if [ "$(head -n1 "$CLIP/copy.txt" | tr -d '\r')" = "$title" ]; then
    echo "ok    the copy starts with the title of section 15"
  else
    echo "FAIL  the copy does not start with the title \"$title\""
    failed=1
  fi
fi
for capture in reader chooser font-dialog about-box; do
  if [ -f "$OUT/$capture.bmp" ]; then convert "$OUT/$capture.bmp" "$OUT/$capture.png"; fi
done
echo "captures: $OUT/reader.png $OUT/chooser.png $OUT/font-dialog.png $OUT/about-box.png"

# The capture must show the commentary's light ground and the red separator.
share_of() { convert "$OUT/reader.png" -fill black +opaque "$1" -fill white -opaque "$1" -format "%[fx:mean]" info:; }
light=$(share_of "rgb(238,255,255)")
red=$(share_of "rgb(255,0,0)")
if awk -v l="$light" -v r="$red" 'BEGIN { exit !(l > 0.15 && r > 0.0005) }'; then
  echo "ok    capture shows the light commentary area ($light) and the red line ($red)"
else
  echo "FAIL  capture: light share $light, red share $red"
  failed=1
fi
# The search: the dialog after keys 1, 2 and 3, and the reader showing the
# match found with OK in blue on yellow, with the section's title box.
for capture in search-keys search-match; do
  if [ -f "$OUT/$capture.bmp" ]; then
    convert "$OUT/$capture.bmp" "$OUT/$capture.png"
    echo "capture: $OUT/$capture.png"
  else
    echo "FAIL  no capture $capture"
    failed=1
  fi
done
if [ -f "$OUT/search-match.png" ]; then
  yellow=$(convert "$OUT/search-match.png" -fill black +opaque "rgb(255,255,0)" -fill white \
    -opaque "rgb(255,255,0)" -format "%[fx:mean]" info:)
  if awk -v y="$yellow" 'BEGIN { exit !(y > 0.002) }'; then
    echo "ok    the match is highlighted ($yellow of the capture is yellow)"
  else
    echo "FAIL  no highlighted match in the capture ($yellow yellow)"
    failed=1
  fi
fi
exit $failed
