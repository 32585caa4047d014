// A pane's section as the screen readers get it: Copy's reading text, where
// each of its units is stored, and which units each row of the layout shows.
// Built when a client first asks, and again only after a new layout.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "clipboard/reading_text.h"

struct TextPane;

struct PaneDocument {
    wchar_t* chars;     // owned, `length` units and a 0
    uint16_t* sources;  // owned, the stored offset of each unit
    size_t length;
    ReadingRecord* records;  // owned
    uint32_t recordCount;
    ReadingSpan* rows;  // owned, one per row of the layout
    uint32_t* lineStarts;  // owned, the rows' starts in reading order
    int rowCount;
    ReadingForm form;
    uint32_t textGeneration;  // of the pane it was built from
    uint32_t layoutGeneration;
    bool built;
};

// Brings `doc` up to date with the pane's text, layout and the form of Copy.
// False without text, or when memory ran out (then `doc` is empty).
bool RefreshPaneDocument(PaneDocument* doc, const TextPane* pane);
void ReleasePaneDocument(PaneDocument* doc);

// ---- Text units: character, word, line, paragraph; the others are the
// document. Positions are reading units, 0 to length.

bool IsUnitBoundary(const PaneDocument* doc, int unit, uint32_t at);
// The next boundary after `at` (length at the end), the last one before it (0).
uint32_t NextUnitBoundary(const PaneDocument* doc, int unit, uint32_t at);
uint32_t PreviousUnitBoundary(const PaneDocument* doc, int unit, uint32_t at);

// The row whose span holds unit `at` (the last row for the end); -1 without rows.
int RowOfUnit(const PaneDocument* doc, uint32_t at);
// The units the pane's top row shows: its reading caret.
ReadingSpan CaretSpan(const PaneDocument* doc, const TextPane* pane);
// The text of a span without its line ends, for a value or a name. Owned by
// the caller (PlatformFree); null when memory runs out.
wchar_t* SpanTextWithoutLineEnds(const PaneDocument* doc, ReadingSpan span);

// Where units [start, end) are drawn, in client pixels, one box per row on
// screen; `boxes` has room for `capacity`. Returns the number written.
int SpanBoxes(const PaneDocument* doc, TextPane* pane, ReadingSpan span, RECT* boxes, int capacity);
// The unit under a client point; false when no line is on screen.
bool UnitAtPoint(const PaneDocument* doc, TextPane* pane, int x, int y, uint32_t* at);
