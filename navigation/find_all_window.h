// The results of Find All in a window of their own beside the reader: how
// many matches there are, a filter (main text, commentary or both), and a
// row per match with its section's heading, "main" or "commentary", and the
// words around it drawn as the panes draw the book, the match marked. Enter
// or a double click shows the match in the reader; the window stays open.
// This is the window itself: its class, its header and layout, and what the
// reader asks of it. The rows, their fitting and painting and the list
// control are in find_all_rows, find_all_fit, find_all_paint and
// find_all_list.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "navigation/find_all_rows.h"

// Searches the whole book for the stored search with the stored options and
// keeps the matches for the results window, which shows them at once if it
// is open. Returns how many rows the window offers; 0 when no search is set,
// when memory ran out, or after "Not Found!" (owned by `owner`).
int RunFindAll(HWND owner);

// Opens the results window beside the reader with the matches of the last
// RunFindAll, or brings it forward, and gives it the focus. Null when there
// are no matches to show or the window could not be made.
HWND OpenFindAllWindow();

// The results window, or null while it is closed.
HWND FindAllWindow();

// For the message loop: the keys that move between the window's controls
// (Tab, the filter's arrows and letters, Enter and Escape). True when the
// message was taken.
bool TakeFindAllMessage(MSG* message);

// Frees the matches kept for the window (it closes with its owner, the
// reader's window, and frees them then; this is for a run that never opened it).
void ReleaseFindAll();

// Something the rows depend on changed: the commentary was shown or hidden,
// or the font, the letter base or Reverse. Harmless while the window is closed.
void RefreshFindAll();

// ---- What the window offers, for its tests ---------------------------------------

int FindAllRowCount();
// The match of row `row`, or null.
const BookMatch* FindAllRowMatch(int row);
int FindAllSelectedRow();
// Selects row `row` as a click on it does (the screen readers' way too).
void SelectFindAllResult(int row);
// The text of a section with a match, or null.
const uint8_t* FindAllSectionText(int section);
// Where row `row` is in the list's client area; false while it is scrolled away.
bool FindAllRowRect(int row, RECT* rect);
void SetFindAllFilter(int filter);
