# Sourced by desktop_e2e.sh: Back and Forward, Go To and a damaged "History",
# with real keys and the mouse's side buttons. Each session ends with Ctrl+Q
# and judges what the reader stored: the section, the main pane's first row
# and the list of places.

BACK_SECTION_ROWS=4    # rows scrolled in section 11 before the first move
CHOSEN_SECTION_ROWS=2  # rows scrolled in the bookmarked section 101

# The stored "History" as one line: user.reg breaks long values over lines
# ending in a backslash.
stored_history() {
  sed -n '/^\[Software\\\\Quenmark\\\\Lorvan\]/,/^\[/p' "$WINEPREFIX/user.reg" |
    sed -e ':a' -e '/\\$/N; s/\\\n *//; ta' | sed -n 's/^"History"=//p'
}

forget_history() { wine_run reg delete 'HKCU\Software\Quenmark\Lorvan' /v History /f >/dev/null 2>&1 || true; }

# The words of the stored "History" in order: format, count, current entry,
# then section and top offset of each place.
history_words() {
  local value
  value=$(stored_history)
  value=${value#hex:}
  local -a bytes
  IFS=, read -r -a bytes <<<"$value"
  local i
  for ((i = 0; i + 1 < ${#bytes[@]}; i += 2)); do echo $((16#${bytes[i + 1]}${bytes[i]})); done
}
history_sections() { history_words | awk 'NR > 3 && NR % 2 == 0'; }
history_current() { history_words | sed -n 3p; }

go_to() {
  focus_reader
  xdotool key ctrl+g
  local dialog
  if ! dialog=$(wait_for_window '^Go To$'); then
    fail "Go To: Ctrl+G opens the dialog"
    import -window root "$OUT/go-to-missing.png"
    return 0
  fi
  focus "$dialog"
  sleep 0.3
  eval "$1"
  sleep 0.5
  xdotool key Return
  GO_TO_DIALOG=$dialog
  # Closing takes Wine a while without a window manager.
  [ "${2:-}" = stays ] && sleep 1 || wait_until_gone '^Go To$' "$dialog" || true
}

# ---- A jump through the chooser, a search, and back through both ------------
session_history_moves() {
  store_settings
  forget_history
  start_reader || return 0
  xdotool key --delay 100 $(printf 'Down %.0s' $(seq $BACK_SECTION_ROWS))
  xdotool key ctrl+d
  local chooser x y width height
  if chooser=$(wait_for_window "^Choose Section$"); then
    sleep 1
    read -r x y width height <<<"$(geometry "$chooser")"
    xdotool mousemove --window "$chooser" $((width - 60)) $((ROW_PX * 3 / 2)) click 1
    wait_until_gone "^Choose Section$" "$chooser" || fail "history: the chooser closes on the bookmark"
  else
    fail "history: Ctrl+D opens Choose Section"
  fi
  sleep 0.5
  focus_reader
  xdotool key --delay 100 $(printf 'Down %.0s' $(seq $CHOSEN_SECTION_ROWS))
  xdotool key alt+F3
  local dialog
  if dialog=$(wait_for_window '^Lorvan$'); then
    focus "$dialog"
    xdotool type --delay 60 "$SEARCH_TYPED"
    xdotool key Return
    wait_until_gone '^Lorvan$' "$dialog" || fail "history: the search closes its dialog"
  else
    fail "history: Alt+F3 opens the Search dialog"
  fi
  quit_reader
  expect "history: the search went to section $SEARCH_SECTION" "$(stored_dword Lesson)" "$SEARCH_SECTION"
  SEARCH_ROW=$(stored_dword LastPosition)
  expect "history: three places remembered" "$(history_sections | tr '\n' ' ')" "$START_SECTION $BOOKMARKED_SECTION $SEARCH_SECTION "

  # The list survives the restart: Alt+Left goes back to the bookmark's section.
  start_reader || return 0
  xdotool key alt+Left
  sleep 1
  quit_reader
  expect "history: Alt+Left after a restart returns to section $BOOKMARKED_SECTION" \
    "$(stored_dword Lesson)" "$BOOKMARKED_SECTION"
  expect "history: ... with its top line" "$(stored_dword LastPosition)" "$CHOSEN_SECTION_ROWS"

  start_reader || return 0
  xdotool key alt+Left
  sleep 1
  quit_reader
  expect "history: Alt+Left again returns to section $START_SECTION" "$(stored_dword Lesson)" "$START_SECTION"
  expect "history: ... with its top line" "$(stored_dword LastPosition)" "$BACK_SECTION_ROWS"

  # Forward twice: a key, then the mouse's forward button.
  start_reader || return 0
  xdotool key alt+Right
  sleep 1
  # shellcheck disable=SC2046
  xdotool mousemove --window "$WINDOW" $(point_in_pane main) click 9
  sleep 1
  quit_reader
  expect "history: Alt+Right and the forward button come back to section $SEARCH_SECTION" \
    "$(stored_dword Lesson)" "$SEARCH_SECTION"
  expect "history: ... with the match's top line" "$(stored_dword LastPosition)" "$SEARCH_ROW"
}

# ---- Go To: digits, Hebrew numerals with and without gershayim, and 500 ------
# Section 12 of the book is section 23; Go To 1 comes back to the start in
# between, so that each try is remembered as a move of its own.
session_go_to() {
  store_settings
  forget_history
  start_reader || return 0
  go_to "xdotool type 12"
  go_to "xdotool type 1"
  go_to "xdotool key U05D9 U05D1"           # yod bet
  go_to "xdotool type 1"
  go_to "xdotool key U05D9 U05F4 U05D1"     # yod gershayim bet
  go_to "xdotool type 500" stays
  if find_window '^Go To$' >/dev/null; then
    pass "Go To: 500 keeps the dialog open"
    focus "$GO_TO_DIALOG"
    xdotool key Escape
    wait_until_gone '^Go To$' "$GO_TO_DIALOG" || fail "Go To: Escape closes it"
  else
    fail "Go To: 500 keeps the dialog open"
  fi
  quit_reader
  expect "Go To: 12, 1, יב, 1, י״ב each reached their section; 500 nowhere" \
    "$(history_sections | tr '\n' ' ')" "$START_SECTION 23 1 23 1 23 "
  expect "Go To: the reader stays in section 23" "$(stored_dword Lesson)" 23
}

# ---- A damaged "History" starts an empty list ---------------------------------
session_damaged_history() {
  store_settings '"History"=hex:01,00,05,00,09,00,0b,00'
  start_reader || return 0
  xdotool key alt+Left
  sleep 1
  quit_reader
  expect "damaged History: Alt+Left goes nowhere" "$(stored_dword Lesson)" "$START_SECTION"
  expect "damaged History: an empty list is stored" "$(stored_history)" "hex:01,00,00,00,00,00"
}
