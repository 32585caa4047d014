#include "navigation/section_chooser.h"

#include <string.h>

#include "accessibility/outline_access.h"
#include "content/section_store.h"
#include "navigation/index_records.h"
#include "navigation/section_grid.h"
#include "navigation/section_outline.h"
#include "panes/theme.h"
#include "platform/dialog_shell.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"

namespace {

// One chooser at a time: the dialog is modal.
struct ChooserState {
    uint16_t chosenSection;
    HWND dialog;
    HDC dc;
    RECT clientRect;  // less the OK button's strip; the grid leaves room at its right
    SectionGrid* grid;
    const FontSpec* fontSpec;
    int wheelRemainder;  // wheel movement short of a whole notch
};
ChooserState gChooser;

const int kGridInitialCapacity = 100;
const DWORD kFullScreenDialogFlags =
    SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_FULLSCREENNOMENUBAR;  // 30
const int kCommandOk = 1;
const int kCommandCancel = 2;
const int kHandled = 1;

void ReadClientRect() {
    GetDialogClientRect(gChooser.dialog, &gChooser.clientRect);
}

// The scroll bar's width at the dialog's resolution.
int ScrollBarPx() { return SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(gChooser.dialog)); }

// The markers' reach at the resolution the outline is drawn at.
int MarkerReachPx() { return GridMarkerReachPx(gChooser.fontSpec ? gChooser.fontSpec->dpi : 0); }

// Room right of the grid for the markers of indent 0: a scroll bar's width,
// as the handheld leaves, and never less than a marker needs.
int MarkerRoomPx() {
    int scrollBarPx = ScrollBarPx();
    return scrollBarPx > MarkerReachPx() ? scrollBarPx : MarkerReachPx();
}

// The grid's width as if the scroll bar showed, whether it does or not: a
// fold that hides or shows the bar then lays the outline out again at the
// same width, and nothing moves sideways.
int GridWidthPx(int clientWidthPx) {
    bool barShown = (GetWindowLongPtrW(gChooser.dialog, GWL_STYLE) & WS_VSCROLL) != 0;
    return clientWidthPx - (barShown ? 0 : ScrollBarPx()) - MarkerRoomPx();
}

RECT GridRect() {
    RECT rect = gChooser.clientRect;
    rect.right = rect.left + GridWidthPx(rect.right - rect.left);
    return rect;
}

void FillPage(const RECT& rect) {
    if (rect.right > rect.left && rect.bottom > rect.top) FillWithColour(gChooser.dc, rect, CurrentPalette().page);
}

// Every pixel, every time: the grid with the room for its markers, then
// the page right of them, or the page throughout when there is no outline.
// The grid draws through the dialog's own dc, not a paint dc, so nothing is
// clipped to the part that was invalid.
void PaintChooser() {
    RECT rest = gChooser.clientRect;
    if (PaintSectionGrid(gChooser.grid, true) == 0)
        rest.left = gChooser.grid->x + gChooser.grid->width + MarkerReachPx();
    FillPage(rest);
}

// Memory ran out and the program is on its way out: close at once, choosing nothing.
void EndOutOfMemory() {
    gChooser.chosenSection = 0;
    EndDialog(gChooser.dialog, kCommandCancel);
}

// The delta of a WM_VSCROLL code. Bottom moves one row, like line down.
int ScrollDelta(WORD code, short thumbPosition) {
    SectionGrid* grid = gChooser.grid;
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

// ---- Message handlers --------------------------------------------------------

// The dialog takes its full size first, so that the outline is laid out once
// for the size it shows at rather than again at once for it.
INT_PTR OnInitDialog(HWND dialog) {
    gChooser.dialog = dialog;
    gChooser.dc = GetDC(dialog);
    InitFullScreenDialog(dialog, kFullScreenDialogFlags, gShell.fullScreen);
    ReadClientRect();
    if (!BuildChooserGrid()) EndOutOfMemory();
    return 0;
}

INT_PTR OnSize(LPARAM lParam) {
    SectionGrid* grid = gChooser.grid;
    if (!grid) return 0;
    ReadClientRect();
    uint16_t* expansion = SaveExpansion(grid);
    int result = ResizeSectionGrid(grid, GridWidthPx(LOWORD(lParam)), HIWORD(lParam));
    RestoreExpansion(grid, expansion);
    PlatformFree(expansion);
    if (result == kGridNoMemory) {
        EndOutOfMemory();
        return 0;
    }
    if (grid->firstRow > grid->lastFirstRow) grid->firstRow = grid->lastFirstRow;
    PaintChooser();
    UpdateChooserScrollBar();
    return 0;
}

INT_PTR OnPaint() {
    PaintChooser();
    return 0;  // the default handling validates the window
}

INT_PTR OnEraseBackground(HDC dc) {
    FillWithColour(dc, gChooser.clientRect, CurrentPalette().page);
    InvalidateRect(gChooser.dialog, &gChooser.clientRect, FALSE);
    return kHandled;
}

INT_PTR OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_ACTIVE && gShell.taskBarWindow) ShowWindow(gShell.taskBarWindow, SW_HIDE);
    return 0;
}

// Page Up and Page Down move one row, like the arrows.
INT_PTR OnKeyDown(WPARAM key) {
    int delta = 0;
    switch (key) {
    case VK_PRIOR:
    case VK_UP: delta = -1; break;
    case VK_NEXT:
    case VK_DOWN: delta = 1; break;
    default: return kHandled;
    }
    ScrollSectionGrid(gChooser.grid, delta);
    UpdateChooserScrollBar();
    return 0;
}

INT_PTR OnCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case kCommandOk:
        EndDialog(gChooser.dialog, kCommandOk);
        return kHandled;
    case kCommandCancel:
        gChooser.chosenSection = 0;
        EndDialog(gChooser.dialog, kCommandCancel);
        return kHandled;
    default: return 0;
    }
}

INT_PTR OnVScroll(UINT message, WPARAM wParam, LPARAM lParam) {
    int delta = gChooser.grid ? ScrollDelta(LOWORD(wParam), (short)HIWORD(wParam)) : 0;
    if (delta) ScrollSectionGrid(gChooser.grid, delta);
    DefWindowProcW(gChooser.dialog, message, wParam, lParam);
    if (delta) UpdateChooserScrollBar();
    return kHandled;
}

// One row per notch; the wheel turned away from the user moves up. Wheels
// that report in finer steps are summed until a notch is complete.
INT_PTR OnMouseWheel(WPARAM wParam) {
    gChooser.wheelRemainder += GET_WHEEL_DELTA_WPARAM(wParam);
    int notches = gChooser.wheelRemainder / WHEEL_DELTA;
    gChooser.wheelRemainder -= notches * WHEEL_DELTA;
    if (notches && gChooser.grid) {
        ScrollSectionGrid(gChooser.grid, -notches);
        UpdateChooserScrollBar();
    }
    return kHandled;
}

INT_PTR OnTap(LPARAM lParam) {
    int result = HitTestSectionGrid(gChooser.grid, (short)LOWORD(lParam), (short)HIWORD(lParam));
    if (result > 0) {
        gChooser.chosenSection = (uint16_t)result;
        EndDialog(gChooser.dialog, kCommandOk);
    } else if (result < 0) {
        UpdateChooserScrollBar();
    }
    return 0;
}

// The outline to screen readers; a dialog's answer goes in its result slot.
INT_PTR OnGetObject(HWND dialog, WPARAM wParam, LPARAM lParam) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, AnswerOutlineObject(dialog, gChooser.grid, wParam, lParam));
    return kHandled;
}

INT_PTR OnDestroy() {
    ForgetOutline(gChooser.dialog);
    if (gChooser.dc) ReleaseDC(gChooser.dialog, gChooser.dc);
    gChooser.dc = nullptr;
    DestroySectionGrid(gChooser.grid, true);
    gChooser.grid = nullptr;
    return 0;
}

}  // namespace

uint16_t ChooseSection(HINSTANCE instance, HWND owner, uint16_t currentSection, const FontSpec* fontSpec) {
    // A command that reaches the main window while the chooser is open (one
    // posted by another program) must not start a second one over its state.
    if (gChooser.dialog && IsWindow(gChooser.dialog)) return currentSection;
    memset(&gChooser, 0, sizeof gChooser);
    gChooser.fontSpec = fontSpec;
    gChooser.chosenSection = currentSection;
    RunDialogTemplate(instance, kChooseSectionDialog, owner, ChooserDlgProc, 0);
    gChooser.dialog = nullptr;
    return gChooser.chosenSection;
}

bool BuildChooserGrid() {
    uint32_t indexBytes = 0;
    uint8_t* index = LoadSectionTextWithLength(kIndexSectionNumber, &indexBytes, nullptr);
    IndexText text = PrependBookmarkGroup(gApp.bookmarks, gApp.bookmarkCount, IndexText{index, index ? indexBytes : 0});
    RECT gridRect = GridRect();
    gChooser.grid = CreateSectionGrid(gChooser.dc, &gridRect, gChooser.fontSpec, kGridInitialCapacity);
    if (!gChooser.grid) {
        PlatformFree(text.bytes);
        return false;
    }
    // The grid owns the text from here, unless it refuses it.
    int result = LayoutIndex(gChooser.grid, text, false);
    if (result == kGridRefused) PlatformFree(text.bytes);
    if (result == kGridNoMemory) return false;
    RevealSection(gChooser.grid, gChooser.chosenSection);
    MarkSection(gChooser.grid, gChooser.chosenSection);
    UpdateChooserScrollBar();
    return true;
}

void UpdateChooserScrollBar() {
    if (!gChooser.grid) return;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMin = 0;
    info.nMax = gChooser.grid->lastFirstRow;
    info.nPos = gChooser.grid->firstRow;
    SetScrollInfo(gChooser.dialog, SB_VERT, &info, TRUE);
    NoteOutlineMoved(gChooser.dialog);  // every scroll and toggle comes here
}

const SectionGrid* OpenChooserGrid() { return gChooser.dialog ? gChooser.grid : nullptr; }

INT_PTR CALLBACK ChooserDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Memory ran out somewhere: the program is on its way out, and the
    // chooser closes at the next message without choosing or drawing.
    if (ProgramEnding() && message != WM_DESTROY && message != WM_INITDIALOG) {
        EndOutOfMemory();
        return 0;
    }
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_SIZE: return OnSize(lParam);
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: return OnEraseBackground((HDC)wParam);
    case WM_ACTIVATE: return OnActivate(wParam);
    case WM_KEYDOWN: return OnKeyDown(wParam);
    case WM_COMMAND: return OnCommand(wParam);
    case WM_VSCROLL: return OnVScroll(message, wParam, lParam);
    case WM_MOUSEWHEEL: return OnMouseWheel(wParam);
    case WM_LBUTTONDOWN: return OnTap(lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_GETOBJECT: return OnGetObject(dialog, wParam, lParam);
    default: return 0;
    }
}
