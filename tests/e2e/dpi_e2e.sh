#!/usr/bin/env bash
# The reader at 96, 144 and 192 DPI (the prefix's LogPixels), in a fresh Wine
# prefix on a screen of its own: at each resolution the driver measures what
# the reader paints and clicks every key of the letter keyboard; here the
# measurements are compared with those at 96 DPI, which they must follow in
# proportion. At 192 DPI the driver also leaves pictures of the reader, the
# chooser, the search dialog and Choose Font as OUTPUT_DIR/*-192.png.
# Usage: dpi_e2e.sh READER_EXE DRIVER_EXE OUTPUT_DIR
set -euo pipefail
if [ -z "${DPI_E2E_SCREEN:-}" ]; then
  # A screen of its own, large enough for a page at 192 DPI.
  DPI_E2E_SCREEN=1 exec xvfb-run -a -n 160 -s "-screen 0 2000x1400x24" "$0" "$@"
fi
READER="$1"
DRIVER="$2"
OUT="$3"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
export WINEPREFIX="$OUT/prefix"
rm -rf "$WINEPREFIX" "$OUT"/*.bmp "$OUT"/*.png "$OUT"/measures-*
mkdir -p "$OUT"

windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }
wine_run() { "$ROOT/scripts/wine-run" "$@"; }

failed=0
for dpi in 96 144 192; do
  wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w  # the next process starts with the new resolution
  pictures=()
  [ "$dpi" = 192 ] && pictures=(pictures)
  echo "---- $dpi DPI"
  wine_run "$DRIVER" "$(windows_path "$READER")" "$(windows_path "$OUT")" "$dpi" "${pictures[@]}" \
    | tee "$OUT/measures-$dpi" || failed=1
done
/usr/lib/wine/wineserver -w

measure() { awk -v name="$2" '$1 == "measure" && $2 == name { print $3 }' "$OUT/measures-$1"; }
for name in body_text notes tool_images keyboard; do
  base=$(measure 96 "$name")
  for dpi in 144 192; do
    got=$(measure "$dpi" "$name")
    # Within 15%: a glyph's height rounds to whole pixels, and the images
    # come at the drawn scale nearest the resolution.
    if awk -v b="${base:-0}" -v g="${got:-0}" -v d="$dpi" \
      'BEGIN { want = b * d / 96; exit !(b > 0 && g >= want * 0.85 && g <= want * 1.15) }'; then
      echo "ok    $name grows in proportion at $dpi DPI: $got px against $base at 96"
    else
      echo "FAIL  $name at $dpi DPI: $got px against $base at 96"
      failed=1
    fi
  done
done
for picture in reader chooser search-dialog font-dialog; do
  if [ -f "$OUT/$picture.bmp" ]; then
    convert "$OUT/$picture.bmp" "$OUT/$picture-192.png"
    echo "picture: $OUT/$picture-192.png"
  else
    echo "FAIL  no picture of $picture"
    failed=1
  fi
done
exit $failed
