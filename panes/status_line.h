// The status line at the window's foot: the current section's place in the
// book as "12 / 178", how far the main pane is through the section, and its
// heading (SectionHeading, drawn in stored order like the panes).
// The window's title stays "Lorvan": other programs find the reader by it.
#pragma once

#include <windows.h>

// Gives `window` its status line; the split view lays the panes out above
// it. A window without one (the tests' plain windows) has the whole height.
void CreateStatusLine(HWND window);
void DestroyStatusLine();
// Hidden, the line takes no room and draws nothing (full screen, like the
// tool bar); shown again, it is drawn at the next paint.
void ShowStatusLine(bool show);
// The height the line takes at the foot of the client area, 0 without one.
int StatusLineHeightPx();
// Where it lies in its window's client area: above a menu bar at the bottom.
RECT StatusLineRect();

// Draws the whole line with the main pane's dc.
void PaintStatusLine();
// Draws it again only when what it shows has changed since it was drawn:
// after any scroll of the main pane.
void RefreshStatusLine();

// The two number fields the line shows, "12 / 178" and "34%", each in a
// buffer of `chars`.
void StatusLineFields(wchar_t* place, wchar_t* percent, int chars);

// How far a pane is through its section: 0 at the top, 100 at its last
// first row or beyond, and 100 when the whole section fits.
int ReadingPercent(int firstRow, int lastFirstRow);
