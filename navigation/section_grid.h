// The section grid: the outline control of the section chooser. It lays an
// index text out into right-aligned rows for its width, paints the visible
// rows with a marker beside each record and scrolls by whole visible rows. It
// has no window: it measures and draws through its host's device context, and
// the host forwards paint, size, scroll and taps and keeps the scroll bar.
// The outline operations (which rows are visible) are in section_outline.h.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "app/app_state.h"
#include "navigation/index_records.h"
#include "panes/text_pane.h"

// One display line of one record. A record that wraps gives several rows in
// a row with the same id and style; an all-zero entry follows the last row.
struct GridRow {
    uint16_t textOffset;  // of the row's first stored byte in the index text
    uint16_t length;
    uint16_t x;           // left edge of the row's text in dc pixels
    uint16_t width;
    uint16_t height;      // text-metrics height of the record's font
    uint16_t id;
    uint8_t style;        // kIndexVisible and kIndexExpanded change at run time
};

struct SectionGrid {
    GridRow* rows;          // owned; capacity + 1 entries
    HDC dc;                 // the host's, borrowed
    uint8_t* indexText;     // owned; the rows point into it
    uint32_t indexTextBytes;
    int rowsPainted;        // the host's page size
    FontSpec fontSpec;      // a copy
    FontCacheEntry* fonts;  // owned; one font per style key
    int x;
    int y;
    int width;
    int height;
    uint16_t firstRow;      // visible rows scrolled off above the first drawn row
    uint16_t visibleRows;
    uint16_t rowCount;      // not counting the all-zero entry
    uint16_t capacity;
    uint16_t lastFirstRow;  // the largest firstRow that still fills the grid
    uint16_t markedSection; // links to this section are drawn in the selection colours; 0: none
};

// Layout results.
const int kGridDone = 0;
const int kGridNoText = 2;
const int kGridMissing = -1;
const int kGridNoMemory = -2;
const int kGridRefused = -4;  // first record with a zero style byte or an empty text

// Pixels at 96 DPI; the grid draws them at its font's resolution (GridPx).
const int kGridIndentStepPx = 13;
const int kGridMarkerPx = 9;
const int kGridMarkerGapPx = 4;  // between a row's text and its marker
// How far right of a row's text its marker reaches at `dpi`: the gap and the
// marker. A record of indent 0 has its marker outside the grid, so the host
// leaves this much room at the right.
int GridMarkerReachPx(int dpi);

// Scroll results.
const int kGridScrollUnchanged = 1;

// A new grid drawing through `dc` (none without a dc, or when memory runs
// out). `rect` may be null. With `capacity` above 0 the row array is made.
SectionGrid* CreateSectionGrid(HDC dc, const RECT* rect, const FontSpec* fontSpec, int capacity);

// Builds the rows from `text`. The grid owns `text` from here unless the
// result is kGridRefused, kGridNoText or kGridMissing, when the caller keeps
// it. With `releaseOld` the text held before is released. A null text gives
// kGridNoText (and releases the held text when asked). Once the program is
// ending (memory ran out) it takes the text and lays out nothing: kGridNoMemory.
int LayoutIndex(SectionGrid* grid, IndexText text, bool releaseOld);

// Stores the new size and lays the held text out again; x and y stay.
int ResizeSectionGrid(SectionGrid* grid, int width, int height);

// Draws the visible rows from firstRow; with `fillBackground` the grid's
// rectangle and the marker room right of it are first filled white. -1 without text or rows, or once the
// program is ending; scrolling then changes nothing either.
int PaintSectionGrid(SectionGrid* grid, bool fillBackground);

// Draws again only the drawn rows of the links to `section`, marked or not
// as IsMarkedRow says now: for a mark that moved while no row moved.
void RepaintSectionLinks(SectionGrid* grid, uint16_t section);

// Moves firstRow by `delta` visible rows within 0 ... lastFirstRow and
// repaints when it moved. kGridScrollUnchanged when nothing moved.
int ScrollSectionGrid(SectionGrid* grid, int delta);

// Releases the text, the rows and the fonts, and the record when asked.
void DestroySectionGrid(SectionGrid* grid, bool releaseRecord);

// Selects the font of `style` & 0x1F, made on first use, and returns the font
// it replaced. With `setColour` the text colour becomes blue for keys with
// both large and bold, else black.
HFONT SelectGridFont(SectionGrid* grid, uint8_t style, bool setColour);

// ---- Shared with the outline --------------------------------------------------

// Distance from the grid's right edge to the right end of the row's text: the
// record's indent in pixels (the grid's right edge for the all-zero entry).
int GridRowIndent(const SectionGrid* grid, int row);
// `px96` pixels at 96 DPI at the grid's resolution.
int GridPx(const SectionGrid* grid, int px96);
// The row painting and hit tests start at: firstRow visible rows on.
int GridStartRow(const SectionGrid* grid);
// Recomputes lastFirstRow after rows were shown or hidden.
void UpdateLastFirstRow(SectionGrid* grid);
// True for the rows of a link to grid->markedSection.
bool IsMarkedRow(const SectionGrid* grid, const GridRow& row);
