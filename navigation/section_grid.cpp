#include "navigation/section_grid.h"

#include <string.h>

#include "panes/theme.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"

namespace {

const int kLayoutFirstCapacity = 128;
const int kCapacityStep = 128;
const uint32_t kMaxRows = 0xFFFE;  // counts are 16 bits and one entry is the terminator
const uint8_t kLargeAndBold = 0x0C;
const uint8_t kSpaceCode = ' ';
const int kMeasureAnyWidthPx = 0x7FFF;
const int kMarkPaddingPx = 2;  // the selection colour reaches this far beyond a marked row's text

bool IsVisible(const GridRow& row) { return (row.style & kIndexVisible) != 0; }

// A rectangle turned inside out counts as empty, so that no row lands left of
// the grid and wraps its 16-bit x.
int UsableExtent(int extentPx) { return extentPx > 0 ? extentPx : 0; }

int RowHeightOfSelectedFont(HDC dc) {
    TEXTMETRICW metrics;
    if (!GetTextMetricsW(dc, &metrics)) return 0;
    return metrics.tmHeight > 0xFFFF ? 0xFFFF : (int)metrics.tmHeight;
}

GridRow* AllocRows(uint32_t entries) {
    return (GridRow*)AllocOrAbort(sizeof(GridRow) * (size_t)entries);
}

// Makes room for at least one more row. False when the rows cannot grow,
// because memory ran out (*outOfMemory) or the 16-bit count is used up.
bool GrowRows(SectionGrid* grid, bool* outOfMemory) {
    uint32_t capacity = (uint32_t)grid->capacity + kCapacityStep;
    if (capacity > kMaxRows) return false;
    GridRow* rows = AllocRows(capacity + 1);
    if (!rows) {
        *outOfMemory = true;
        return false;
    }
    memcpy(rows, grid->rows, sizeof(GridRow) * grid->capacity);
    PlatformFree(grid->rows);
    grid->rows = rows;
    grid->capacity = (uint16_t)capacity;
    return true;
}

// Where the layout of one record stands.
struct RecordLayout {
    const uint8_t* reading;  // the record's text reversed into reading order
    uint32_t length;
    uint32_t textOffset;     // of the stored text within the index text
    int indentPx;
    int rowHeight;
    uint16_t id;
    uint8_t style;
};

// How many characters of `codes` go on one row of `availablePx`, and their
// width: at the last space that fits when a word would be split, the whole
// fit when the word has no space to break at, and one character even when
// not one fits, so that every row moves the layout on.
int FitRow(HDC dc, const uint8_t* codes, int offered, int availablePx, int* widthPx) {
    int count = offered;
    *widthPx = availablePx;
    MeasureFit(dc, codes, widthPx, &count);
    if (count == 0) {
        count = 1;
        *widthPx = kMeasureAnyWidthPx;
        MeasureFit(dc, codes, widthPx, &count);
        count = 1;
        if (*widthPx > availablePx) *widthPx = availablePx > 0 ? availablePx : 0;
        return count;
    }
    if (count == offered || codes[count] == kSpaceCode) return count;
    for (int p = count - 1; p >= 1; p--) {
        if (codes[p] != kSpaceCode) continue;
        int fitted = p;
        MeasureFit(dc, codes, widthPx, &fitted);
        return p;
    }
    return count;
}

void PutRow(SectionGrid* grid, int index, const RecordLayout& record, uint32_t position, int count, int widthPx) {
    GridRow& row = grid->rows[index];
    row.textOffset = (uint16_t)(record.textOffset + record.length - position - (uint32_t)count);
    row.length = (uint16_t)count;
    row.width = (uint16_t)widthPx;
    row.height = (uint16_t)record.rowHeight;
    row.id = record.id;
    row.style = record.style;
    row.x = (uint16_t)(grid->x + grid->width - record.indentPx - widthPx);
    if (IsVisible(row)) grid->visibleRows++;
}

// Breaks one record into rows from *rowIndex on. kGridNoMemory when memory
// ran out; false in *full when the row count reached its 16-bit end.
int LayoutRecordRows(SectionGrid* grid, const RecordLayout& record, int* rowIndex, bool* full) {
    uint32_t position = 0;
    int availablePx = grid->width - record.indentPx;
    for (;;) {
        while (position < record.length && record.reading[position] == kSpaceCode) position++;
        if (position >= record.length) return kGridDone;
        if (*rowIndex >= grid->capacity) {
            bool outOfMemory = false;
            if (!GrowRows(grid, &outOfMemory)) {
                *full = !outOfMemory;
                return outOfMemory ? kGridNoMemory : kGridDone;
            }
        }
        int widthPx = 0;
        int count = FitRow(grid->dc, record.reading + position, (int)(record.length - position), availablePx, &widthPx);
        PutRow(grid, *rowIndex, record, position, count, widthPx);
        (*rowIndex)++;
        position += (uint32_t)count;
    }
}

// The longest text of the index, so that one buffer serves every record.
uint32_t LongestText(const SectionGrid* grid) {
    IndexWalker walker;
    StartIndexWalk(&walker, grid->indexText, grid->indexTextBytes);
    IndexRecord record;
    uint32_t longest = 0;
    while (NextIndexRecord(&walker, &record))
        if (record.textLength > longest) longest = record.textLength;
    return longest;
}

// The record's text in reading order (the stored text is in drawing order,
// so the reading starts at its last byte), into `reading`.
void CopyInReadingOrder(const uint8_t* stored, uint32_t length, uint8_t* reading) {
    for (uint32_t i = 0; i < length; i++) reading[i] = stored[length - 1 - i];
    reading[length] = 0;
}

// Every record into rows; returns the layout result.
int LayoutRecords(SectionGrid* grid, int* rowIndex) {
    uint8_t* reading = (uint8_t*)AllocOrAbort(LongestText(grid) + 1);
    if (!reading) return kGridNoMemory;
    IndexWalker walker;
    StartIndexWalk(&walker, grid->indexText, grid->indexTextBytes);
    IndexRecord record;
    uint8_t previousKey = kIndexPlainStyle;
    int rowHeight = RowHeightOfSelectedFont(grid->dc);
    bool full = false;
    int result = kGridDone;
    while (result == kGridDone && !full && NextIndexRecord(&walker, &record)) {
        uint8_t key = record.style & kIndexStyleKeyMask;
        if (key != previousKey) {
            SelectGridFont(grid, record.style, false);
            rowHeight = RowHeightOfSelectedFont(grid->dc);
            previousKey = key;
        }
        int indentPx = record.indent * GridPx(grid, kGridIndentStepPx);
        if (indentPx >= grid->width) indentPx = 0;
        CopyInReadingOrder(grid->indexText + record.textOffset, record.textLength, reading);
        RecordLayout layout = {reading, record.textLength, record.textOffset, indentPx, rowHeight, record.id,
                               record.style};
        result = LayoutRecordRows(grid, layout, rowIndex, &full);
    }
    PlatformFree(reading);
    return result;
}

// The first record must be whole, with a style byte and some text.
bool IsUsableIndex(IndexText text) {
    IndexWalker walker;
    StartIndexWalk(&walker, text.bytes, text.byteCount);
    IndexRecord first;
    return NextIndexRecord(&walker, &first) && first.textLength > 0;
}

bool EnsureRows(SectionGrid* grid) {
    if (grid->rows && grid->capacity) return true;
    PlatformFree(grid->rows);
    grid->rows = AllocRows(kLayoutFirstCapacity + 1);
    grid->capacity = grid->rows ? (uint16_t)kLayoutFirstCapacity : 0;
    return grid->rows != nullptr;
}

const HBITMAP* MarkerBitmapFor(const GridRow& row) {
    if (!(row.id & kIndexHeadingBit)) return &gApp.gridBitmaps[2];
    return (row.style & kIndexExpanded) ? &gApp.gridBitmaps[1] : &gApp.gridBitmaps[0];
}

// `memory` is a dc compatible with the grid's, made once for a paint.
void DrawMarker(SectionGrid* grid, HDC memory, const GridRow& row, int rowTop) {
    HBITMAP bitmap = *MarkerBitmapFor(row);
    if (!bitmap || !memory) return;
    HGDIOBJ saved = SelectObject(memory, bitmap);
    // The marker's place is scaled; its picture is the one drawn nearest that
    // scale, copied as it is, centred in the place.
    int boxPx = GridPx(grid, kGridMarkerPx);
    SIZE drawn = BitmapSize(bitmap);
    int offset = (row.height - boxPx) / 2;
    int top = (offset > 0 ? rowTop + offset : rowTop) + (boxPx - drawn.cy) / 2;
    int left = row.x + row.width + GridPx(grid, kGridMarkerGapPx) + (boxPx - drawn.cx) / 2;
    BitBlt(grid->dc, left, top, drawn.cx, drawn.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, saved);
}

// The current section's link, in the theme's selection colours.
void DrawMarkedRow(SectionGrid* grid, const GridRow& row, int rowTop) {
    int paddingPx = GridPx(grid, kMarkPaddingPx);
    RECT ground = {row.x - paddingPx, rowTop, row.x + row.width + paddingPx, rowTop + row.height};
    const Palette& palette = CurrentPalette();
    FillWithColour(grid->dc, ground, palette.selectBack);
    COLORREF savedColour = SetTextColor(grid->dc, palette.selectText);
    int savedMode = SetBkMode(grid->dc, TRANSPARENT);
    DrawTextCell(grid->dc, grid->indexText + row.textOffset, row.length, row.x, rowTop, row.width, row.height);
    SetBkMode(grid->dc, savedMode);
    SetTextColor(grid->dc, savedColour);
}

// The rows of a link to `section` that are drawn, each on fresh ground.
void RedrawLinkRows(SectionGrid* grid, int start, uint16_t section) {
    int remaining = grid->height;
    int top = grid->y;
    int paddingPx = GridPx(grid, kMarkPaddingPx);
    for (int i = start; i < grid->rowCount; i++) {
        const GridRow& row = grid->rows[i];
        if (row.height > remaining) break;
        if (!IsVisible(row)) continue;
        bool link = (row.id & kIndexLinkBit) && (row.id & kIndexNumberMask) == section;
        if (link) {
            SelectGridFont(grid, row.style, true);
            RECT ground = {row.x - paddingPx, top, row.x + row.width + paddingPx, top + row.height};
            FillWithColour(grid->dc, ground, CurrentPalette().page);
            if (IsMarkedRow(grid, row))
                DrawMarkedRow(grid, row, top);
            else
                DrawTextCell(grid->dc, grid->indexText + row.textOffset, row.length, row.x, top, row.width, row.height);
        }
        top += row.height;
        remaining -= row.height;
    }
}

// Draws the visible rows from `start` while they fit; returns the rows drawn.
int PaintRows(SectionGrid* grid, int start) {
    int remaining = grid->height;
    int top = grid->y;
    int painted = 0;
    uint8_t previousKey = grid->rows[start].style & kIndexStyleKeyMask;
    uint16_t lastMarkedId = 0;
    HDC memory = CreateCompatibleDC(grid->dc);
    for (int i = start; i < grid->rowCount; i++) {
        const GridRow& row = grid->rows[i];
        if (row.height > remaining) break;
        if (!IsVisible(row)) continue;
        uint8_t key = row.style & kIndexStyleKeyMask;
        if (key != previousKey) {
            SelectGridFont(grid, row.style, true);
            previousKey = key;
        }
        if (row.id != lastMarkedId) {
            DrawMarker(grid, memory, row, top);
            lastMarkedId = row.id;
        }
        if (IsMarkedRow(grid, row))
            DrawMarkedRow(grid, row, top);
        else
            DrawTextCell(grid->dc, grid->indexText + row.textOffset, row.length, row.x, top, row.width, row.height);
        top += row.height;
        remaining -= row.height;
        painted++;
    }
    if (memory) DeleteDC(memory);
    return painted;
}

}  // namespace

SectionGrid* CreateSectionGrid(HDC dc, const RECT* rect, const FontSpec* fontSpec, int capacity) {
    if (!dc) return nullptr;
    SectionGrid* grid = (SectionGrid*)AllocOrAbort(sizeof(SectionGrid));
    if (!grid) return nullptr;
    memset(grid, 0, sizeof(*grid));
    grid->dc = dc;
    if (fontSpec) grid->fontSpec = *fontSpec;
    if (rect) {
        grid->x = rect->left;
        grid->y = rect->top;
        grid->width = UsableExtent(rect->right - rect->left);
        grid->height = UsableExtent(rect->bottom - rect->top);
    }
    if (capacity > (int)kMaxRows) capacity = (int)kMaxRows;
    if (capacity > 0) {
        grid->rows = AllocRows((uint32_t)capacity + 1);
        if (!grid->rows) {
            PlatformFree(grid);
            return nullptr;
        }
        memset(&grid->rows[0], 0, sizeof(GridRow));
        grid->capacity = (uint16_t)capacity;
    }
    return grid;
}

int LayoutIndex(SectionGrid* grid, IndexText text, bool releaseOld) {
    if (!grid) return kGridMissing;
    grid->visibleRows = 0;
    grid->lastFirstRow = 0;
    if (!text.bytes) {
        if (releaseOld) {
            PlatformFree(grid->indexText);
            grid->indexText = nullptr;
            grid->indexTextBytes = 0;
        }
        return kGridNoText;
    }
    if (!IsUsableIndex(text)) return kGridRefused;
    if (releaseOld && grid->indexText != text.bytes) PlatformFree(grid->indexText);
    // Owned from here, whatever follows, so that no path leaks it.
    grid->indexText = text.bytes;
    grid->indexTextBytes = text.byteCount;
    if (ProgramEnding() || !EnsureRows(grid)) {
        grid->rowCount = 0;
        return kGridNoMemory;
    }

    HFONT savedFont = SelectGridFont(grid, kIndexPlainStyle, false);
    int rowIndex = 0;
    int result = LayoutRecords(grid, &rowIndex);
    memset(&grid->rows[rowIndex], 0, sizeof(GridRow));
    grid->rowCount = (uint16_t)rowIndex;
    if (result == kGridDone) UpdateLastFirstRow(grid);
    SelectObject(grid->dc, savedFont);
    return result;
}

int ResizeSectionGrid(SectionGrid* grid, int width, int height) {
    if (!grid) return kGridMissing;
    grid->width = UsableExtent(width);
    grid->height = UsableExtent(height);
    return LayoutIndex(grid, IndexText{grid->indexText, grid->indexTextBytes}, false);
}

int PaintSectionGrid(SectionGrid* grid, bool fillBackground) {
    if (!grid) return kGridMissing;
    grid->rowsPainted = 0;
    if (grid->firstRow > grid->visibleRows) grid->firstRow = grid->lastFirstRow;
    if (!grid->indexText || !grid->rows || ProgramEnding()) return kGridMissing;
    int start = GridStartRow(grid);
    COLORREF savedColour = GetTextColor(grid->dc);
    // Rows drawn opaquely stand on the page's colour, and the one-bit markers
    // take the row's ink on it.
    COLORREF savedBack = SetBkColor(grid->dc, CurrentPalette().page);
    HFONT savedFont = SelectGridFont(grid, grid->rows[start].style, true);
    // The markers of indent 0 stand right of the grid: cleared with it, or a
    // scroll or toggle would leave them behind where rows used to be.
    if (fillBackground) {
        int reachPx = GridMarkerReachPx(grid->fontSpec.dpi);
        RECT area = {grid->x, grid->y, grid->x + grid->width + reachPx, grid->y + grid->height};
        FillWithColour(grid->dc, area, CurrentPalette().page);
    }
    grid->rowsPainted = PaintRows(grid, start);
    SelectObject(grid->dc, savedFont);
    SetTextColor(grid->dc, savedColour);
    SetBkColor(grid->dc, savedBack);
    return 0;
}

void RepaintSectionLinks(SectionGrid* grid, uint16_t section) {
    if (!grid || !section || !grid->indexText || !grid->rows || ProgramEnding()) return;
    int start = GridStartRow(grid);
    COLORREF savedColour = GetTextColor(grid->dc);
    COLORREF savedBack = SetBkColor(grid->dc, CurrentPalette().page);
    HFONT savedFont = (HFONT)GetCurrentObject(grid->dc, OBJ_FONT);
    RedrawLinkRows(grid, start, section);
    SelectObject(grid->dc, savedFont);
    SetTextColor(grid->dc, savedColour);
    SetBkColor(grid->dc, savedBack);
}

int ScrollSectionGrid(SectionGrid* grid, int delta) {
    if (!grid) return kGridMissing;
    if (ProgramEnding()) return kGridScrollUnchanged;
    int wanted = (int)grid->firstRow + delta;
    if (wanted > grid->lastFirstRow) wanted = grid->lastFirstRow;
    if (wanted < 0) wanted = 0;
    if (wanted == grid->firstRow) return kGridScrollUnchanged;
    grid->firstRow = (uint16_t)wanted;
    return PaintSectionGrid(grid, true);
}

void DestroySectionGrid(SectionGrid* grid, bool releaseRecord) {
    if (!grid) return;
    PlatformFree(grid->indexText);
    grid->indexText = nullptr;
    PlatformFree(grid->rows);
    grid->rows = nullptr;
    FreeFontCache(grid->fonts);
    grid->fonts = nullptr;
    if (releaseRecord) PlatformFree(grid);
}

HFONT SelectGridFont(SectionGrid* grid, uint8_t style, bool setColour) {
    uint8_t key = style & kIndexStyleKeyMask;
    HFONT font = CachedStyleFont(&grid->fonts, &grid->fontSpec, key);
    if (setColour) {
        const Palette& palette = CurrentPalette();
        SetTextColor(grid->dc, (key & kLargeAndBold) == kLargeAndBold ? palette.headingText : palette.plainText);
    }
    if (!font) return (HFONT)GetCurrentObject(grid->dc, OBJ_FONT);
    return (HFONT)SelectObject(grid->dc, font);
}

int GridPx(const SectionGrid* grid, int px96) { return ScalePx(px96, grid->fontSpec.dpi); }

int GridMarkerReachPx(int dpi) { return ScalePx(kGridMarkerGapPx, dpi) + ScalePx(kGridMarkerPx, dpi); }

int GridRowIndent(const SectionGrid* grid, int row) {
    if (row >= grid->rowCount) return grid->x + grid->width;
    const GridRow& entry = grid->rows[row];
    return grid->x + grid->width - entry.x - entry.width;
}

int GridStartRow(const SectionGrid* grid) {
    int row = 0;
    int passed = 0;
    while (row < grid->rowCount && passed < grid->firstRow) {
        if (IsVisible(grid->rows[row])) passed++;
        row++;
    }
    return row;
}

void UpdateLastFirstRow(SectionGrid* grid) {
    if (!grid->rows || grid->visibleRows == 0 || grid->rowCount == 0) return;
    int remaining = grid->height;
    int fitting = 0;
    for (int i = grid->rowCount - 1; i >= 0; i--) {
        const GridRow& row = grid->rows[i];
        if (row.height > remaining) break;
        if (!IsVisible(row)) continue;
        fitting++;
        remaining -= row.height;
    }
    grid->lastFirstRow = (uint16_t)(grid->visibleRows - fitting);
}

bool IsMarkedRow(const SectionGrid* grid, const GridRow& row) {
    return grid->markedSection && (row.id & kIndexLinkBit) && (row.id & kIndexNumberMask) == grid->markedSection;
}
