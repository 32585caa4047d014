#!/usr/bin/env bash
# End-to-end test of the reader: a fresh Wine prefix, the reader driven by a
# second program with window messages, then the stored settings checked in the
# prefix's user.reg. Leaves the captured windows as OUTPUT_DIR/reader.png,
# font-dialog.png and about-box.png. The addresses the reader opens reach a
# recording xdg-open first on PATH instead of a browser.
# Usage: run_e2e.sh READER_EXE DRIVER_EXE OUTPUT_DIR
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
READER="$1"
DRIVER="$2"
OUT="$3"
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

windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }

"$ROOT/scripts/wine-run" "$DRIVER" "$(windows_path "$READER")" "$(windows_path "$OUT")"
/usr/lib/wine/wineserver -w  # the registry is written out when the server ends

failed=0
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
if ! grep -q '^"Program Path"=".*Lorvan.exe"$' "$WINEPREFIX/user.reg"; then
  echo "FAIL  user.reg has no Program Path"
  failed=1
fi
for capture in reader font-dialog about-box; do
  if [ -f "$OUT/$capture.bmp" ]; then convert "$OUT/$capture.bmp" "$OUT/$capture.png"; fi
done
echo "captures: $OUT/reader.png $OUT/font-dialog.png $OUT/about-box.png"

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
exit $failed
