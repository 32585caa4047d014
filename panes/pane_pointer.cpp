#include "panes/pane_pointer.h"

#include <windowsx.h>

#include "app/app_state.h"
#include "panes/pane_paint.h"
#include "panes/pane_select.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"

namespace {

// At 96 DPI. A full-screen pane reaches the monitor's edge, where the pointer
// cannot go beyond it, so a band just inside each edge scrolls too.
const int kAutoScrollEdgePx = 6;
const int kAutoScrollStepPx = 24;  // past the band, one more row a tick for each of these

// A press in a pane, from the button going down until it comes up.
struct Press {
    TextPane* pane;     // null: no press of ours is held
    POINT at;
    bool onText;        // the press is over (or beside) a character
    uint16_t anchor;    // that character
    bool dragging;      // moved past the drag distance: it selects
    bool hadSelection;  // a release in place clears the selection instead of paging
    POINT pointer;      // where the pointer was last seen
    bool autoScrolling; // the scroll timer runs
};

// What the last click left for the clicks that may follow it.
struct ClickHistory {
    int count;          // 1 after a tap, 2 after a double click
    DWORD atMs;
    POINT at;
    bool turnedPage;    // the tap turned a page; a double click turns it back
    uint16_t mainRowBefore;
    uint16_t bottomRowBefore;
};

Press gPress;
ClickHistory gClicks;

TextPane* OtherPane(const TextPane* pane) { return pane == gApp.mainPane ? gSplit.bottomPane : gApp.mainPane; }

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool BeyondDistance(POINT from, POINT to, int cxMetric, int cyMetric) {
    int dx = to.x - from.x;
    int dy = to.y - from.y;
    return dx > GetSystemMetrics(cxMetric) || -dx > GetSystemMetrics(cxMetric) || dy > GetSystemMetrics(cyMetric) ||
           -dy > GetSystemMetrics(cyMetric);
}

bool IsThirdClick(POINT at) {
    return gClicks.count == 2 && GetTickCount() - gClicks.atMs <= GetDoubleClickTime() &&
           !BeyondDistance(gClicks.at, at, SM_CXDOUBLECLK, SM_CYDOUBLECLK);
}

void NoteClick(int count, POINT at) {
    gClicks.count = count;
    gClicks.atMs = GetTickCount();
    gClicks.at = at;
    gClicks.turnedPage = false;
}

void ClearPaneSelection(TextPane* pane) {
    if (!HasSelection(pane)) return;
    SelectedStretches before = ResolveSelection(pane);
    ClearSelection(pane);
    RepaintSelectionChange(pane, before, PaneGround(pane));
}

// A new selection in `pane` from its current one, the change drawn.
void ReplaceSelection(TextPane* pane, uint16_t anchor, uint16_t focus) {
    if (pane->hasSelection && pane->selectAnchor == anchor && pane->selectFocus == focus) return;
    SelectedStretches before = ResolveSelection(pane);
    SelectCharacters(pane, anchor, focus);
    RepaintSelectionChange(pane, before, PaneGround(pane));
}

void StopAutoScroll(HWND window) {
    KillTimer(window, kAutoScrollTimer);
    gPress.autoScrolling = false;
}

// Set once: setting the timer again would restart its count, and a pointer
// that keeps moving in the band would never see it fire.
void StartAutoScroll(HWND window) {
    if (gPress.autoScrolling) return;
    SetTimer(window, kAutoScrollTimer, kAutoScrollIntervalMs, nullptr);
    gPress.autoScrolling = true;
}

// How far into a pane the band that scrolls it reaches from each edge; never
// more than a quarter of a short pane.
int AutoScrollEdgePx(const TextPane* pane) {
    int edgePx = ScalePx(kAutoScrollEdgePx, pane->fontSpec.dpi);
    return edgePx < pane->height / 4 ? edgePx : pane->height / 4;
}

bool InScrollBand(const TextPane* pane, int y) {
    int edgePx = AutoScrollEdgePx(pane);
    return y < pane->top + edgePx || y >= pane->top + pane->height - edgePx;
}

void ExtendSelectionTo(TextPane* pane, POINT pointer) {
    uint16_t focus;
    if (CharacterAtPoint(pane, pointer.x, pointer.y, &focus)) ReplaceSelection(pane, gPress.anchor, focus);
}

void EndPress(HWND window) {
    gPress.pane = nullptr;
    StopAutoScroll(window);
    if (GetCapture() == window) ReleaseCapture();
}

// The tap of a press released in place: the page turns as a tap always did,
// and the rows it left are kept in case a double click follows.
void TapAt(HWND window, POINT at) {
    uint16_t mainBefore = gApp.mainPane->firstRow;
    uint16_t bottomBefore = gSplit.bottomPane ? gSplit.bottomPane->firstRow : 0;
    OnTap(window, MAKELPARAM(at.x, at.y));
    NoteClick(1, at);
    gClicks.mainRowBefore = mainBefore;
    gClicks.bottomRowBefore = bottomBefore;
    gClicks.turnedPage = gApp.mainPane->firstRow != mainBefore ||
                         (gSplit.bottomPane && gSplit.bottomPane->firstRow != bottomBefore);
}

// The first click of a double click meant the word, not the page.
void UndoTapPage(HWND window) {
    if (!gClicks.turnedPage) return;
    gClicks.turnedPage = false;
    gApp.mainPane->firstRow = gClicks.mainRowBefore;
    if (gSplit.bottomPane) gSplit.bottomPane->firstRow = gClicks.bottomRowBefore;
    RepaintView(window, kRepaintAll);
}

}  // namespace

bool ClearPaneSelections() {
    bool any = HasSelection(gApp.mainPane) || HasSelection(gSplit.bottomPane);
    ClearPaneSelection(gApp.mainPane);
    ClearPaneSelection(gSplit.bottomPane);
    return any;
}

TextPane* PaneToCopy() {
    // Only one pane holds a selection: making one clears the other's.
    if (BottomPaneShown() && HasSelection(gSplit.bottomPane)) return gSplit.bottomPane;
    if (HasSelection(gApp.mainPane)) return gApp.mainPane;
    return gSplit.activePane ? gSplit.activePane : gApp.mainPane;
}

void SelectAllInActivePane() {
    TextPane* pane = gSplit.activePane ? gSplit.activePane : gApp.mainPane;
    if (!pane || ProgramEnding()) return;
    ClearPaneSelection(OtherPane(pane));
    SelectedStretches before = ResolveSelection(pane);
    if (SelectAllText(pane)) RepaintSelectionChange(pane, before, PaneGround(pane));
}

void OnPointerDown(HWND window, LPARAM lParam) {
    POINT at = PointOf(lParam);
    gPress.pane = nullptr;
    TextPane* pane = gApp.mainPane ? PaneAtPoint(at.x, at.y) : nullptr;
    if (!pane) return;
    SetActivePane(pane);
    uint16_t offset;
    if (IsThirdClick(at)) {
        gClicks.count = 0;
        if (CharacterAtPoint(pane, at.x, at.y, &offset)) {
            ClearPaneSelection(OtherPane(pane));
            SelectedStretches before = ResolveSelection(pane);
            if (SelectParagraphAt(pane, offset)) RepaintSelectionChange(pane, before, PaneGround(pane));
        }
        return;
    }
    gClicks.turnedPage = false;  // a quick click after this press is no double click of an older tap
    gPress.pane = pane;
    gPress.at = at;
    gPress.pointer = at;
    gPress.dragging = false;
    gPress.hadSelection = HasSelection(gApp.mainPane) || HasSelection(gSplit.bottomPane);
    gPress.onText = CharacterAtPoint(pane, at.x, at.y, &gPress.anchor);
    SetCapture(window);  // the moves and the release reach us beyond the window too
}

void OnPointerMove(HWND window, WPARAM wParam, LPARAM lParam) {
    TextPane* pane = gPress.pane;
    if (!pane) return;
    if (!(wParam & MK_LBUTTON)) {  // the release went elsewhere
        EndPress(window);
        return;
    }
    POINT pointer = PointOf(lParam);
    gPress.pointer = pointer;
    if (!gPress.dragging) {
        if (!gPress.onText || !BeyondDistance(gPress.at, pointer, SM_CXDRAG, SM_CYDRAG)) return;
        gPress.dragging = true;
        ClearPaneSelection(OtherPane(pane));
    }
    ExtendSelectionTo(pane, pointer);
    if (InScrollBand(pane, pointer.y)) StartAutoScroll(window);
    else StopAutoScroll(window);
}

void OnPointerUp(HWND window, LPARAM lParam) {
    (void)lParam;
    if (!gPress.pane) return;
    Press press = gPress;
    EndPress(window);
    if (press.dragging || ProgramEnding()) return;
    if (press.hadSelection) {
        ClearPaneSelections();
        NoteClick(1, press.at);
        return;
    }
    TapAt(window, press.at);
}

void OnPointerDoubleClick(HWND window, LPARAM lParam) {
    POINT at = PointOf(lParam);
    gPress.pane = nullptr;
    TextPane* pane = gApp.mainPane ? PaneAtPoint(at.x, at.y) : nullptr;
    if (!pane || ProgramEnding()) return;
    UndoTapPage(window);
    SetActivePane(pane);
    NoteClick(2, at);
    uint16_t offset;
    if (!CharacterAtPoint(pane, at.x, at.y, &offset)) return;
    ClearPaneSelection(OtherPane(pane));
    SelectedStretches before = ResolveSelection(pane);
    if (SelectWordAt(pane, offset)) RepaintSelectionChange(pane, before, PaneGround(pane));
}

void ForgetPointerPress(HWND window) {
    if (!gPress.pane) return;
    gPress.pane = nullptr;
    StopAutoScroll(window);
}

void OnPointerCaptureLost(HWND window) {
    if (gPress.pane && GetCapture() != window) {
        gPress.pane = nullptr;
        StopAutoScroll(window);
    }
}

bool OnPointerTimer(HWND window, WPARAM timerId) {
    if (timerId != kAutoScrollTimer) return false;
    TextPane* pane = gPress.pane;
    if (!pane || !gPress.dragging || ProgramEnding() || !InScrollBand(pane, gPress.pointer.y)) {
        StopAutoScroll(window);
        return true;
    }
    int edgePx = AutoScrollEdgePx(pane);
    int bandTop = pane->top + edgePx;
    int bandBottom = pane->top + pane->height - edgePx;
    bool above = gPress.pointer.y < bandTop;
    int beyondPx = above ? bandTop - gPress.pointer.y : gPress.pointer.y - bandBottom;
    int rows = 1 + beyondPx / ScalePx(kAutoScrollStepPx, pane->fontSpec.dpi);
    if (ScrollPane(pane, above ? -rows : rows, 0) == kScrollUnchanged) return true;
    uint16_t focus;
    if (CharacterAtPoint(pane, gPress.pointer.x, gPress.pointer.y, &focus))
        SelectCharacters(pane, gPress.anchor, focus);
    RepaintPane(window, pane);
    UpdateScrollBar(gSplit.activeScrollBar);
    return true;
}
