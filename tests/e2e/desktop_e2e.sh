#!/usr/bin/env bash
# The reader on a desktop, driven with real key presses and pointer events
# (xdotool) in a fresh Wine prefix: the shortcut keys of the menu, F1, the
# wheel over each pane, the window's place from one start to the next, Latin
# keys typed into the search, Find All's list, Back, Forward and Go To
# (history_e2e.sh), a passage selected with a drag and copied with its source
# (its Rich Text read back by LibreOffice), a match in the commentary with F3
# after a zoom and Copy after the wheel, the menus by keyboard, full screen,
# the stored sizes across a restart, a drag of the divider and the theme.
# Leaves the results window as
# OUTPUT_DIR/find-all.png.
# Each check looks at what its key or turn leaves behind: the stored
# settings, the clipboard, the dialog that opens.
# Usage: desktop_e2e.sh READER_EXE OUTPUT_DIR [reading|frame]
# The two halves run apart as two tests; with no third argument, both.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  # Each half looks for a free screen from its own number, so that two
  # started together do not take the same one.
  first_screen=140
  [ "${3:-}" = frame ] && first_screen=150
  exec xvfb-run -a -n "$first_screen" -s "-screen 0 1024x768x24" "$0" "$@"
fi
READER="$1"
OUT="$2"
HALF="${3:-both}"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
export WINEPREFIX="$OUT/prefix"
rm -rf "$WINEPREFIX"
mkdir -p "$OUT"

# Section 11 opens; its commentary is 12. The search is a phrase found only in
# section 13, "amurim chayav": typed in reading order on the English layout of
# the X server, its keys give the letters the Israeli layout has on them, and
# they go into the edit right to left, which gives the drawing order that the
# book stores and the settings keep. Section 101 is bookmarked.
START_SECTION=11
SEARCH_TYPED="tnurho jhhc"
SEARCH_HEX="62,6a,6a,68,20,6e,6a,79,66,6f,61,00"  # the letter codes "bjjh njyfoa"
SEARCH_SECTION=13
# Find All for "hamayim": its first match is in section 1, its second in 5.
FIND_ALL_HEX="6e,6a,6f,65,00"
FIND_ALL_SECOND_SECTION=5
BOOKMARKED_SECTION=101
COPIED_TITLE="סימן ו'"  # the title of section 11, in reading order
SOURCE_LINE="סימן ו', פרק א' משנה ו'"  # its title and subtitle, as a copied passage names them
ROW_PX=20                # FontSize 20: rows of the chooser are 20 px high

failed=0
pass() { echo "ok    $1"; }
fail() { echo "FAIL  $1"; failed=1; }
expect() { if [ "$2" = "$3" ]; then pass "$1"; else fail "$1: got '$2', wanted '$3'"; fi; }

wine_run() { "$ROOT/scripts/wine-run" "$@"; }

# The stored settings every session starts from, plus any extra lines.
store_settings() {
  local file="$OUT/settings.reg"
  {
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quenmark\\Lorvan]\n'
    printf '"Lesson"=dword:%08x\n' "$START_SECTION"
    printf '"LastPosition"=dword:00000000\n"BottomSectionLastPosition"=dword:00000000\n'
    printf '"FontName"="DejaVu Sans"\n"FontSize"=dword:%08x\n' "$ROW_PX"
    printf '"Bookmarks"=hex:%02x,00,00,00\n' "$BOOKMARKED_SECTION"
    printf '%s\n' "$@"
  } >"$file"
  wine_run reg import "$(windows_path "$file")" >/dev/null 2>&1
}

# Settings a session leaves, read once the prefix's server has written them.
stored() {
  local line
  line=$(sed -n '/^\[Software\\\\Quenmark\\\\Lorvan\]/,/^\[/p' "$WINEPREFIX/user.reg" | grep "^\"$1\"=" || true)
  echo "${line#*=}"
}
stored_dword() { local v; v=$(stored "$1"); [ -n "$v" ] && echo $((16#${v#dword:})) || echo missing; }

windows_path() { local p="$1"; echo "Z:${p//\//\\}"; }

# The first visible window whose name matches, other than the reader's own.
find_window() {
  local id
  for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    [ "$id" != "${WINDOW:-}" ] && { echo "$id"; return 0; }
  done
  return 1
}

wait_for_window() {
  local i
  for i in $(seq 1 100); do
    find_window "$1" && return 0
    sleep 0.2
  done
  return 1
}

wait_until_gone() {
  local i
  for i in $(seq 1 50); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -qx "$2" || return 0
    sleep 0.2
  done
  return 1
}

# READER_PID is the reader's own process: wine-run ends by exec.
start_reader() {
  "$ROOT/scripts/wine-run" "$READER" &
  READER_PID=$!
  WINDOW=""
  if ! WINDOW=$(wait_for_window '^Lorvan$'); then
    fail "the reader's window appears"
    kill "$READER_PID" 2>/dev/null || true
    /usr/lib/wine/wineserver -w
    return 1
  fi
  sleep 1  # the first paint and the settings of the panes
  focus_reader
}

# A window that cannot take the focus (a modal dialog stayed open) must not
# hold the run up; the check after it fails instead.
focus() { timeout 5 xdotool windowfocus --sync "$1" || true; }
focus_reader() { focus "$WINDOW"; }

# Ctrl+Q ends the reader, which then writes its settings.
quit_reader() {
  focus_reader
  xdotool key ctrl+q
  local i
  for i in $(seq 1 100); do
    kill -0 "$READER_PID" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$READER_PID" 2>/dev/null; then
    fail "Ctrl+Q ends the reader"
    kill "$READER_PID"
  else
    local code=0
    wait "$READER_PID" || code=$?
    expect "Ctrl+Q ends the reader (exit code)" "$code" 0
  fi
  /usr/lib/wine/wineserver -w  # the registry reaches user.reg when the server ends
}

geometry() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# Points inside the main pane (upper part) and the commentary pane (lower part,
# above the menu bar) of the reader's client area.
point_in_pane() {
  local x y width height
  read -r x y width height <<<"$(geometry "$WINDOW")"
  case "$1" in
    main) echo "$((width / 3)) $((height / 5))" ;;
    bottom) echo "$((width / 3)) $((height * 2 / 3))" ;;
  esac
}

# Turns the wheel over a pane: positive notches towards the end.
turn_wheel() {
  local pane="$1" notches="$2" button=5
  [ "$notches" -lt 0 ] && { button=4; notches=$((-notches)); }
  # shellcheck disable=SC2046
  xdotool mousemove --window "$WINDOW" $(point_in_pane "$pane")
  xdotool click --repeat "$notches" --delay 120 "$button"
  sleep 0.5
}

# Passes "$2" when a window titled $1 shows, and closes it with Escape.
# Returns 1 when Escape left it open, 2 when it never showed.
escape_shown_window() {
  local title="$1" what="$2" window
  if ! window=$(wait_for_window "$title"); then
    fail "$what"
    return 2
  fi
  pass "$what"
  focus "$window"
  xdotool key Escape
  wait_until_gone "$title" "$window"
}

# Opens a dialog by key, checks that it shows, and closes it with Escape.
check_dialog() {
  local name="$1" key="$2" title="$3" result=0
  focus_reader
  xdotool key "$key"
  escape_shown_window "$title" "$name: $key opens the window \"$title\"" || result=$?
  case $result in
    0) pass "$name: Escape closes it" ;;
    1) fail "$name: Escape closes it" ;;
  esac
}

clipboard() { xclip -o -selection clipboard 2>/dev/null || true; }
count_of() { grep -o -F -- "$2" <<<"$1" | wc -l; }

# ---- First start: reading size, the wheel, a move and a resize ---------------
session_first_start() {
  store_settings
  start_reader || return 0
  local x y width height screen_width screen_height
  read -r x y width height <<<"$(geometry "$WINDOW")"
  read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
  # The client area of a window of about 480 by 640, frame and caption taken off.
  if [ "$height" -gt "$width" ] && [ "$width" -ge 400 ] && [ "$width" -le 480 ] && [ "$height" -ge 560 ] &&
     [ "$height" -le 640 ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + width)) -le "$screen_width" ] &&
     [ $((y + height)) -le "$screen_height" ]; then
    pass "first start: a portrait reading size on the screen ($width x $height at $x,$y)"
  else
    fail "first start: reading size, got $width x $height at $x,$y"
  fi

  timeout 5 xdotool windowmove --sync "$WINDOW" 60 40 || true
  timeout 5 xdotool windowsize --sync "$WINDOW" 420 560 || true
  sleep 0.5
  MOVED_GEOMETRY=$(geometry "$WINDOW")

  # After the resize: a new width numbers the rows anew.
  turn_wheel main 3
  turn_wheel main -1  # two notches down in all: 6 rows
  turn_wheel bottom 1
  quit_reader

  expect "wheel over the main pane: LastPosition" "$(stored_dword LastPosition)" 6
  expect "wheel over the commentary: BottomSectionLastPosition" "$(stored_dword BottomSectionLastPosition)" 3
  local place
  place=$(stored WindowPlacement)
  [[ "$place" =~ ^\"-?[0-9]+,-?[0-9]+,[0-9]+,[0-9]+,0\"$ ]] && pass "window place stored: $place" ||
    fail "window place stored: got '$place'"
}

# ---- Second start: the place comes back; keys that stay in the section --------
session_second_start() {
  start_reader || return 0
  expect "second start: the moved and resized window comes back" "$(geometry "$WINDOW")" "$MOVED_GEOMETRY"

  focus_reader
  xdotool key ctrl+c
  sleep 1
  local copied
  copied=$(clipboard)
  expect "copy: Ctrl+C puts section $START_SECTION on the clipboard" "$(count_of "$copied" "$COPIED_TITLE")" 1
  focus_reader
  xdotool key ctrl+e
  sleep 1
  local appended
  appended=$(clipboard)
  expect "append: Ctrl+E adds the section again" "$(count_of "$appended" "$COPIED_TITLE")" 2
  [ "${#appended}" -gt "${#copied}" ] && pass "append: the clipboard grew" || fail "append: the clipboard grew"
  check_dialog font ctrl+f "^Choose Font$"
  check_dialog about F1 "^Lorvan$"
  quit_reader
}

# ---- The section chooser: Ctrl+D and a click on the bookmark -----------------
session_index() {
  store_settings
  start_reader || return 0
  xdotool key ctrl+d
  local chooser
  if chooser=$(wait_for_window "^Choose Section$"); then
    pass "index: Ctrl+D opens Choose Section"
    sleep 1
    # The bookmark group heads the outline: its heading, then the link. The
    # rows are right-aligned; the click lands near their right end.
    local x y width height
    read -r x y width height <<<"$(geometry "$chooser")"
    xdotool mousemove --window "$chooser" $((width - 60)) $((ROW_PX * 3 / 2)) click 1
    wait_until_gone "^Choose Section$" "$chooser" && pass "index: the click on the link closes it" ||
      fail "index: the click on the link closes it"
  else
    fail "index: Ctrl+D opens Choose Section"
  fi
  quit_reader
  expect "index: the chosen section is stored" "$(stored_dword Lesson)" "$BOOKMARKED_SECTION"
}

# ---- The Search dialog: Alt+F3, a typed word, Enter --------------------------
session_search() {
  store_settings
  start_reader || return 0
  xdotool key alt+F3
  local dialog
  if dialog=$(wait_for_window '^Lorvan$'); then
    pass "search: Alt+F3 opens the Search dialog"
    focus "$dialog"
    xdotool type --delay 60 "$SEARCH_TYPED"
    xdotool key Return
    wait_until_gone '^Lorvan$' "$dialog" && pass "search: Enter finds it and closes the dialog" ||
      fail "search: Enter finds it and closes the dialog"
  else
    fail "search: Alt+F3 opens the Search dialog"
  fi
  quit_reader
  expect "search: the section of the match is stored" "$(stored_dword Lesson)" "$SEARCH_SECTION"
  expect "search: the typed word is stored" "$(stored SearchString)" "hex:$SEARCH_HEX"
}

# ---- Search again: F3 with a stored search -----------------------------------
session_search_again() {
  store_settings "\"SearchString\"=hex:$SEARCH_HEX"
  start_reader || return 0
  xdotool key F3
  sleep 2
  quit_reader
  expect "search again: F3 goes to the section of the match" "$(stored_dword Lesson)" "$SEARCH_SECTION"
}

# ---- The frame: menus by keyboard, full screen, the divider, the theme --------

# The picture of the reader's window, for a look at its pixels.
capture() { import -window "$WINDOW" "$OUT/$1.png"; }

# The first row, from the top, whose pixel in column $2 of capture $1 has colour $3.
row_of_colour() {
  convert "$OUT/$1.png" -crop "1x10000+$2+0" +repage txt:- 2>/dev/null |
    awk -F'[,:]' -v c="$3" '!found && index($0, c) { print $2; found = 1 }'
}

# The share of capture $1 that has exactly colour $2.
share_of_colour() {
  convert "$OUT/$1.png" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:mean]" info:
}

session_frame() {
  store_settings
  start_reader || return 0
  xdotool key alt+g
  sleep 0.5
  xdotool key i
  escape_shown_window "^Choose Section$" "menus: Alt+G opens Go, whose Index opens Choose Section" || true
  focus_reader
  xdotool key F10
  sleep 0.3
  xdotool key m 4  # "&Marel", "1/&4 Screen"
  sleep 0.5

  local framed screen_width screen_height
  framed=$(geometry "$WINDOW")
  read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
  xdotool key F11
  sleep 1
  expect "full screen: F11 covers the screen" "$(geometry "$WINDOW")" "0 0 $screen_width $screen_height"
  focus_reader
  xdotool key Escape
  sleep 1
  expect "full screen: Escape gives the window its place back" "$(geometry "$WINDOW")" "$framed"

  # The divider is the red line between the panes; it is dragged 80 px up.
  local x=60 line
  capture frame-before-drag
  line=$(row_of_colour frame-before-drag "$x" "#FF0000")
  if [ -n "$line" ]; then
    xdotool mousemove --window "$WINDOW" "$x" "$line" mousedown 1
    sleep 0.3
    xdotool mousemove --window "$WINDOW" "$x" $((line - 40))
    sleep 0.3
    xdotool mousemove --window "$WINDOW" "$x" $((line - 80)) mouseup 1
    sleep 0.5
    capture frame-after-drag
    expect "divider: the line follows the drag" "$(row_of_colour frame-after-drag "$x" "#FF0000")" $((line - 80))
  else
    fail "divider: the red line between the panes is seen"
  fi
  focus_reader
  xdotool key alt+v
  sleep 0.3
  xdotool key d  # "&Dark"
  sleep 0.5
  quit_reader
  expect "theme: Dark is stored" "$(stored_dword Theme)" 2
  expect "menus: F10 and the Marel menu store 1/4" "$(stored_dword BottomSection)" 14
  local percent
  percent=$(stored_dword BottomSectionPercent)
  if [ "$percent" != missing ] && [ "$percent" -gt 25 ] && [ "$percent" -le 95 ]; then
    pass "divider: the dragged share is stored ($percent percent)"
  else
    fail "divider: the dragged share is stored, got '$percent'"
  fi

  start_reader || return 0
  capture frame-dark
  local dark
  dark=$(share_of_colour frame-dark "rgb(30,31,34)")
  if awk -v d="$dark" 'BEGIN { exit !(d > 0.2) }'; then
    pass "theme: the reader starts again in Dark ($dark of it the dark page)"
  else
    fail "theme: the reader starts again in Dark, got $dark of the dark page"
  fi
  quit_reader
}

# Pixels of the search mark's yellow in a picture of a window.
yellow_pixels() {
  import -window "$1" "$OUT/$2.png" 2>/dev/null || { echo 0; return; }
  convert "$OUT/$2.png" -fill black +opaque "#FFFF00" -fill white -opaque "#FFFF00" -format "%[fx:int(mean*w*h)]" info:
}

# ---- Find All: Ctrl+Shift+F, Down and Enter on the list ----------------------
session_find_all() {
  store_settings "\"SearchString\"=hex:$FIND_ALL_HEX"
  start_reader || return 0
  local unmarked
  unmarked=$(yellow_pixels "$WINDOW" reader-before)
  xdotool key ctrl+shift+f
  local results
  if results=$(wait_for_window '^Find All$'); then
    pass "find all: Ctrl+Shift+F opens the results beside the reader"
    sleep 1
    import -window "$results" "$OUT/find-all.png" 2>/dev/null || true
    focus "$results"
    xdotool key Down Return
    sleep 1
    local marked
    marked=$(yellow_pixels "$WINDOW" reader-after)
    [ "$marked" -gt $((unmarked + 50)) ] && pass "find all: Enter shows the match marked" ||
      fail "find all: Enter shows the match marked ($unmarked yellow pixels before, $marked after)"
    xdotool search --onlyvisible --name '^Find All$' 2>/dev/null | grep -qx "$results" &&
      pass "find all: the list stays open" || fail "find all: the list stays open"
  else
    fail "find all: Ctrl+Shift+F opens the results beside the reader"
  fi
  quit_reader
  expect "find all: the second row's section is the reader's" "$(stored_dword Lesson)" "$FIND_ALL_SECOND_SECTION"
}

# ---- A passage: a drag over two words, Ctrl+C, then a short click ---------------

# "index value" per row (axis rows) or column (axis cols) of a rectangle of a
# capture: the mean grey, 255 where there is no ink.
grey_profile() {
  local file="$1" x="$2" y="$3" width="$4" height="$5" axis="$6" scale
  [ "$axis" = rows ] && scale="1x${height}!" || scale="${width}x1!"
  convert "$file" -crop "${width}x${height}+${x}+${y}" +repage -colorspace gray -scale "$scale" -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): (\([0-9]*\).*/\1 \2 \3/p' |
    awk -v axis="$axis" '{ print (axis == "rows" ? $2 : $1), $3 }'
}

# "first last" of each run of inked indexes; runs closer than `gap` join.
ink_runs() {
  awk -v gap="$1" '$2 < 250 {
      if (started && $1 - last > gap) { print first, last; started = 0 }
      if (!started) { first = $1; started = 1 }
      last = $1 }
    END { if (started) print first, last }'
}

session_selection() {
  store_settings
  start_reader || return 0
  xdotool key ctrl+c
  sleep 1
  local section
  section=$(clipboard)
  local shot="$OUT/selection-before.png" x y width height
  read -r x y width height <<<"$(geometry "$WINDOW")"
  import -window "$WINDOW" "$shot"
  # The text rows of the main pane, below the menus and the tool bar where its
  # accent starts: its title, subtitle, then the body. The second body row is
  # made of plain words, read from its right end.
  local text_width=$((width - 40)) pane_top rows row_top row_bottom
  pane_top=$(row_of_colour selection-before 1 "#0078D7")
  pane_top=${pane_top:-0}
  rows=$(grey_profile "$shot" 0 "$pane_top" "$text_width" $((height * 2 / 5)) rows | ink_runs 1)
  read -r row_top row_bottom <<<"$(sed -n 4p <<<"$rows")"
  row_top=$((row_top + pane_top))
  row_bottom=$((row_bottom + pane_top))
  local words first_right second_left row_y
  words=$(grey_profile "$shot" 0 "$row_top" "$text_width" $((row_bottom - row_top + 1)) cols | ink_runs 3 | tac)
  first_right=$(sed -n 1p <<<"$words" | cut -d' ' -f2)
  second_left=$(sed -n 2p <<<"$words" | cut -d' ' -f1)
  row_y=$(((row_top + row_bottom) / 2))
  if [ -z "$first_right" ] || [ -z "$second_left" ] || [ "$(wc -l <<<"$words")" -lt 3 ]; then
    fail "selection: two words found on the fourth row of the capture ($rows / $words)"
    quit_reader
    return 0
  fi
  # From the right end of the first word read to the left end of the second.
  xdotool mousemove --window "$WINDOW" $((first_right - 1)) "$row_y" mousedown 1
  xdotool mousemove --window "$WINDOW" $((first_right - 12)) "$row_y"
  xdotool mousemove --window "$WINDOW" $((second_left + 1)) "$row_y" mouseup 1
  sleep 0.3
  import -window "$WINDOW" "$OUT/selection.png"
  focus_reader
  xdotool key ctrl+c
  sleep 1
  local copied passage source
  copied=$(clipboard | tr -d '\r')
  passage=$(sed -n 1p <<<"$copied")
  source=$(sed -n 2p <<<"$copied")
  if [[ "$passage" =~ ^[^\ ]+\ [^\ ]+$ ]] && grep -q -F -- "$passage" <<<"$section"; then
    pass "selection: the drag copies two words of the section: $passage"
  else
    fail "selection: the drag copies two words of the section, got '$passage'"
  fi
  expect "selection: the source line follows them" "$source" "$SOURCE_LINE"
  expect "selection: nothing more is copied" "$(wc -l <<<"$copied")" 2

  # Its Rich Text, opened by LibreOffice, holds the same lines.
  timeout 10 xclip -o -selection clipboard -t text/rtf >"$OUT/selection.rtf" 2>/dev/null || true
  rm -f "$OUT/selection.txt"
  timeout 120 soffice -env:UserInstallation="file://$OUT/lo-profile" --headless --norestore \
    --convert-to 'txt:Text (encoded):UTF8' --outdir "$OUT" "$OUT/selection.rtf" >/dev/null 2>&1 || true
  local read_back
  read_back=$(sed '1s/^\xEF\xBB\xBF//' "$OUT/selection.txt" 2>/dev/null | tr -d '\r' | grep -v '^[[:space:]]*$' || true)
  expect "selection: LibreOffice reads the same text from its Rich Text" "$read_back" "$copied"

  # The panes' menu on the selection: "Find All of" lists where the two words stand.
  xdotool mousemove --window "$WINDOW" $((first_right - 3)) "$row_y" click 3
  sleep 0.5
  xdotool key f
  escape_shown_window '^Find All$' "selection: the panes' menu finds all of the selected words" || true

  # Escape clears it; a click released where it was pressed turns the page.
  focus_reader
  xdotool key Escape
  # shellcheck disable=SC2046
  xdotool mousemove --window "$WINDOW" $((width / 3)) $((height * 2 / 5)) click 1
  sleep 0.5
  quit_reader
  local turned
  turned=$(stored_dword LastPosition)
  [ "$turned" != missing ] && [ "$turned" -gt 0 ] && pass "a short click turns a page ($turned rows)" ||
    fail "a short click turns a page: LastPosition $turned"
}

# ---- A match in the commentary: its accent, a zoom, F3 again, Copy after the wheel --

# "ikha" is in the commentary of section 7 (section 8) once, and next in that
# of section 11 (section 12); the main text of 7 has none.
MARK_SEARCH_HEX="61,6c,6a,61,00"
MARK_START_SECTION=7
MARK_NEXT_SECTION=11
NEXT_COMMENTARY_TITLE="ביאור ו'"  # the title of section 12

session_search_mark() {
  local START_SECTION=$MARK_START_SECTION
  store_settings "\"SearchString\"=hex:$MARK_SEARCH_HEX" '"BottomSection"=dword:0000000c'
  start_reader || return 0
  xdotool key F3
  sleep 1.5
  # The pane that holds the match is the active one: its accent is below the divider.
  capture mark-in-commentary
  local line accent
  line=$(row_of_colour mark-in-commentary 60 "#FF0000")
  accent=$(row_of_colour mark-in-commentary 1 "#0078D7")
  if [ -n "$line" ] && [ -n "$accent" ] && [ "$accent" -gt "$line" ]; then
    pass "search: the accent moves to the commentary that holds the match"
  else
    fail "search: the accent moves to the commentary (divider at '$line', accent from '$accent')"
  fi
  # A zoom lays the text out again and keeps the mark: F3 goes on from it.
  focus_reader
  xdotool key ctrl+equal
  sleep 1
  xdotool key F3
  sleep 1.5
  # The whole commentary selected, then the wheel over the main pane: Copy
  # still takes the selection on the screen.
  focus_reader
  xdotool key ctrl+a
  sleep 0.3
  xdotool key ctrl+c
  sleep 1
  local selected copied
  selected=$(clipboard)
  turn_wheel main 1
  focus_reader
  xdotool key ctrl+c
  sleep 1
  copied=$(clipboard)
  [ "$(count_of "$selected" "$NEXT_COMMENTARY_TITLE")" -ge 1 ] && pass "select all: the commentary is selected" ||
    fail "select all: the commentary of section 12 is selected"
  if [ -n "$copied" ] && [ "$copied" = "$selected" ]; then
    pass "copy after the wheel: the selection on the screen is copied"
  else
    fail "copy after the wheel: the selection on the screen is copied (${#copied} characters, wanted ${#selected})"
  fi
  quit_reader
  expect "search after a zoom: F3 finds the next match, not the same one" "$(stored_dword Lesson)" \
    "$MARK_NEXT_SECTION"
}

# ---- Stored sizes: a letter height, "None" after a drag, 0 ----------------------
session_stored_sizes() {
  # -20 is a letter height of 20; 40 percent was dragged.
  store_settings '"FontSize"=dword:ffffffec' '"BottomSection"=dword:0000000c' \
    '"BottomSectionPercent"=dword:00000028'
  start_reader || return 0
  xdotool key ctrl+equal  # from 20 the next size up
  sleep 0.5
  xdotool key F10
  sleep 0.3
  xdotool key m n  # "&Marel", "&None"
  sleep 0.5
  quit_reader
  expect "a letter height of 20 zooms in to 22" "$(stored_dword FontSize)" 22
  expect "None is stored" "$(stored_dword BottomSection)" 1
  expect "None stores no dragged share" "$(stored_dword BottomSectionPercent)" 0

  start_reader || return 0
  xdotool key ctrl+minus
  sleep 0.5
  quit_reader
  expect "after a restart the size zooms out to 20" "$(stored_dword FontSize)" 20
  expect "after a restart None holds" "$(stored_dword BottomSection)" 1
  expect "after a restart no dragged share comes back" "$(stored_dword BottomSectionPercent)" 0

  store_settings '"FontSize"=dword:00000000'
  start_reader || return 0
  xdotool key ctrl+equal
  sleep 0.5
  quit_reader
  expect "a size of 0 is the first start's, 20, and zooms in to 22" "$(stored_dword FontSize)" 22
}

source "$ROOT/tests/e2e/history_e2e.sh"

if [ "$HALF" != frame ]; then
  session_first_start
  session_second_start
  session_selection
  session_index
  session_search
  session_search_again
  session_find_all
  session_search_mark
fi
if [ "$HALF" != reading ]; then
  session_history_moves
  session_go_to
  session_damaged_history
  session_stored_sizes
  session_frame  # last: it leaves the dark theme stored
fi
exit $failed
