#include "navigation/section_outline.h"

#include "platform/out_of_memory.h"
#include "platform/services.h"

namespace {

const uint8_t kOutlineBits = kIndexVisible | kIndexExpanded;

int NumberOf(uint16_t id) { return id & kIndexNumberMask; }
bool IsVisible(const GridRow& row) { return (row.style & kIndexVisible) != 0; }
bool HasRows(const SectionGrid* grid) { return grid && grid->indexText && grid->rows; }

// Rows of one record come in reading order, so their offsets fall; the next
// record's text lies beyond the whole of this one's.
bool StartsRecord(const SectionGrid* grid, int row) {
    return row == 0 || grid->rows[row].textOffset > grid->rows[row - 1].textOffset;
}

bool SameRecord(const SectionGrid* grid, int a, int b) {
    return grid->rows[a].id == grid->rows[b].id && GridRowIndent(grid, a) == GridRowIndent(grid, b);
}

// The first row of the record that `row` belongs to, and one past its last.
int RecordFirstRow(const SectionGrid* grid, int row) {
    while (row > 0 && SameRecord(grid, row - 1, row)) row--;
    return row;
}

int RecordEndRow(const SectionGrid* grid, int row) {
    int end = row + 1;
    while (end < grid->rowCount && SameRecord(grid, end, row)) end++;
    return end;
}

void SetRowVisible(SectionGrid* grid, GridRow* row, bool visible) {
    if (IsVisible(*row) == visible) return;
    if (visible) {
        row->style |= kIndexVisible;
        grid->visibleRows++;
    } else {
        row->style &= (uint8_t)~kIndexVisible;
        grid->visibleRows--;
    }
}

// The row under `y`, from the start row on; kHitBelowRows when `y` lies below
// the rows that fit.
int RowAt(const SectionGrid* grid, int y) {
    int top = grid->y;
    int remaining = grid->height;
    for (int i = GridStartRow(grid); i < grid->rowCount; i++) {
        const GridRow& row = grid->rows[i];
        if (row.height > remaining) return kHitBelowRows;
        if (!IsVisible(row)) continue;
        top += row.height;
        remaining -= row.height;
        if (y <= top) return i;
    }
    return kHitBelowRows;
}

// Hides every row of the subtree after a toggled record, or shows its next
// level.
void ToggleSubtree(SectionGrid* grid, int end, int number, bool collapsing) {
    int threshold = GridRowIndent(grid, end);
    for (int q = end; q < grid->rowCount; q++) {
        GridRow* row = &grid->rows[q];
        int indent = GridRowIndent(grid, q);
        if (indent < threshold) break;
        if (NumberOf(row->id) == number && indent == threshold) threshold = GridRowIndent(grid, q + 1);
        if (collapsing) SetRowVisible(grid, row, false);
        else if (!IsVisible(*row) && indent == threshold) SetRowVisible(grid, row, true);
    }
}

}  // namespace

int HitTestSectionGrid(SectionGrid* grid, int x, int y) {
    if (!HasRows(grid)) return 0;
    if (x < grid->x || x > grid->x + grid->width || y < grid->y || y > grid->y + grid->height) return 0;
    int hit = RowAt(grid, y);
    if (hit == kHitBelowRows) return hit;
    const GridRow& row = grid->rows[hit];
    int markerEnd = row.x + row.width + GridMarkerReachPx(grid->fontSpec.dpi);
    if (x >= row.x && x <= markerEnd) {
        if (row.id & kIndexLinkBit) return NumberOf(row.id);
        return ToggleHeading(grid, hit);  // headings, and plain labels too
    }
    if ((row.id & kIndexHeadingBit) && x > markerEnd) return ToggleHeading(grid, hit);
    return 0;
}

int ToggleHeading(SectionGrid* grid, int row) {
    if (!HasRows(grid) || row < 0 || row >= grid->rowCount) return 0;
    // The record's own rows (a heading that wraps) are the heading itself:
    // they stay as they are and all carry its new expanded bit, so that the
    // marker, drawn beside whichever of them shows first, tells the truth.
    int first = RecordFirstRow(grid, row);
    int end = RecordEndRow(grid, row);
    bool collapsing = (grid->rows[row].style & kIndexExpanded) != 0;
    for (int i = first; i < end; i++) {
        if (collapsing) grid->rows[i].style &= (uint8_t)~kIndexExpanded;
        else grid->rows[i].style |= kIndexExpanded;
    }
    uint16_t visibleBefore = grid->visibleRows;
    int number = NumberOf(grid->rows[row].id);
    ToggleSubtree(grid, end, number, collapsing);
    if (grid->visibleRows != visibleBefore) {
        UpdateLastFirstRow(grid);
        // A fold near the end would otherwise leave blank space under the
        // last row while rows stay scrolled off above, out of the bar's reach.
        if (grid->firstRow > grid->lastFirstRow) grid->firstRow = grid->lastFirstRow;
    }
    PaintSectionGrid(grid, true);
    return -number;
}

void ShowRecordRows(SectionGrid* grid, int row, int step) {
    if (!HasRows(grid) || row < 0 || row >= grid->rowCount) return;
    uint16_t id = grid->rows[row].id;
    for (int i = row; i >= 0 && i < grid->rowCount && grid->rows[i].id == id; i += step) {
        GridRow* entry = &grid->rows[i];
        if (IsVisible(*entry)) continue;
        SetRowVisible(grid, entry, true);
        if (entry->id & kIndexHeadingBit) entry->style &= (uint8_t)~kIndexExpanded;
    }
}

void RevealSection(SectionGrid* grid, uint16_t section) {
    if (!HasRows(grid) || section == 0) return;
    int found = 0;
    while (found < grid->rowCount &&
           (NumberOf(grid->rows[found].id) != section || (grid->rows[found].id & kIndexHeadingBit)))
        found++;
    if (found >= grid->rowCount || IsVisible(grid->rows[found])) return;
    ShowRecordRows(grid, found, 1);
    int next = found;
    while (next < grid->rowCount && grid->rows[next].id == grid->rows[found].id) next++;
    ShowRecordRows(grid, next, 1);
    // Every row above with a smaller indent encloses the link.
    int threshold = GridRowIndent(grid, found);
    for (int i = found - 1; i >= 0; i--) {
        int indent = GridRowIndent(grid, i);
        if (indent >= threshold) continue;
        threshold = indent;
        ShowRecordRows(grid, i, -1);
    }
    UpdateLastFirstRow(grid);
}

uint16_t* SaveExpansion(SectionGrid* grid) {
    if (!HasRows(grid) || grid->rowCount == 0) return nullptr;
    uint32_t records = 0;
    for (int i = 0; i < grid->rowCount; i++)
        if (StartsRecord(grid, i)) records++;
    uint16_t* saved = (uint16_t*)AllocOrAbort(sizeof(uint16_t) * (1 + 2 * (size_t)records));
    if (!saved) return nullptr;
    saved[0] = (uint16_t)records;
    uint16_t* pair = saved + 1;
    for (int i = 0; i < grid->rowCount; i++) {
        if (!StartsRecord(grid, i)) continue;
        pair[0] = grid->rows[i].id;
        pair[1] = grid->rows[i].style & kOutlineBits;
        pair += 2;
    }
    return saved;
}

int RestoreExpansion(SectionGrid* grid, const uint16_t* saved) {
    if (!HasRows(grid) || !saved) return -1;
    uint32_t records = saved[0];
    uint32_t record = 0;
    const uint16_t* pair = saved + 1;
    for (int i = 0; i < grid->rowCount; i++) {
        if (StartsRecord(grid, i) && i > 0) {
            record++;
            pair += 2;
        }
        // A list taken from another text stops where the two part ways.
        if (record >= records || grid->rows[i].id != pair[0]) break;
        SetRowVisible(grid, &grid->rows[i], (pair[1] & kIndexVisible) != 0);
        grid->rows[i].style = (uint8_t)((grid->rows[i].style & ~kIndexExpanded) | (pair[1] & kIndexExpanded));
    }
    UpdateLastFirstRow(grid);
    return 0;
}
