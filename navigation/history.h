// Back and Forward: every move to another section (through the chooser, a
// search, Go To or a bookmark) is remembered with the text at the top of the
// main pane; Alt+Left and Alt+Right, the mouse's side buttons, the tool bar
// and the Go menu walk the list. It is kept as "History" between runs.
// Stepping to the next or previous section is no move.
#pragma once

#include <windows.h>

#include "navigation/place_history.h"

const UINT kBackCommand = 150;
const UINT kForwardCommand = 151;

// The current section and the text at the top of the main pane.
BookPlace CurrentPlace();

// Call after anything that may have moved the reader, with the place taken
// before it: a change of section is remembered as a move from `before`.
void NoteMove(BookPlace before);

// 0 when the reader went back (forward), 1 when there was nowhere to go or
// the place could not be shown (the list then stays as it was).
int GoBack(HWND window);
int GoForward(HWND window);

// Shows `place`: its section in both panes, the main pane with the place's
// text at the top, painted once. 1 when the section cannot be loaded.
int ShowPlace(HWND window, BookPlace place);

// The mouse's side buttons (XBUTTON1 back, XBUTTON2 forward) and the
// keyboard's browser keys (WM_APPCOMMAND). False for any other button or
// command.
bool RunSideButton(HWND window, WORD button);
bool RunAppCommand(HWND window, int command);

// Back and Forward are greyed in the Go menu and on the tool bar while there
// is nowhere to go.
void UpdateHistoryCommands();

// "History" is read with the settings; a damaged value gives an empty list.
void LoadHistory();
// Written with the settings, the current place brought up to date first.
void SaveHistory();

// The list itself, for the tests.
PlaceHistory* ReaderHistory();
