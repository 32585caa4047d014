// Painting a laid-out pane row by row straight into its dc, the search mark,
// scrolling by rows or to a text offset, a new font, and the title box.
#pragma once

#include <stdint.h>

#include "panes/text_pane.h"

// Results of ScrollPane.
const int kScrollUnchanged = 1;
const int kScrollChanged = 3;  // the caller repaints

// Draws the rows from the first row down while whole rows fit, then the
// search mark. With `erase` the pane is filled with white first. Sets
// rowsDrawn. -1 when the pane has no text or no lines.
int PaintPane(TextPane* pane, int erase);

// Draws the marked stretch (markStart up to markEnd) over the painted text in
// blue on yellow. -1 when the pane has no text or no lines.
int PaintMarks(TextPane* pane);

// Draws the marked part of one run of `runLength` codes at `runStart` (inside
// section `text`) whose left edge is at (x, y).
void PaintMarkedRun(TextPane* pane, const uint8_t* text, const uint8_t* runStart, int runLength, int x, int y);

// Moves the first row by `deltaRows`: kScrollUnchanged when it stays (or the
// view is already at the end), kScrollChanged when it moved and `repaint` is
// 0, and with `repaint` the result of PaintPane after a move. -1 without a pane.
int ScrollPane(TextPane* pane, int deltaRows, int repaint);

// The page of a key, a tap or a scroll bar: half the rows drawn when the 3-bit
// page field is 2 or 4, else the rows drawn less one; at least one row.
int PageRows(int rowsDrawn, uint32_t pageField);

// The row of the first line that holds `offset`, or -1 when no line shows
// it (the text of a rule is never shown).
int RowOfTextOffset(const TextPane* pane, uint16_t offset);

// Makes the row of the line holding `offset` the first row (no further than
// the last first row). 1 when a line holds it, else 0 and nothing changes.
int ScrollToTextOffset(TextPane* pane, uint16_t offset);

// Installs a new font in the pane, lays its text out again with the text of
// its top line kept at the top, and repaints it.
// 1 when the layout did not succeed (also without text), else PaintPane's
// result; -1 without a pane.
int SetPaneFont(TextPane* pane, const FontSpec* spec);

// Announces the section: its title and subtitle in a framed box at the bottom
// of the pane. Draws nothing when the section has neither.
void DrawTitleBox(TextPane* pane);

// Draws `count` nested one-pixel frames in `colour` (with the dc's brush
// inside) and shrinks `rect` by `count` on every side.
void DrawNestedFrame(HDC dc, RECT* rect, COLORREF colour, int count);
