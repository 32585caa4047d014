#include "navigation/outline_view.h"

#include <string.h>
#include <wchar.h>

#include "accessibility/outline_access.h"
#include "content/section_store.h"
#include "navigation/index_records.h"
#include "navigation/section_outline.h"
#include "panes/theme.h"
#include "platform/dialog_shell.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"

namespace {

const int kGridInitialCapacity = 100;
// The chooser and the panel; one more would be a fault, and is left unlisted.
const int kMaxOpenOutlines = 4;
OutlineView* gOpenOutlines[kMaxOpenOutlines];

// The scroll bar's width at the host's resolution.
int ScrollBarPx(const OutlineView* view) { return SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(view->window)); }

// The markers' reach at the resolution the outline is drawn at.
int MarkerReachPx(const OutlineView* view) { return GridMarkerReachPx(view->fontSpec ? view->fontSpec->dpi : 0); }

// Room right of the grid for the markers of indent 0: a scroll bar's width,
// as the handheld leaves, and never less than a marker needs.
int MarkerRoomPx(const OutlineView* view) {
    int scrollBarPx = ScrollBarPx(view);
    return scrollBarPx > MarkerReachPx(view) ? scrollBarPx : MarkerReachPx(view);
}

// The grid's width as if the scroll bar showed, whether it does or not: a
// fold that hides or shows the bar then lays the outline out again at the
// same width, and nothing moves sideways.
int GridWidthPx(const OutlineView* view, int clientWidthPx) {
    bool barShown = (GetWindowLongPtrW(view->window, GWL_STYLE) & WS_VSCROLL) != 0;
    return clientWidthPx - (barShown ? 0 : ScrollBarPx(view)) - MarkerRoomPx(view);
}

RECT GridRect(const OutlineView* view) {
    RECT rect = view->clientRect;
    rect.right = rect.left + GridWidthPx(view, rect.right - rect.left);
    return rect;
}

void FillPage(const OutlineView* view, const RECT& rect) {
    if (rect.right > rect.left && rect.bottom > rect.top) FillWithColour(view->dc, rect, CurrentPalette().page);
}

// The delta of a WM_VSCROLL code. Bottom moves one row, like line down.
int ScrollDelta(const SectionGrid* grid, WORD code, short thumbPosition) {
    switch (code) {
    case SB_LINEUP: return -1;
    case SB_LINEDOWN: return 1;
    case SB_PAGEUP: return -grid->rowsPainted;
    case SB_PAGEDOWN: return grid->rowsPainted;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return thumbPosition - grid->firstRow;
    case SB_TOP: return -grid->firstRow;
    case SB_BOTTOM: return 1;
    default: return 0;
    }
}

// The records of a text that lie before byte `end`.
uint16_t RecordsBefore(IndexText text, uint32_t end) {
    IndexWalker walker;
    StartIndexWalk(&walker, text.bytes, text.byteCount);
    IndexRecord record;
    uint16_t count = 0;
    while (NextIndexRecord(&walker, &record) && record.offset < end) count++;
    return count;
}

// The index with the bookmark group in front; *groupRecords: the group's records.
IndexText LoadOutlineText(uint16_t* groupRecords) {
    uint32_t indexBytes = 0;
    uint8_t* index = LoadSectionTextWithLength(kIndexSectionNumber, &indexBytes, nullptr);
    IndexText alone = {index, index ? indexBytes : 0};
    uint32_t aloneBytes = IndexRecordsBytes(alone.bytes, alone.byteCount);
    IndexText text = PrependBookmarkGroup(gApp.bookmarks, gApp.bookmarkCount, alone);
    // The group stands in front of the index's own records, whose bytes are those of the index alone.
    uint32_t groupBytes = text.bytes == index ? 0 : IndexRecordsBytes(text.bytes, text.byteCount) - aloneBytes;
    *groupRecords = groupBytes ? RecordsBefore(text, groupBytes) : 0;
    return text;
}

// A saved state of the old text carried to the new one, whose bookmark group
// differs: the new group as it was laid out, then the index's own records as
// they were. `fresh` (the new layout's state) is filled in place.
void CarryIndexState(uint16_t* fresh, uint16_t freshGroup, const uint16_t* old, uint16_t oldGroup) {
    uint32_t freshRecords = fresh[0];
    uint32_t oldRecords = old[0];
    for (uint32_t i = 0; freshGroup + i < freshRecords && oldGroup + i < oldRecords; i++) {
        const uint16_t* from = old + 1 + 2 * (oldGroup + i);
        uint16_t* to = fresh + 1 + 2 * (freshGroup + i);
        if (from[0] != to[0]) break;  // not the same index: keep what was laid out
        to[1] = from[1];
    }
}

// True when the grid was made for another face, size, base or resolution.
bool FontSpecChanged(const OutlineView* view) {
    if (!view->grid || !view->fontSpec) return false;
    const FontSpec& mine = view->grid->fontSpec;
    const FontSpec& wanted = *view->fontSpec;
    return mine.size != wanted.size || mine.letterBase != wanted.letterBase || mine.dpi != wanted.dpi ||
           wcscmp(mine.faceName, wanted.faceName) != 0;
}

// The range and position, unless they are set already; drawn at once, or
// with the host's next paint cycle.
void SetOutlineScrollBar(OutlineView* view, bool drawNow) {
    if (!view->grid) return;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS;
    SCROLLINFO current = info;
    info.nMin = 0;
    info.nMax = view->grid->lastFirstRow;
    info.nPos = view->grid->firstRow;
    bool known = GetScrollInfo(view->window, SB_VERT, &current) != FALSE;
    if (known && current.nMin == info.nMin && current.nMax == info.nMax && current.nPos == info.nPos) return;
    SetScrollInfo(view->window, SB_VERT, &info, drawNow);
    NoteOutlineMoved(view->window);  // every scroll and fold comes here
    if (!drawNow) RedrawWindow(view->window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

}  // namespace

void ReadOutlineRect(OutlineView* view) {
    GetDialogClientRect(view->window, &view->clientRect);
    view->clientRect.left += view->leftInsetPx;
    if (view->clientRect.left > view->clientRect.right) view->clientRect.left = view->clientRect.right;
}

bool BuildOutline(OutlineView* view, uint16_t current) {
    IndexText text = LoadOutlineText(&view->groupRecords);
    RECT gridRect = GridRect(view);
    view->grid = CreateSectionGrid(view->dc, &gridRect, view->fontSpec, kGridInitialCapacity);
    if (!view->grid) {
        PlatformFree(text.bytes);
        return false;
    }
    // The grid owns the text from here, unless it refuses it.
    int result = LayoutIndex(view->grid, text, false);
    if (result == kGridRefused) PlatformFree(text.bytes);
    if (result == kGridNoMemory) return false;
    RevealSection(view->grid, current);
    MarkSection(view->grid, current);
    UpdateOutlineScrollBar(view);
    return true;
}

int ResizeOutline(OutlineView* view) {
    SectionGrid* grid = view->grid;
    if (!grid) return kGridMissing;
    ReadOutlineRect(view);
    uint16_t* expansion = SaveExpansion(grid);
    const RECT& rect = view->clientRect;
    int result = ResizeSectionGrid(grid, GridWidthPx(view, rect.right - rect.left), rect.bottom - rect.top);
    RestoreExpansion(grid, expansion);
    PlatformFree(expansion);
    if (result == kGridNoMemory) return result;
    if (grid->firstRow > grid->lastFirstRow) grid->firstRow = grid->lastFirstRow;
    PaintOutline(view);
    UpdateOutlineScrollBar(view);
    return result;
}

bool RebuildOutline(OutlineView* view, uint16_t current) {
    if (!view->grid) return true;
    uint16_t* old = SaveExpansion(view->grid);
    uint16_t oldGroup = view->groupRecords;
    uint16_t firstRow = view->grid->firstRow;
    DestroySectionGrid(view->grid, true);
    view->grid = nullptr;
    ReadOutlineRect(view);
    bool built = BuildOutline(view, 0);
    if (built && old) {
        uint16_t* fresh = SaveExpansion(view->grid);
        if (fresh) {
            CarryIndexState(fresh, view->groupRecords, old, oldGroup);
            RestoreExpansion(view->grid, fresh);
        }
        PlatformFree(fresh);
    }
    PlatformFree(old);
    if (!built) return false;
    view->grid->firstRow = firstRow > view->grid->lastFirstRow ? view->grid->lastFirstRow : firstRow;
    RevealSection(view->grid, current);
    MarkSection(view->grid, current);
    PaintOutline(view);
    UpdateOutlineScrollBar(view);
    return true;
}

// The grid draws through the host's own dc, not a paint dc, so nothing is
// clipped to the part that was invalid.
void PaintOutline(OutlineView* view) {
    if (view->grid && FontSpecChanged(view)) {
        RebuildOutline(view, view->grid->markedSection);  // paints itself
        return;
    }
    RECT rest = view->clientRect;
    if (PaintSectionGrid(view->grid, true) == 0) rest.left = view->grid->x + view->grid->width + MarkerReachPx(view);
    FillPage(view, rest);
}

void EraseOutline(OutlineView* view, HDC dc) {
    FillWithColour(dc, view->clientRect, CurrentPalette().page);
    InvalidateRect(view->window, &view->clientRect, FALSE);
}

void UpdateOutlineScrollBar(OutlineView* view) { SetOutlineScrollBar(view, true); }

bool OutlineKey(OutlineView* view, WPARAM key) {
    int delta = 0;
    switch (key) {
    case VK_PRIOR:
    case VK_UP: delta = -1; break;
    case VK_NEXT:
    case VK_DOWN: delta = 1; break;
    default: return false;
    }
    ScrollSectionGrid(view->grid, delta);
    UpdateOutlineScrollBar(view);
    return true;
}

void OutlineScroll(OutlineView* view, UINT message, WPARAM wParam, LPARAM lParam) {
    int delta = view->grid ? ScrollDelta(view->grid, LOWORD(wParam), (short)HIWORD(wParam)) : 0;
    if (delta) ScrollSectionGrid(view->grid, delta);
    DefWindowProcW(view->window, message, wParam, lParam);
    if (delta) UpdateOutlineScrollBar(view);
}

// Wheels that report in finer steps are summed until a notch is complete.
void OutlineWheel(OutlineView* view, WPARAM wParam) {
    view->wheelRemainder += GET_WHEEL_DELTA_WPARAM(wParam);
    int notches = view->wheelRemainder / WHEEL_DELTA;
    view->wheelRemainder -= notches * WHEEL_DELTA;
    if (notches && view->grid) {
        ScrollSectionGrid(view->grid, -notches);
        UpdateOutlineScrollBar(view);
    }
}

void OutlineTap(OutlineView* view, LPARAM lParam) {
    int result = HitTestSectionGrid(view->grid, (short)LOWORD(lParam), (short)HIWORD(lParam));
    if (result < 0) UpdateOutlineScrollBar(view);
    if (result > 0 && view->choose) view->choose((uint16_t)result);
}

void FoldOutlineHeading(OutlineView* view, int row, bool open) {
    SectionGrid* grid = view->grid;
    if (!grid || row < 0 || row >= grid->rowCount || !(grid->rows[row].id & kIndexHeadingBit)) return;
    if (((grid->rows[row].style & kIndexExpanded) != 0) == open) return;
    ToggleHeading(grid, row);
    UpdateOutlineScrollBar(view);
}

// A step within an opened branch only moves the mark: two links are drawn
// again, not the whole outline. Drawing a scroll bar costs several times
// the whole outline under Wine, so the bar is drawn with the next paint cycle.
void FollowOutlineSection(OutlineView* view, uint16_t section) {
    SectionGrid* grid = view->grid;
    if (!grid) return;
    uint16_t firstRow = grid->firstRow;
    uint16_t visibleRows = grid->visibleRows;
    uint16_t marked = grid->markedSection;
    RevealSection(grid, section);
    MarkSection(grid, section);
    if (grid->firstRow != firstRow || grid->visibleRows != visibleRows) {
        PaintOutline(view);
        SetOutlineScrollBar(view, false);
    } else if (grid->markedSection != marked) {
        RepaintSectionLinks(grid, marked);
        RepaintSectionLinks(grid, grid->markedSection);
    }
}

void ReleaseOutline(OutlineView* view) {
    UnlistOutline(view);
    ForgetOutline(view->window);
    DestroySectionGrid(view->grid, true);
    view->grid = nullptr;
}

void ListOutline(OutlineView* view) {
    for (OutlineView*& slot : gOpenOutlines)
        if (slot == view) return;
    for (OutlineView*& slot : gOpenOutlines) {
        if (slot) continue;
        slot = view;
        return;
    }
}

void UnlistOutline(OutlineView* view) {
    for (OutlineView*& slot : gOpenOutlines)
        if (slot == view) slot = nullptr;
}

void RefreshOutlines(uint16_t current) {
    for (OutlineView* view : gOpenOutlines)
        if (view && view->grid && !ProgramEnding()) RebuildOutline(view, current);
}

// Another book's index shares nothing with the old one, so no heading's
// open or closed state is carried over, and its readers' items are gone.
void ReloadOutlines(uint16_t current) {
    for (OutlineView* view : gOpenOutlines) {
        if (!view || !view->grid || ProgramEnding()) continue;
        ForgetOutline(view->window);
        DestroySectionGrid(view->grid, true);
        view->grid = nullptr;
        ReadOutlineRect(view);
        if (BuildOutline(view, current)) PaintOutline(view);
    }
}
