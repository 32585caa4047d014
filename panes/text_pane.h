// A text pane: one laid-out section in a rectangle of the main window, with
// its own font choice and a cache of one font per paragraph style.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "app/app_state.h"

// One laid-out line of a section. The array owned by a pane ends with a
// record whose fields are all zero (flags 0 marks it).
struct TextLine {
    uint16_t offset;     // text offset of the run; of the hanging word on a
                         // plain hanging first line; of the text of a spacer
    uint16_t length;     // characters in the run, without a hanging word
    uint16_t x;          // device x of the run's left edge
    uint16_t hangWidth;  // width of the hanging column on a first line, else 0
    uint16_t width;      // run width in pixels; rule length for a spacer
    uint16_t height;     // row height
    uint8_t flags;       // paragraph flags; 0x80 only on a paragraph's last line
};

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
};

// Creates a pane drawing through `dc`; `rect` may be null. With
// initialLineCapacity > 0 the line array is allocated up front.
TextPane* CreateTextPane(HDC dc, const RECT* rect, const FontSpec* fontSpec, int initialLineCapacity);

// Releases the text, the lines, every cached font and the pane itself.
void DestroyTextPane(TextPane* pane);
