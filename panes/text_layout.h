// Paragraph layout: a section text broken into the pane's TextLine records.
#pragma once

#include <stdint.h>

#include "panes/text_pane.h"

// Results of LayoutSection.
const uint16_t kLayoutDone = 0;
const uint16_t kLayoutNoText = 2;
const uint16_t kLayoutBadText = 0xFFFC;    // the first record is unusable
const uint16_t kLayoutNoMemory = 0xFFFE;   // line array or reversed copy
const int kLayoutNoPane = -1;

const int kResizeBadSize = -5;
const int kGrowFailed = -2;

// Line array sizes: both panes start with room for 100 lines; a pane without
// an array gets 128, and arrays grow by 128 records at a time.
const int kPaneInitialLines = 100;
const int kLineArrayStep = 128;

// Lays `text` out in the pane; the first row is left as it is. Another text
// than the pane's own clears the mark; the pane's own keeps it. With
// `takeOwnership` the caller hands `text` over for good: the pane releases
// its old text and keeps `text`, and a refused `text` is freed here
// (also without a pane). Without it the caller lays out the pane's own text
// again, or gives a pane without text its first one, which the pane keeps on
// success. Returns one of the codes above, or kLayoutNoPane.
int LayoutSection(TextPane* pane, uint8_t* text, int takeOwnership);

// Stores a new size and lays the pane's own text out again, keeping the text
// of its top line at the top (KeepReadingPlace). -1 without a pane,
// kResizeBadSize (and no change) for a width or height of 0 or below.
int ResizeTextPane(TextPane* pane, int widthPx, int heightPx);

// Where the reader is in a pane: the first character read on its top line
// (the stored end of a reversed paragraph's line). Rows are renumbered by
// every new layout, so the place is kept by text, not by row.
struct ReadingPlace {
    bool known;       // false without text or lines, or past the last line
    uint16_t offset;  // text offset of that character
};
ReadingPlace TopReadingPlace(const TextPane* pane);
// After a new layout of the same text: the line that holds the place becomes
// the top line; a pane whose rows all fit shows them from the top. A place
// that no line holds leaves the first row as it is.
void ShowReadingPlace(TextPane* pane, ReadingPlace place);
// Lays the pane's own text out again (new size, new font) and keeps its place.
int KeepReadingPlace(TextPane* pane);

// Makes room for 128 more lines. 0, or kGrowFailed with the old array kept and
// the record at `cursor` made a terminator.
int GrowLineArray(TextPane* pane, int cursor);

// Sets and returns the largest first row that still shows whole rows to the
// end; -1 (nothing changed) without lines or rows.
int ComputeLastFirstRow(TextPane* pane);
