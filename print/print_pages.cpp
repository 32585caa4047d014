// Margins on the paper and the placing of laid-out lines on pages.
#include "print/print_pages.h"

#include <string.h>

#include "content/book_numbers.h"
#include "platform/services.h"

namespace {

const int32_t kHundredthsPerInch = 2540;

// a * b / c rounded to the nearest, in 64 bits so that no printer overflows it.
int32_t ScaleRounded(int32_t a, int32_t b, int32_t c) {
    if (c <= 0) return 0;
    int64_t product = (int64_t)a * b;
    return (int32_t)((product + c / 2) / c);
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    if (value < low) return low;
    return value > high ? high : value;
}

bool UsableMargin(int32_t hundredths) { return hundredths >= 0 && hundredths <= kMaxMarginHundredths; }

uint32_t ReadLittle32(const uint8_t* bytes) {
    return (uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 | (uint32_t)bytes[3] << 24;
}

void WriteLittle32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; i++) bytes[i] = (uint8_t)(value >> (8 * i));
}

}  // namespace

PrintMargins DefaultPrintMargins() {
    PrintMargins margins = {kDefaultMarginHundredths, kDefaultMarginHundredths, kDefaultMarginHundredths,
                            kDefaultMarginHundredths};
    return margins;
}

PrintRect MarginRect(const PaperMetrics* paper, const PrintMargins* margins) {
    PrintRect none = {0, 0, 0, 0};
    if (paper->dpiX <= 0 || paper->dpiY <= 0 || paper->printableWidthPx <= 0 || paper->printableHeightPx <= 0)
        return none;
    // From the paper's edge: the printable area starts at the offset, so a
    // margin measured from its corner would be off by that much.
    PrintRect rect;
    rect.left = ScaleRounded(margins->left, paper->dpiX, kHundredthsPerInch) - paper->offsetXPx;
    rect.top = ScaleRounded(margins->top, paper->dpiY, kHundredthsPerInch) - paper->offsetYPx;
    rect.right = paper->paperWidthPx - ScaleRounded(margins->right, paper->dpiX, kHundredthsPerInch) -
                 paper->offsetXPx;
    rect.bottom = paper->paperHeightPx - ScaleRounded(margins->bottom, paper->dpiY, kHundredthsPerInch) -
                  paper->offsetYPx;
    rect.left = Clamp(rect.left, 0, paper->printableWidthPx);
    rect.top = Clamp(rect.top, 0, paper->printableHeightPx);
    rect.right = Clamp(rect.right, 0, paper->printableWidthPx);
    rect.bottom = Clamp(rect.bottom, 0, paper->printableHeightPx);
    return rect;
}

PageFrame SplitPageFrame(PrintRect margins, int32_t headerPx, int32_t footerPx, int32_t gapPx) {
    PageFrame frame;
    frame.header = margins;
    frame.header.bottom = margins.top + headerPx;
    frame.footer = margins;
    frame.footer.top = margins.bottom - footerPx;
    frame.body = margins;
    frame.body.top = frame.header.bottom + gapPx;
    frame.body.bottom = frame.footer.top - gapPx;
    if (frame.body.bottom < frame.body.top) frame.body.bottom = frame.body.top;
    return frame;
}

// ---- Stored choices ------------------------------------------------------------

namespace {
const uint32_t kOptionPlacementMask = 0x0F;
const uint32_t kOptionNewPage = 0x10;
const uint32_t kOptionRange = 0x20;
}  // namespace

uint32_t EncodePrintOptions(const StoredPrintOptions* options) {
    uint32_t stored = (uint32_t)options->commentary & kOptionPlacementMask;
    if (options->newPagePerPair) stored |= kOptionNewPage;
    if (options->range) stored |= kOptionRange;
    return stored;
}

StoredPrintOptions DecodePrintOptions(uint32_t stored) {
    StoredPrintOptions options = {kCommentaryBelow, false, false};
    int32_t placement = (int32_t)(stored & kOptionPlacementMask);
    if (placement <= kCommentaryNone) options.commentary = placement;
    options.newPagePerPair = (stored & kOptionNewPage) != 0;
    options.range = (stored & kOptionRange) != 0;
    return options;
}

void EncodePrintMargins(const PrintMargins* margins, uint8_t bytes[kStoredMarginsBytes]) {
    WriteLittle32(bytes, (uint32_t)margins->left);
    WriteLittle32(bytes + 4, (uint32_t)margins->top);
    WriteLittle32(bytes + 8, (uint32_t)margins->right);
    WriteLittle32(bytes + 12, (uint32_t)margins->bottom);
}

PrintMargins DecodePrintMargins(const uint8_t* bytes, size_t byteCount) {
    if (!bytes || byteCount != kStoredMarginsBytes) return DefaultPrintMargins();
    PrintMargins margins;
    margins.left = (int32_t)ReadLittle32(bytes);
    margins.top = (int32_t)ReadLittle32(bytes + 4);
    margins.right = (int32_t)ReadLittle32(bytes + 8);
    margins.bottom = (int32_t)ReadLittle32(bytes + 12);
    if (!UsableMargin(margins.left) || !UsableMargin(margins.top) || !UsableMargin(margins.right) ||
        !UsableMargin(margins.bottom))
        return DefaultPrintMargins();
    return margins;
}

// ---- Pagination -------------------------------------------------------------

int ChosenPairCount(const PrintChoice* choice) {
    if (choice->firstPair < 1 || choice->lastPair > kBookPairs || choice->firstPair > choice->lastPair) return 0;
    if (choice->commentary < kCommentaryBelow || choice->commentary > kCommentaryNone) return 0;
    return choice->lastPair - choice->firstPair + 1;
}

namespace {

// An array that grows by doubling; `ok` turns false for good when memory runs out.
template <typename Record>
struct Growing {
    Record* records;
    int32_t count;
    int32_t capacity;
    bool ok;
};

template <typename Record>
Record* Append(Growing<Record>* array) {
    if (!array->ok) return nullptr;
    if (array->count == array->capacity) {
        int32_t capacity = array->capacity ? array->capacity * 2 : 64;
        Record* records = (Record*)PlatformAlloc(sizeof(Record) * (size_t)capacity);
        if (!records) {
            array->ok = false;
            return nullptr;
        }
        if (array->count) memcpy(records, array->records, sizeof(Record) * (size_t)array->count);
        PlatformFree(array->records);
        array->records = records;
        array->capacity = capacity;
    }
    Record* record = &array->records[array->count++];
    memset(record, 0, sizeof *record);
    return record;
}

// Where the next row of a column goes: a page and a height from the body's top.
struct Flow {
    int32_t page;
    int32_t y;
};

bool Later(Flow a, Flow b) { return a.page != b.page ? a.page > b.page : a.y > b.y; }

void StartNewPage(Flow* flow) {
    flow->page++;
    flow->y = 0;
}

// A line placed before it is sorted onto its page.
struct LooseLine {
    int32_t page;
    PlacedLine placed;
};

struct Pagination {
    const PrintMeasurer* measurer;
    PrintRect body;
    PageSpacing spacing;
    Growing<PrintBlock> blocks;
    Growing<LooseLine> lines;
    int result;
};

int32_t BodyHeight(const Pagination* run) { return run->body.bottom - run->body.top; }
int32_t RowHeight(const MeasuredLine& line) { return line.heightPx > 0 ? line.heightPx : 1; }

// The height from a heading down to the end of the first line after its run
// of headings: what has to fit on the page for the heading to stay there.
int32_t HeadingKeepHeight(const MeasuredLine* lines, int count, int first) {
    int32_t heightPx = 0;
    for (int i = first; i < count; i++) {
        heightPx += RowHeight(lines[i]);
        if (!lines[i].heading) break;
        if (lines[i].blankRowAfter) heightPx += RowHeight(lines[i]);
    }
    return heightPx;
}

void PlaceLine(Pagination* run, int32_t block, int32_t line, Flow* flow) {
    LooseLine* loose = Append(&run->lines);
    if (!loose) return;
    loose->page = flow->page;
    loose->placed.block = block;
    loose->placed.line = line;
    loose->placed.y = run->body.top + flow->y;
}

void FlowLines(Pagination* run, int32_t block, const MeasuredLine* lines, int count, Flow* flow) {
    int32_t bodyPx = BodyHeight(run);
    for (int i = 0; i < count; i++) {
        int32_t rowPx = RowHeight(lines[i]);
        bool keepsNext = lines[i].heading && i + 1 < count;
        if (keepsNext && flow->y > 0 && flow->y + HeadingKeepHeight(lines, count, i) > bodyPx) StartNewPage(flow);
        // A row that would reach past the bottom goes to the next page; one
        // taller than the whole body stands at a page's top by itself.
        if (flow->y > 0 && flow->y + rowPx > bodyPx) StartNewPage(flow);
        PlaceLine(run, block, i, flow);
        flow->y += rowPx;
        // The blank row after a paragraph; at the page's foot it is simply dropped.
        if (lines[i].blankRowAfter) flow->y = flow->y + rowPx > bodyPx ? bodyPx : flow->y + rowPx;
    }
}

// Lays out one section in a column and flows its lines down from *flow.
void FlowBlock(Pagination* run, int section, int32_t columnLeft, int32_t columnWidth, Flow* flow) {
    if (run->result != kPaginated) return;
    const MeasuredLine* lines = nullptr;
    int count = run->measurer->layout(run->measurer->context, section, columnLeft, columnWidth, &lines);
    if (count < 0 || (count > 0 && !lines)) {
        run->result = kPaginateLayoutFailed;
        return;
    }
    PrintBlock* block = Append(&run->blocks);
    if (!block) return;
    block->section = section;
    block->columnLeft = columnLeft;
    block->columnWidth = columnWidth;
    block->lineCount = count;
    FlowLines(run, run->blocks.count - 1, lines, count, flow);
}

// Room before the next block on the same page; none at a page's top.
void LeaveBlockGap(const Pagination* run, Flow* flow) {
    if (flow->y == 0) return;
    flow->y += run->spacing.blockGapPx;
    if (flow->y >= BodyHeight(run)) StartNewPage(flow);
}

void FlowPair(Pagination* run, const PrintChoice* choice, int pair, Flow* flow) {
    int section = SectionOfPair(pair);
    int32_t left = run->body.left;
    int32_t width = run->body.right - run->body.left;
    if (choice->commentary != kCommentaryBeside) {
        FlowBlock(run, section, left, width, flow);
        if (choice->commentary == kCommentaryNone) return;
        LeaveBlockGap(run, flow);
        FlowBlock(run, section + 1, left, width, flow);
        return;
    }
    // Beside: the text in the right column, its commentary in the left, both
    // from the same height; the pair ends where the longer one does.
    int32_t columnWidth = (width - run->spacing.columnGapPx) / 2;
    Flow text = *flow;
    Flow commentary = *flow;
    FlowBlock(run, section, run->body.right - columnWidth, columnWidth, &text);
    FlowBlock(run, section + 1, left, columnWidth, &commentary);
    *flow = Later(text, commentary) ? text : commentary;
}

void FlowChoice(Pagination* run, const PrintChoice* choice) {
    Flow flow = {0, 0};
    for (int pair = choice->firstPair; pair <= choice->lastPair && run->result == kPaginated; pair++) {
        if (pair != choice->firstPair) {
            if (choice->newPagePerPair) {
                if (flow.y > 0) StartNewPage(&flow);
            } else {
                LeaveBlockGap(run, &flow);
            }
        }
        FlowPair(run, choice, pair, &flow);
        if (!run->blocks.ok || !run->lines.ok) run->result = kPaginateNoMemory;
    }
}

int32_t PageCountOf(const Growing<LooseLine>& lines) {
    int32_t count = 0;
    for (int32_t i = 0; i < lines.count; i++) {
        if (lines.records[i].page + 1 > count) count = lines.records[i].page + 1;
    }
    return count ? count : 1;  // a choice of empty sections still prints a page
}

// Sorts the placed lines onto their pages, each page's in the order they were
// placed (a counting sort, so that a column's lines keep their order).
int CollectPages(Pagination* run, PrintPages* pages) {
    int32_t pageCount = PageCountOf(run->lines);
    pages->pages = (PrintPage*)PlatformAlloc(sizeof(PrintPage) * (size_t)pageCount);
    pages->lines = (PlacedLine*)PlatformAlloc(sizeof(PlacedLine) * (size_t)(run->lines.count ? run->lines.count : 1));
    if (!pages->pages || !pages->lines) return kPaginateNoMemory;
    pages->pageCount = pageCount;
    pages->lineCount = run->lines.count;
    memset(pages->pages, 0, sizeof(PrintPage) * (size_t)pageCount);
    for (int32_t i = 0; i < run->lines.count; i++) pages->pages[run->lines.records[i].page].lineCount++;
    int32_t first = 0;
    for (int32_t p = 0; p < pageCount; p++) {
        pages->pages[p].firstLine = first;
        first += pages->pages[p].lineCount;
        pages->pages[p].lineCount = 0;
        pages->pages[p].pair = 0;
    }
    for (int32_t i = 0; i < run->lines.count; i++) {
        const LooseLine& loose = run->lines.records[i];
        PrintPage& page = pages->pages[loose.page];
        pages->lines[page.firstLine + page.lineCount++] = loose.placed;
    }
    return kPaginated;
}

// The header names the pair of the first line in reading order: the highest
// on the page, and on the right (the text's column) where two start level.
void NamePagePairs(PrintPages* pages, int32_t firstPair) {
    for (int32_t p = 0; p < pages->pageCount; p++) {
        PrintPage& page = pages->pages[p];
        page.pair = p > 0 ? pages->pages[p - 1].pair : firstPair;
        const PlacedLine* top = nullptr;
        for (int32_t i = 0; i < page.lineCount; i++) {
            const PlacedLine* line = &pages->lines[page.firstLine + i];
            const PrintBlock& block = pages->blocks[line->block];
            if (!top || line->y < top->y ||
                (line->y == top->y && block.columnLeft > pages->blocks[top->block].columnLeft))
                top = line;
        }
        if (top) page.pair = PairOfSection(pages->blocks[top->block].section);
    }
}

}  // namespace

int Paginate(const PrintMeasurer* measurer, const PrintChoice* choice, PrintRect body, PageSpacing spacing,
             PrintPages* pages) {
    memset(pages, 0, sizeof *pages);
    if (!ChosenPairCount(choice)) return kPaginateBadChoice;
    int32_t columnWidth = body.right - body.left;
    if (choice->commentary == kCommentaryBeside) columnWidth = (columnWidth - spacing.columnGapPx) / 2;
    if (columnWidth <= 0 || body.bottom <= body.top) return kPaginateNoRoom;

    Pagination run;
    memset(&run, 0, sizeof run);
    run.measurer = measurer;
    run.body = body;
    run.spacing = spacing;
    run.blocks.ok = run.lines.ok = true;
    run.result = kPaginated;
    FlowChoice(&run, choice);
    if (run.result == kPaginated) run.result = CollectPages(&run, pages);
    PlatformFree(run.lines.records);
    if (run.result != kPaginated) {
        PlatformFree(run.blocks.records);
        FreePrintPages(pages);
        return run.result;
    }
    pages->blocks = run.blocks.records;  // the pages take the blocks over
    pages->blockCount = run.blocks.count;
    NamePagePairs(pages, choice->firstPair);
    return kPaginated;
}

void FreePrintPages(PrintPages* pages) {
    PlatformFree(pages->blocks);
    PlatformFree(pages->lines);
    PlatformFree(pages->pages);
    memset(pages, 0, sizeof *pages);
}
