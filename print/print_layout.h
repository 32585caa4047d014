// The chosen sections laid out for a printer: the panes' own layout run with
// the printer's context as the measuring context, the lines placed on pages,
// and RenderPage, which draws one page into any context with the printer's
// coordinates (the printer itself, or a preview's metafile recorded against it).
#pragma once

#include <windows.h>
#include <stdint.h>

#include "app/app_state.h"
#include "panes/text_pane.h"
#include "print/print_pages.h"

// One laid-out section: a pane of the printer's (owned) and its lines as the
// pages see them.
struct PrintBlockLayout {
    TextPane* pane;
    MeasuredLine* lines;  // owned, one per line of the pane
};

struct PrintLayout {
    HDC measureDc;           // the printer's context the lines were measured with, not owned
    FontSpec font;           // the reader's font at the printer's resolution, its size as points
    PaperMetrics paper;
    PageFrame frame;
    PrintBlockLayout* blocks;  // owned; one per block of `pages`, in order
    int32_t blockCount;
    int32_t blockCapacity;
    PrintPages pages;
    HFONT furnitureFont;     // the header's and footer's, owned
    int32_t rulePx;          // the header rule's thickness
};

enum PrintLayoutResult {
    kPrintLaidOut = 0,
    kPrintNoRoom = 1,        // the margins leave no room on the paper
    kPrintSectionMissing = 2,
    kPrintOutOfMemory = 3,
    kPrintBadChoice = 4,
};

// The reader's font for a printer of `dpiY` lines an inch: the same face,
// the chosen size taken as points (letters' height, not the cell's), every
// size of the layout in proportion.
FontSpec PrintFontSpec(const FontSpec* readerFont, int dpiY);

// What the printer context `dc` tells of its paper.
PaperMetrics ReadPaperMetrics(HDC dc);

// Lays `choice` out for `dc` inside `margins`, with `font` as the reader
// chose it (already made printable, see PrintableFace). On any result but
// kPrintLaidOut the layout holds nothing. Release it with ReleasePrintLayout.
int LayOutForPrinter(HDC dc, const PrintChoice* choice, const PrintMargins* margins, const FontSpec* font,
                     PrintLayout* layout);
void ReleasePrintLayout(PrintLayout* layout);

// Draws page `index` (0 based) into `dc`: black on white whatever the theme,
// with the header (the section's heading at the right, a rule under it) and
// the footer ("page i of n"). The page is not erased first.
void RenderPage(PrintLayout* layout, HDC dc, int index);

// ---- Faces that print -----------------------------------------------------------

// Whether the program runs under Wine, whose PostScript driver drops faces
// with CFF outlines without a word.
bool RunsUnderWine();
// Whether `face` has CFF outlines (an OpenType face that is not TrueType).
bool IsCffFace(HDC dc, const wchar_t* face);
// The face to print `face` with: itself, except under Wine when it has CFF
// outlines, where an installed TrueType face with Hebrew letters stands in.
// Returns true and fills `printed` (kFaceNameChars) when it stands in.
bool PrintableFace(HDC dc, const wchar_t* face, wchar_t* printed);
