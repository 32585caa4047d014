#include "accessibility/outline_access.h"

#include "accessibility/item_list_access.h"
#include "accessibility/uia_api.h"
#include "clipboard/copy_text.h"
#include "navigation/index_records.h"
#include "navigation/outline_view.h"
#include "navigation/section_grid.h"
#include "navigation/section_outline.h"
#include "platform/services.h"

namespace {

// One shown record: the grid row it starts on and the record itself.
struct OutlineItem {
    int firstRow;
    IndexRecord record;
};

bool RowShown(const GridRow& row) { return (row.style & kIndexVisible) != 0; }

// The record that holds a row's text; walks on from `walker`'s place, as
// the rows come in the records' order.
bool RecordOfRow(IndexWalker* walker, IndexRecord* record, const GridRow& row) {
    while (row.textOffset >= record->textOffset + record->textLength + 1 || row.textOffset < record->textOffset)
        if (!NextIndexRecord(walker, record)) return false;
    return true;
}

// Calls `visit` for each shown record in order, until it returns false.
template <typename Visit>
void ForEachItem(const SectionGrid* grid, Visit visit) {
    if (!grid || !grid->rows || !grid->indexText) return;
    IndexWalker walker;
    StartIndexWalk(&walker, grid->indexText, grid->indexTextBytes);
    IndexRecord record;
    if (!NextIndexRecord(&walker, &record)) return;
    uint32_t lastRecord = 0xFFFFFFFFu;
    int index = 0;
    for (int row = 0; row < grid->rowCount; row++) {
        if (!RecordOfRow(&walker, &record, grid->rows[row])) return;
        if (!RowShown(grid->rows[row]) || record.offset == lastRecord) continue;
        lastRecord = record.offset;
        if (!visit(OutlineItem{row, record}, index++)) return;
    }
}

// The context of every call: the host's view, whose grid is made anew when
// the outline is rebuilt.
const SectionGrid* GridOf(void* context) { return ((const OutlineView*)context)->grid; }

bool ItemAt(const SectionGrid* grid, int wanted, OutlineItem* found) {
    bool got = false;
    ForEachItem(grid, [&](const OutlineItem& item, int index) {
        if (index != wanted) return true;
        *found = item;
        got = true;
        return false;
    });
    return got;
}

int ItemCount(void* context) {
    int count = 0;
    ForEachItem(GridOf(context), [&](const OutlineItem&, int) { return ++count > 0; });
    return count;
}

wchar_t* ItemName(void* context, int item) {
    const SectionGrid* grid = GridOf(context);
    OutlineItem found;
    if (!ItemAt(grid, item, &found)) return nullptr;
    return CopyFormOfCodes(grid->indexText + found.record.textOffset, (int)found.record.textLength);
}

int ItemLevel(void* context, int item) {
    OutlineItem found;
    if (!ItemAt(GridOf(context), item, &found)) return -1;
    return found.record.indent > 0 ? found.record.indent - 1 : 0;
}

// The rows on screen as PaintSectionGrid lays them: the top of each, or -1.
int RowTop(const SectionGrid* grid, int wanted) {
    int remaining = grid->height, top = grid->y;
    for (int row = GridStartRow(grid); row < grid->rowCount; row++) {
        const GridRow& entry = grid->rows[row];
        if (entry.height > remaining) break;
        if (!RowShown(entry)) continue;
        if (row == wanted) return top;
        top += entry.height;
        remaining -= entry.height;
    }
    return -1;
}

bool ItemPlace(void* context, int item, RECT* rect) {
    const SectionGrid* grid = GridOf(context);
    OutlineItem found;
    if (!ItemAt(grid, item, &found)) return false;
    bool any = false;
    for (int row = found.firstRow; row < grid->rowCount; row++) {
        const GridRow& entry = grid->rows[row];
        if (entry.id != found.record.id || (row > found.firstRow && entry.textOffset == found.record.textOffset))
            break;
        int top = RowTop(grid, row);
        if (top < 0) continue;
        RECT one = {entry.x, top, entry.x + entry.width, top + entry.height};
        if (!any) *rect = one;
        else UnionRect(rect, rect, &one);
        any = true;
    }
    return any;
}

LONG ItemState(void* context, int item) {
    const SectionGrid* grid = GridOf(context);
    OutlineItem found;
    if (!ItemAt(grid, item, &found)) return 0;
    LONG state = 0;
    const GridRow& row = grid->rows[found.firstRow];
    if (row.id & kIndexHeadingBit) state |= (row.style & kIndexExpanded) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    if (row.id & kIndexLinkBit) state |= STATE_SYSTEM_SELECTABLE;
    if (IsMarkedRow(grid, row)) state |= STATE_SYSTEM_SELECTED;
    RECT place;
    if (!ItemPlace(context, item, &place)) state |= STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE;
    return state;
}

// The record at the top of the grid, where its keys scroll.
int ItemFocused(void* context) {
    const SectionGrid* grid = GridOf(context);
    if (!grid || !grid->rows) return -1;
    int start = GridStartRow(grid), focused = -1;
    ForEachItem(grid, [&](const OutlineItem& item, int index) {
        focused = index;
        return item.firstRow < start;
    });
    return focused;
}

bool ItemFold(void* context, int item, bool open) {
    OutlineItem found;
    if (!ItemAt(GridOf(context), item, &found) || !(found.record.id & kIndexHeadingBit)) return false;
    FoldOutlineHeading((OutlineView*)context, found.firstRow, open);
    return true;
}

// A link is chosen as a tap chooses it; a heading is not selected.
bool ItemSelect(void* context, int item) {
    OutlineView* view = (OutlineView*)context;
    OutlineItem found;
    if (!ItemAt(view->grid, item, &found) || !(found.record.id & kIndexLinkBit) || !view->choose) return false;
    view->choose((uint16_t)(found.record.id & kIndexNumberMask));
    return true;
}

const ItemListSource kOutlineSource = {ROLE_SYSTEM_OUTLINE, ROLE_SYSTEM_OUTLINEITEM, kUiaTreeControlTypeId,
                                       kUiaTreeItemControlTypeId, ItemCount, ItemName, ItemLevel, ItemState,
                                       ItemPlace, ItemFocused, ItemFold, ItemSelect};

}  // namespace

LRESULT AnswerOutlineObject(OutlineView* view, WPARAM wParam, LPARAM lParam) {
    return AnswerItemList(view->window, &kOutlineSource, view, wParam, lParam);
}

void NoteOutlineMoved(HWND host) { NoteItemListFocus(host); }

void ForgetOutline(HWND host) { ForgetItemList(host); }
