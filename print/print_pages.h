// Printed pages without a window: where the margins put the body on the
// paper, and the lines of the chosen sections placed on pages inside it.
// The lines come from a measurer, which on Win32 is the panes' own layout run
// with the printer's context, so this part builds and is tested natively.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Where the commentary goes: under each section, in a column beside it (the
// main text on the right, as the book reads), or nowhere.
enum CommentaryPlacement : int32_t {
    kCommentaryBelow = 0,
    kCommentaryBeside = 1,
    kCommentaryNone = 2,
};

// What to print: the pairs as Go To numbers them, first to last, both included.
struct PrintChoice {
    int32_t firstPair;
    int32_t lastPair;
    int32_t commentary;      // a CommentaryPlacement
    bool newPagePerPair;     // each section on a new page, or run on
};

// ---- Margins --------------------------------------------------------------------

// Hundredths of a millimetre, measured from the paper's edge ("PrintMargins").
struct PrintMargins {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
const int32_t kDefaultMarginHundredths = 2000;  // 20 mm
const int32_t kMaxMarginHundredths = 10000;     // no margin is wider than 100 mm
PrintMargins DefaultPrintMargins();

// What a printer tells of its paper, in its device pixels: the whole sheet,
// the printable area and where that area starts on the sheet.
struct PaperMetrics {
    int32_t dpiX;
    int32_t dpiY;
    int32_t paperWidthPx;      // PHYSICALWIDTH
    int32_t paperHeightPx;     // PHYSICALHEIGHT
    int32_t offsetXPx;         // PHYSICALOFFSETX
    int32_t offsetYPx;         // PHYSICALOFFSETY
    int32_t printableWidthPx;  // HORZRES
    int32_t printableHeightPx; // VERTRES
};

struct PrintRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The rectangle inside the margins, in the printer context's coordinates
// (which start at the printable area's corner, not the paper's), kept inside
// the printable area. Empty (right <= left or bottom <= top) when the margins
// leave no room, or the metrics are unusable.
PrintRect MarginRect(const PaperMetrics* paper, const PrintMargins* margins);

// A page inside the margins: a header band with the heading and a rule, the
// body, and a footer band with the page number.
struct PageFrame {
    PrintRect header;
    PrintRect body;
    PrintRect footer;
};
// `headerPx` and `footerPx` are the bands' heights, each followed (header) or
// preceded (footer) by `gapPx` of room. The body is empty when they fill the
// rectangle.
PageFrame SplitPageFrame(PrintRect margins, int32_t headerPx, int32_t footerPx, int32_t gapPx);

// ---- Stored choices ------------------------------------------------------------

// "PrintOptions", one number: the commentary placement in bits 0-3, bit 4
// each section on a new page, bit 5 a range rather than the current section.
struct StoredPrintOptions {
    int32_t commentary;
    bool newPagePerPair;
    bool range;
};
uint32_t EncodePrintOptions(const StoredPrintOptions* options);
// Unknown placements and unknown bits fall back to the defaults' (below,
// run on, current section).
StoredPrintOptions DecodePrintOptions(uint32_t stored);

// "PrintMargins": four little-endian 32-bit numbers, left, top, right, bottom.
const size_t kStoredMarginsBytes = 16;
void EncodePrintMargins(const PrintMargins* margins, uint8_t bytes[kStoredMarginsBytes]);
// The stored margins, or the defaults when the value has another size or a
// margin outside 0 to kMaxMarginHundredths.
PrintMargins DecodePrintMargins(const uint8_t* bytes, size_t byteCount);

// ---- Pagination -------------------------------------------------------------

// A laid-out line as the pages see it.
struct MeasuredLine {
    int32_t heightPx;
    uint8_t blankRowAfter;  // a paragraph's end: a blank row of the line's height follows
    uint8_t heading;        // a title or heading: never the last line of a page
};

// Lays sections out for the pages. `layout` lays `section` out in a column
// `widthPx` wide starting at device x `columnLeft`, and gives its lines
// through *lines; they stay the measurer's until it is released. It returns
// the number of lines, or -1 when the section cannot be laid out. Paginate
// asks for each block once, in order: the n-th call lays out block n.
struct PrintMeasurer {
    void* context;
    int (*layout)(void* context, int section, int32_t columnLeft, int32_t widthPx, const MeasuredLine** lines);
};

// Room between the columns of beside, and between the blocks that follow
// each other down a page, in device pixels.
struct PageSpacing {
    int32_t columnGapPx;
    int32_t blockGapPx;
};

// One section laid out in one column.
struct PrintBlock {
    int32_t section;
    int32_t columnLeft;
    int32_t columnWidth;
    int32_t lineCount;
};
// One line on a page: line `line` of block `block`, its row's top at `y`.
struct PlacedLine {
    int32_t block;
    int32_t line;
    int32_t y;  // device y, the body's top included
};
struct PrintPage {
    int32_t firstLine;  // index into PrintPages::lines
    int32_t lineCount;
    int32_t pair;       // the pair whose line comes first on the page: the header's
};
struct PrintPages {
    PrintBlock* blocks;
    int32_t blockCount;
    PlacedLine* lines;
    int32_t lineCount;
    PrintPage* pages;
    int32_t pageCount;
};

enum PaginateResult {
    kPaginated = 0,
    kPaginateBadChoice = 1,   // pairs outside the book, first after last, unknown placement
    kPaginateNoRoom = 2,      // the body is too small for a column
    kPaginateLayoutFailed = 3,
    kPaginateNoMemory = 4,
};

// Lays out the chosen pairs and places every line on the pages of `body`:
// every line of every block once, in order, each row inside the body (a line
// taller than the body stands alone at a page's top). Blank rows at a page's
// top are dropped. Rows never reach past the body's bottom; a heading moves
// to the next page with the line after it. In beside each pair starts both
// columns at the same height, below the longer column of the pair before.
// On any result but kPaginated, *pages is empty.
int Paginate(const PrintMeasurer* measurer, const PrintChoice* choice, PrintRect body, PageSpacing spacing,
             PrintPages* pages);
void FreePrintPages(PrintPages* pages);

// The pairs of a choice, or 0 when the choice is not one Paginate takes.
int ChosenPairCount(const PrintChoice* choice);
