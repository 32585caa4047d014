// Painting a laid-out pane row by row straight into its dc, the search mark,
// scrolling by rows or to a text offset, a new font, and the title box.
#pragma once

#include <stdint.h>

#include "panes/text_pane.h"

// Results of ScrollPane.
const int kScrollUnchanged = 1;
const int kScrollChanged = 3;  // the caller repaints

// Draws the rows from the first row down while whole rows fit, then the
// search mark, the selection and the active pane's accent. With `erase` the
// pane is filled with the theme's page first. Sets rowsDrawn. -1 when the pane has no text or no lines.
int PaintPane(TextPane* pane, int erase);
// Whether PaintPane draws the pane: it has text and lines, and the program goes on.
bool PaneCanPaint(const TextPane* pane);

// Draws the marked stretch (markStart up to markEnd) over the painted text in
// the theme's mark colours. -1 when the pane has no text or no lines.
int PaintMarks(TextPane* pane);

// The active pane's mark, a strip down its left edge in the margin, between
// rows `top` and `bottom` (clipped to the pane); nothing on an inactive pane.
void PaintAccentBetween(const TextPane* pane, int top, int bottom);

// Draws the marked part of one run of `runLength` codes at `runStart` (inside
// section `text`) whose left edge is at (x, y).
void PaintMarkedRun(TextPane* pane, const uint8_t* text, const uint8_t* runStart, int runLength, int x, int y);
// Draws the part from text offset `from` up to `to` of a run of `runLength`
// codes at text offset `runOffset`, whose left edge is at (x, y), in the given
// colours, over what is drawn there. The dc's font must be the run's.
void PaintRunStretch(TextPane* pane, int runOffset, int runLength, int x, int y, int from, int to,
                     COLORREF textColour, COLORREF backColour);
// The search mark of one line at row top `y`, in the line's font.
void PaintMarksOfLine(TextPane* pane, const TextLine* line, int y);

// ---- The rows as painting walks them ------------------------------------------
// Painting, the search mark, the selection and the pointer all find the lines
// on screen this way, so that they agree on where every line is drawn.
struct VisibleLine {
    const TextLine* line;  // the terminator once the lines run out
    int y;                 // top of its row
    int remainingPx;       // of the pane's height, from y down
};
// The first visible line. A first row past the end (after a resize or a
// larger font) moves back to the last first row, and stays there.
VisibleLine FirstVisibleLine(TextPane* pane);
// Whether `at` is a line whose row fits whole in what is left of the pane.
bool IsVisibleLine(const VisibleLine& at);
// On to the next line, past the blank row of a paragraph end.
void NextVisibleLine(VisibleLine* at);
// The device x of a line's run, and of the drawn part of its hanging word:
// left-aligned in the column left of the run, or in a reversed paragraph
// right-aligned in the column right of it.
int LineX(const TextLine* line);
int HangingWordX(const TextLine* line);
// Draws one line, rule or text, in its style's font and colour, with the dc's
// background mode and colour as they are.
void PaintLine(TextPane* pane, const TextLine* line, int y);
// PaintLine in one colour, text and rules alike, whatever the theme: for paper.
void PaintLineInInk(TextPane* pane, const TextLine* line, int y, COLORREF ink);

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
