# Sourced by desktop_e2e.sh: Back and Forward, Go To and a damaged "History",
# with real keys and the mouse's side buttons. Each session ends with Ctrl+Q
# and judges what the reader stored: the section, the main pane's first row
# and the places of the list.

BACK_SECTION_ROWS=4    # rows scrolled in section 11 before the first move
CHOSEN_SECTION_ROWS=2  # rows scrolled in the bookmarked section 101

# The stored "History" on one line (user.reg breaks long values with a
# backslash), and the section of each place in it, in order.
stored_history() {
  sed -n '/^\[Software\\\\Quenmark\\\\Lorvan\]/,/^\[/p' "$WINEPREFIX/user.reg" |
    sed -e ':a' -e '/\\$/N; s/\\\n *//; ta' | sed -n 's/^"History"=//p'
}
history_sections() {
  local -a b
  IFS=, read -r -a b <<<"$(stored_history | sed 's/^hex://')"
  local i
  for ((i = 6; i + 1 < ${#b[@]}; i += 4)); do printf '%d ' $((16#${b[i + 1]}${b[i]})); done
}
forget_history() { wine_run reg delete 'HKCU\Software\Quenmark\Lorvan' /v History /f >/dev/null 2>&1 || true; }

# A start, the keys, Ctrl+Q.
session_of_keys() {
  start_reader || return 1
  xdotool key --delay 300 "$@"
  sleep 1
  quit_reader
}

# Ctrl+G, what $1 types, Enter; waits for the dialog to close unless $2 is
# "stays" (closing takes Wine a while without a window manager).
go_to() {
  focus_reader
  xdotool key ctrl+g
  if ! GO_TO_DIALOG=$(wait_for_window '^Go To$'); then
    fail "Go To: Ctrl+G opens the dialog"
    return 0
  fi
  focus "$GO_TO_DIALOG"
  sleep 0.3
  eval "$1"
  sleep 0.5
  xdotool key Return
  if [ "${2:-}" = stays ]; then sleep 1; else wait_until_gone '^Go To$' "$GO_TO_DIALOG" || true; fi
}

# ---- A jump through the chooser, a search, and back through both ------------
session_history_moves() {
  store_settings
  forget_history
  start_reader || return 0
  xdotool key --delay 100 $(printf 'Down %.0s' $(seq $BACK_SECTION_ROWS))
  xdotool key ctrl+d
  local dialog x y width height
  if dialog=$(wait_for_window "^Choose Section$"); then
    sleep 1
    read -r x y width height <<<"$(geometry "$dialog")"
    xdotool mousemove --window "$dialog" $((width - 60)) $((ROW_PX * 3 / 2)) click 1  # the bookmark
    wait_until_gone "^Choose Section$" "$dialog" || true
  fi
  focus_reader
  xdotool key --delay 100 $(printf 'Down %.0s' $(seq $CHOSEN_SECTION_ROWS))
  xdotool key alt+F3
  if dialog=$(wait_for_window '^Lorvan$'); then
    focus "$dialog"
    xdotool type --delay 60 "$SEARCH_TYPED"
    xdotool key Return
    wait_until_gone '^Lorvan$' "$dialog" || true
  fi
  quit_reader
  local search_row
  search_row=$(stored_dword LastPosition)
  expect "history: the chooser and the search are remembered" "$(history_sections)" \
    "$START_SECTION $BOOKMARKED_SECTION $SEARCH_SECTION "

  # The list survives each restart.
  session_of_keys alt+Left || return 0
  expect "history: Alt+Left goes back to the bookmark's section and line" \
    "$(stored_dword Lesson) $(stored_dword LastPosition)" "$BOOKMARKED_SECTION $CHOSEN_SECTION_ROWS"
  session_of_keys alt+Left || return 0
  expect "history: Alt+Left again goes back to the first section and line" \
    "$(stored_dword Lesson) $(stored_dword LastPosition)" "$START_SECTION $BACK_SECTION_ROWS"

  # Forward twice: a key, then the mouse's forward button.
  start_reader || return 0
  xdotool key alt+Right
  sleep 1
  # shellcheck disable=SC2046
  xdotool mousemove --window "$WINDOW" $(point_in_pane main) click 9
  sleep 1
  quit_reader
  expect "history: Alt+Right and the forward button come back to the match's section and line" \
    "$(stored_dword Lesson) $(stored_dword LastPosition)" "$SEARCH_SECTION $search_row"
}

# ---- Go To: digits, Hebrew numerals with and without gershayim, and 500 ------
# The book's section 12 is resource section 23. Go To 1 in between makes each
# try a move of its own in the stored list.
session_go_to() {
  store_settings
  forget_history
  start_reader || return 0
  go_to "xdotool type 12"
  go_to "xdotool type 1"
  go_to "xdotool key --delay 300 U05D9 U05D1"        # yod bet (each key waits for the last remapping)
  go_to "xdotool type 1"
  go_to "xdotool key --delay 300 U05D9 U05F4 U05D1"  # yod gershayim bet
  go_to "xdotool type 500" stays
  if find_window '^Go To$' >/dev/null; then
    pass "Go To: 500 keeps the dialog open"
    focus "$GO_TO_DIALOG"
    xdotool key Escape
    wait_until_gone '^Go To$' "$GO_TO_DIALOG" || true
  else
    fail "Go To: 500 keeps the dialog open"
  fi
  quit_reader
  expect "Go To: 12, 1, יב, 1 and י״ב each reached their section, 500 none" "$(history_sections)" \
    "$START_SECTION 23 1 23 1 23 "
}

# ---- A damaged "History" starts an empty list ---------------------------------
session_damaged_history() {
  store_settings '"History"=hex:01,00,05,00,09,00,0b,00'
  session_of_keys alt+Left || return 0
  expect "damaged History: Alt+Left goes nowhere" "$(stored_dword Lesson)" "$START_SECTION"
  expect "damaged History: an empty list is stored" "$(stored_history)" "hex:01,00,00,00,00,00"
}
