#!/usr/bin/env bash
# Printing from the command line, in a fresh Wine prefix with a PostScript
# printer on a file port: one section with its commentary (to the port), a
# range without it and one beside it (each to a file of its own), read back
# with ghostscript and held against the book's source (print_check.py); page
# 1 rendered to PNG keeps its ink inside the 20 mm margins; and the mistakes
# end at once with a line on standard error and a non-zero exit code, never
# a window. One job runs while the reader is open.
# Usage: print_e2e.sh READER_EXE PRINTER_TOOL_EXE OUTPUT_DIR BOOK_SOURCE_DIR
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -n 121 -s "-screen 0 1024x768x24" "$0" "$@"
fi
READER="$1"
PRINTER_TOOL="$2"
OUT="$3"
BOOK="$4"
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
export WINEPREFIX="$OUT/prefix"
export WINEDEBUG=-all
# A crash must not wait for the debugger.
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
rm -rf "$OUT"
mkdir -p "$OUT"
RUN="$ROOT/scripts/wine-run"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }

timeout 180 "$RUN" "$PRINTER_TOOL" "Lorvan Test" "$OUT/port.ps"

# Runs the reader with the given arguments; its exit code in $code, its
# standard error in $OUT/stderr.
print_job() {
  set +e
  timeout 60 "$RUN" "$READER" "$@" 2>"$OUT/stderr" >/dev/null
  code=$?
  set -e
}

check_text() {
  local ps="$1" first="$2" last="$3" placement="$4"
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=txtwrite -o "$ps.txt" "$ps"
  python3 "$HERE/print_check.py" "$ps.txt" "$BOOK" "$first" "$last" "$placement" \
    || fail "$ps does not hold pairs $first to $last ($placement) and nothing else"
}

# Ink of page 1 at 100 DPI, inside 20 mm (79 px) of every edge of the sheet.
check_margins() {
  local ps="$1"
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r100 -dFirstPage=1 -dLastPage=1 -o "$ps.png" "$ps"
  local size box
  size=$(identify -format '%w %h' "$ps.png")
  box=$(convert "$ps.png" -trim -format '%w %h %X %Y' info:)
  read -r width height <<<"$size"
  read -r inkw inkh inkx inky <<<"${box//+/ }"
  local margin=78
  if [ "$inkx" -lt "$margin" ] || [ "$inky" -lt "$margin" ] ||
     [ $((inkx + inkw)) -gt $((width - margin)) ] || [ $((inky + inkh)) -gt $((height - margin)) ]; then
    fail "$ps page 1 has ink at ${inkw}x${inkh}+${inkx}+${inky} on a ${width}x${height} sheet"
  fi
  if [ "$inkw" -lt $((width / 2)) ] || [ "$inkh" -lt $((height / 2)) ]; then
    fail "$ps page 1 has hardly any ink: ${inkw}x${inkh}"
  fi
}

# One section with its commentary, through the printer's port.
print_job /print 5 /commentary below
[ "$code" = 0 ] || fail "/print 5 ended with $code: $(cat "$OUT/stderr")"
cp "$OUT/port.ps" "$OUT/section.ps" 2>/dev/null || fail "/print 5 wrote nothing to the port"
head -c 4 "$OUT/section.ps" | grep -q '%!PS' || fail "the port's file is not PostScript"
check_text "$OUT/section.ps" 5 5 below
check_margins "$OUT/section.ps"

# A range without the commentary, to a file named by a Unix path.
print_job /print 3-4 /commentary none /output "$OUT/range.ps"
[ "$code" = 0 ] || fail "/print 3-4 ended with $code: $(cat "$OUT/stderr")"
[ -s "$OUT/range.ps" ] && check_text "$OUT/range.ps" 3 4 none

# Beside, named the Windows way, while the reader is open.
"$RUN" "$READER" >/dev/null 2>&1 &
reader=$!
sleep 8
print_job /print 7-8 /commentary beside /output "$(windows_path "$OUT/beside.ps")"
[ "$code" = 0 ] || fail "/print 7-8 beside the reader ended with $code: $(cat "$OUT/stderr")"
[ -s "$OUT/beside.ps" ] && check_text "$OUT/beside.ps" 7 8 beside && check_margins "$OUT/beside.ps"
# The prefix is this test's own: everything in it goes.
/usr/lib/wine/wineserver -k || true
wait "$reader" 2>/dev/null || true

# Mistakes: a line on standard error and a non-zero code, at once.
expect_refusal() {
  local wanted="$1"
  shift
  local start=$SECONDS
  print_job "$@"
  [ "$code" = "$wanted" ] || fail "$* ended with $code, not $wanted"
  [ -s "$OUT/stderr" ] || fail "$* said nothing on standard error"
  [ $((SECONDS - start)) -lt 30 ] || fail "$* took $((SECONDS - start)) s: did it wait for a box?"
}
expect_refusal 2 /print 0-3
expect_refusal 2 /print 170-179
expect_refusal 2 /print 3 /commentary aside
expect_refusal 3 /print 3 /printer "No Such Printer"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s); the jobs are in $OUT"
  exit 1
fi
echo "print_e2e: all passed"
