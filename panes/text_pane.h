// A text pane: one laid-out section in a rectangle of the main window, with
// its own font choice and a cache of one font per paragraph style.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "app/app_state.h"
#include "content/section_records.h"

// The first word of a hanging paragraph, found once by the layout for all who
// draw, mark, scroll to or search the line. It stands in its own column
// beside the first line's run: left of it in a plain paragraph, where it is
// stored before the run, and right of it in a reversed one, where it is
// stored after the run. Only its leading characters that fit the column are
// drawn, and only they are marked.
struct HangingWord {
    uint16_t offset;    // text offset of the word's first stored character
    uint16_t length;    // characters of the word
    uint16_t fitCount;  // its leading characters that fit the column
    uint16_t fitWidth;  // their width in pixels
};

// One laid-out line of a section. The array owned by a pane ends with a
// record whose fields are all zero (flags 0 marks it).
struct TextLine {
    uint16_t offset;     // text offset of the run (also on a hanging first
                         // line); of the text of a spacer
    uint16_t length;     // characters in the run, without a hanging word
    uint16_t x;          // device x of the run's left edge
    uint16_t hangWidth;  // width of the hanging column on a first line, else 0
    uint16_t width;      // run width in pixels; rule length for a spacer
    uint16_t height;     // row height
    uint8_t flags;       // paragraph flags; 0x80 only on a paragraph's last line
    HangingWord hanging; // with hangWidth; all 0 on every other line
};

// The stored stretch a line shows, its run and its hanging word, from
// LineTextStart up to LineTextEnd (just past its last character).
inline int LineTextStart(const TextLine* line) {
    bool wordFirst = line->hangWidth && !(line->flags & kFlagReversed);
    return wordFirst ? line->hanging.offset : line->offset;
}
inline int LineTextEnd(const TextLine* line) {
    bool wordLast = line->hangWidth && (line->flags & kFlagReversed);
    return wordLast ? line->hanging.offset + line->hanging.length : line->offset + line->length;
}

// The style a layout and a paint start from, plain type, before the first
// record tells otherwise.
const uint8_t kInitialStyle = 1;

struct FontCacheEntry {
    FontCacheEntry* next;
    HFONT font;     // null when the platform could not create it
    uint8_t style;  // the five low bits of a paragraph flags byte
};

struct TextPane {
    TextLine* lines;       // owned; room for lineCapacity + 1 records
    HDC dc;                // the main window's dc, shared by both panes, not owned
    uint8_t* text;         // owned section text, or null
    int32_t rowsDrawn;     // rows drawn by the last paint
    FontSpec fontSpec;     // copy of the font choice
    FontCacheEntry* fontCache;  // owned
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    uint16_t firstRow;
    uint16_t rowCount;     // one per line plus one per paragraph-end row
    uint16_t lineCount;
    uint16_t lineCapacity;
    uint16_t lastFirstRow; // largest first row that still fills the pane
    uint16_t markStart;    // highlighted search match, half open; both 0: none
    uint16_t markEnd;
    uint8_t columnMode;    // kColumnMargins, kColumnMeasure: where lines sit across the pane
    int32_t accentPx;      // width of the active pane's mark at its left edge; 0: none
    int32_t columnLeft;    // the column the last layout set its lines in
    int32_t columnWidth;
    // The text kept at the top through new layouts of the same text
    // (KeepReadingPlace): good while the first row is still placeRow, so that
    // a wider and a narrower layout in turn come back to the same line. Any
    // scroll, and a new text, start a new place.
    bool placeKept;
    uint16_t placeOffset;
    uint16_t placeRow;
    // The selection: every character from the anchor's to the focus's in
    // reading order, both included (panes/pane_select.h). Kept through new
    // layouts of the same text, dropped with it.
    uint8_t hasSelection;
    uint16_t selectAnchor;  // text offsets of characters
    uint16_t selectFocus;
    // Counted up by every layout, and by every layout of another text: what
    // was worked out from the old lines or the old text is stale.
    uint32_t layoutGeneration;
    uint32_t textGeneration;
};

// Column modes. With none the lines take the pane's whole width.
const uint8_t kColumnMargins = 0x01;  // about an em of the body font clear at both edges
const uint8_t kColumnMeasure = 0x02;  // no wider than the reading measure, centred
const int kMeasureEms = 40;

// Creates a pane drawing through `dc`; `rect` may be null. With
// initialLineCapacity > 0 the line array is allocated up front.
TextPane* CreateTextPane(HDC dc, const RECT* rect, const FontSpec* fontSpec, int initialLineCapacity);

// Releases the text, the lines, every cached font and the pane itself.
void DestroyTextPane(TextPane* pane);

// ---- Fonts --------------------------------------------------------------------

// Style word bit of SelectStyleFont: also set the style's text colour.
const uint32_t kSelectWithColour = 0x100;

// Platform colour values, 0x00BBGGRR.
const COLORREF kColourBlack = 0x000000;
const COLORREF kColourDarkBlue = 0x800000;
const COLORREF kColourBlue = 0xFF0000;
const COLORREF kColourRed = 0x0000FF;
const COLORREF kColourYellow = 0x00FFFF;
const COLORREF kColourWhite = 0xFFFFFF;

// Creates the font of paragraph style `style` (five low flag bits) for `spec`:
// the height and weight rules of the panes and of the outline's rows. Null
// when the platform refuses.
HFONT CreateStyleFont(const FontSpec* spec, uint8_t style);

// A font cache: one font per style, created on first use and kept. Returns the
// cached font of `style`, creating it for `spec` when it is missing; null when
// none can be had.
HFONT CachedStyleFont(FontCacheEntry** cache, const FontSpec* spec, uint8_t style);
// Deletes every font of the cache and releases its entries.
void FreeFontCache(FontCacheEntry* cache);

// Selects the font of the style in `styleWord` & 0x1F into the pane's dc,
// creating and caching it on first use, and returns the font selected before.
// With kSelectWithColour the style's text colour is set too. When no font can
// be had for the style, the dc keeps its current font, which is returned.
HFONT SelectStyleFont(TextPane* pane, uint32_t styleWord);

// Takes a copy of `spec` and replaces the font of every cache entry by one
// built from it.
void RebuildStyleFonts(TextPane* pane, const FontSpec* spec);

// Text colour of a paragraph style in the theme in use.
COLORREF StyleTextColour(uint8_t style);

// ---- Letter mapping, measuring and drawing -------------------------------------

// One reusable wide-character buffer for converting letter codes; it only
// grows. A string returned through it lives until the next conversion.
struct DisplayTextCache {
    wchar_t* buffer;
    uint32_t capacity;  // characters, not counting the terminator
};
extern DisplayTextCache gDisplayTextCache;

// Reverse mode with a Hebrew letter base: every drawn string is mirrored.
bool ReverseModeActive();

// Converts up to `length` letter codes (stopping at a NUL) into display
// characters by the program-wide letter base, mirrored in Reverse mode when
// the base is not 97. With a cache the result belongs to it; without one the
// caller frees it with PlatformFree. Null when memory runs out.
wchar_t* ToDisplayText(const uint8_t* codes, DisplayTextCache* cache, int length);

// Reverses the first `length` characters in place, swapping the bracket
// pairs () [] {} so that they still open and close the right way. Returns 0.
int MirrorDisplayText(wchar_t* text, int length);

// In: the width available in pixels and the number of codes offered. Out: the
// number of leading characters that fit and their width. Always measures the
// characters in stored order.
void MeasureFit(HDC dc, const uint8_t* codes, int* widthPx, int* count);

// Draws `count` codes centred in the cell (x, y, widthPx, heightPx) with the
// dc's font, colours and background mode, left to right exactly as converted.
void DrawTextCell(HDC dc, const uint8_t* codes, int count, int x, int y, int widthPx, int heightPx);

// DrawTextCell on an opaque background in the given colours; the dc's colours
// and background mode are put back afterwards.
void DrawColouredCell(HDC dc, const uint8_t* codes, int count, int x, int y, int widthPx, int heightPx,
                      COLORREF textColour, COLORREF backColour);

// The right edge of every character of `count` codes as DrawTextCell draws
// them (mirrored in Reverse mode), in pixels from the cell's left edge, in
// drawing order; *drawnCount gets how many there are (fewer when the codes end
// first). The edges live in a shared buffer until the next measuring. Null
// when nothing can be measured.
const int* DrawnCharacterEdges(HDC dc, const uint8_t* codes, int count, int* drawnCount);

// The width of the first `count` characters of `text` in the dc's font, 0 when
// there are none or they cannot be measured; `heightPx`, when given, gets
// their height.
int TextWidthPx(HDC dc, const wchar_t* text, int count, int* heightPx);

// A section's heading (SectionHeading) in the form the panes draw stored
// text in: in drawing order and in the letters of the font's base, mirrored
// like every drawn string in Reverse mode. A copy, built with Reverse turned
// as it copies, gets the heading in the order of the text it copies. A number
// in place of titles reads the same in both orders and is left as it is.
// Returns the characters written into `shown` (room for `shownChars`).
int ShownSectionHeading(const uint8_t* sectionText, int section, wchar_t* shown, int shownChars);
// ShownSectionHeading cut at a word until it is no wider than `widthPx` in
// the dc's font, for a field of the screen; a number is never cut.
int FittedSectionHeading(HDC dc, const uint8_t* sectionText, int section, int widthPx, wchar_t* shown,
                         int shownChars);

// Frees the shared conversion and measuring buffers (at exit; they grow again
// on the next use).
void ReleaseTextBuffers();
