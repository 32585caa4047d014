#include "panes/split_view.h"

#include <windowsx.h>

#include <initializer_list>

#include "app/app_state.h"
#include "content/section_store.h"
#include "panes/pane_paint.h"
#include "panes/pane_watch.h"
#include "panes/status_line.h"
#include "panes/text_layout.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/desktop.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const DWORD kScrollBarStyle = WS_CHILD | WS_VISIBLE | SBS_VERT | SBS_LEFTALIGN;  // 0x50000003
const int kPaneLineCapacity = 100;
const UINT kMarelFirstCommand = 401;  // the range the radio mark is put in
const UINT kMarelLastCommand = 434;
const int kRepaintBottomScrollBar = kRepaintMain | kRepaintBottom;          // 3
const int kRepaintMainScrollBar = kRepaintEraseMain | kRepaintMain;         // 257
const int kSeparatorBelowPx = 2;  // the light area starts 2 px above bottomRect.top
const int kSeparatorPx = 1;       // the red line above it
const int kMainPaneGapPx = 2;     // between the main pane and the bottom area
const int kBottomPaneGapPx = 1;
const int kDividerReachPx = 4;    // how far above and below the line a drag may start
const int kAccentPx = 3;          // the active pane's mark
const int kShareScale = 10000;    // shares are kept in hundredths of a percent
const int kMinSharePercent = 5;
const int kMaxSharePercent = 95;

HDC gSharedDc = nullptr;  // the main window's dc, taken at creation for both panes
// While the divider is dragged: where on it the pointer took hold.
bool gDragging = false;
int gDragGrabPx = 0;
// Wheel turns finer than a notch add up here, for the pane they were turned over.
int gWheelRemainder = 0;
bool gWheelOnBottom = false;

int GutterPx() { return ScalePx(gApp.gutter, ReaderDpi()); }
int ScrollBarPx() { return ScrollBarWidth(ReaderDpi()); }

void ShowResourceNotFound(HWND window) {
    ShowMessageBox(window, L"Resource not found", L"Error", MB_ICONEXCLAMATION);
}

HWND CreateScrollBar(HWND window, const wchar_t* text) {
    return CreateWindowExW(0, L"SCROLLBAR", text, kScrollBarStyle, gSplit.bottomRect.right, gSplit.bottomRect.top,
                           CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, gApp.instance, nullptr);
}

// The client area less the menu bar, the outline panel and the gutter.
RECT PaneArea(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    rect.right -= gSplit.outlinePanelPx;
    if (gApp.menuBarOnBottom) rect.bottom -= gApp.menuBarHeight;
    else rect.top += gApp.menuBarHeight;
    rect.bottom -= StatusLineHeightPx();
    int g = GutterPx();
    if (rect.bottom - rect.top > 2 * g) {
        rect.top += g;
        rect.bottom -= 2 * g;
    }
    if (rect.right - rect.left > 2 * g) {
        rect.left += g;
        rect.right -= 2 * g;
    }
    return rect;
}

// A stored first row past the end of the section shows its last rows instead.
uint16_t UsableFirstRow(const TextPane* pane, uint16_t firstRow) {
    if (pane->rowCount == 0) return 0;
    return firstRow < pane->rowCount ? firstRow : (uint16_t)(pane->rowCount - 1);
}

void MoveScrollBars(int upperPx, int lowerPx) {
    int g = GutterPx();
    int s = ScrollBarPx();
    int gapPx = ScalePx(kMainPaneGapPx, ReaderDpi());
    MoveWindow(gSplit.mainScrollBar, gSplit.bottomRect.right + g, gApp.mainPane->top - g - gapPx, s, upperPx + g, TRUE);
    if (!gSplit.bottomPane) return;
    MoveWindow(gSplit.bottomScrollBar, gSplit.bottomRect.right + g, gSplit.bottomRect.top - gapPx, s,
               gSplit.bottomPane->height + g + gapPx, TRUE);
    // Without a lower pane its bar lies below the main pane, where the
    // desktop menu bar is; it is hidden rather than drawn over the bar.
    ShowWindow(gSplit.bottomScrollBar, lowerPx > 0 ? SW_SHOWNA : SW_HIDE);
}

uint8_t ViewColumnMode() { return kColumnMargins | (gView.readingColumn ? kColumnMeasure : 0); }

int AccentWidthPx() { return ScalePx(kAccentPx, ReaderDpi()); }

// The available height of the split: the client less the gutter, the bar and
// the status line.
int SplitHeight() {
    int h = gSplit.lastClientHeight;
    int g = GutterPx();
    if (h > 2 * g) h -= 2 * g;
    return h - gApp.menuBarHeight - StatusLineHeightPx();
}

// The separator line, just above the light area of the lower pane.
int DividerY() {
    int dpi = ReaderDpi();
    return gSplit.bottomRect.top - ScalePx(kSeparatorBelowPx, dpi) - ScalePx(kSeparatorPx, dpi);
}

// Puts the lower pane's share where the divider line is to stand at `lineY`.
bool ShareFromDividerY(int lineY, int* share) {
    int available = SplitHeight();
    if (!gApp.mainPane || available <= 0) return false;
    int dpi = ReaderDpi();
    int upper = lineY - gApp.mainPane->top - ScalePx(kBottomPaneGapPx, dpi) + ScalePx(kSeparatorBelowPx, dpi) +
                ScalePx(kSeparatorPx, dpi);
    int64_t lower = (int64_t)available - upper;
    int64_t wanted = (lower * kShareScale + available / 2) / available;
    if (wanted < kMinSharePercent * 100) wanted = kMinSharePercent * 100;
    if (wanted > kMaxSharePercent * 100) wanted = kMaxSharePercent * 100;
    *share = (int)wanted;
    return true;
}

// Whether a bar's thumb stands where it stood: its position is the same share
// of a range that is empty, or not, in both. With no page size the thumb's
// length never changes, so the bar looks the same (a new section at its top).
bool ThumbStaysPut(const SCROLLINFO& before, const SCROLLINFO& after) {
    int64_t rangeBefore = (int64_t)before.nMax - before.nMin;
    int64_t rangeAfter = (int64_t)after.nMax - after.nMin;
    if ((rangeBefore > 0) != (rangeAfter > 0)) return false;
    if (rangeBefore <= 0) return true;
    return ((int64_t)before.nPos - before.nMin) * rangeAfter == ((int64_t)after.nPos - after.nMin) * rangeBefore;
}

// A child shown in its window (the lower pane's bar is hidden without that pane).
bool PointInChild(HWND child, POINT screenPoint) {
    RECT rect;
    bool shown = child && (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE);
    return shown && GetWindowRect(child, &rect) && PtInRect(&rect, screenPoint);
}

// The pane under a point of the screen: a pane or its scroll bar.
TextPane* PaneAtScreenPoint(HWND window, POINT screenPoint) {
    POINT client = screenPoint;
    ScreenToClient(window, &client);
    if (HitPane(gApp.mainPane, client.x, client.y)) return gApp.mainPane;
    if (BottomPaneShown() && HitPane(gSplit.bottomPane, client.x, client.y)) return gSplit.bottomPane;
    if (PointInChild(gSplit.mainScrollBar, screenPoint)) return gApp.mainPane;
    if (PointInChild(gSplit.bottomScrollBar, screenPoint)) return gSplit.bottomPane;
    return gSplit.activePane ? gSplit.activePane : gApp.mainPane;
}

// Rows to scroll, negative towards the top, for a wheel turn of `wheelDelta`:
// WHEEL_DELTA a notch, positive when turned away from the user, which moves up.
int WheelRows(const TextPane* pane, bool onBottom, int wheelDelta) {
    int rowsPerNotch = WheelScrollRows();
    if (rowsPerNotch == kWheelScrollsPage) rowsPerNotch = PageRows(pane->rowsDrawn, 0);
    bool reversed = (gWheelRemainder < 0 && wheelDelta > 0) || (gWheelRemainder > 0 && wheelDelta < 0);
    if (onBottom != gWheelOnBottom || reversed) gWheelRemainder = 0;
    gWheelOnBottom = onBottom;
    gWheelRemainder += wheelDelta * rowsPerNotch;
    int rows = gWheelRemainder / WHEEL_DELTA;
    gWheelRemainder -= rows * WHEEL_DELTA;
    return -rows;
}

}  // namespace

bool BottomPaneShown() { return gSplit.bottomPane && BottomPaneHeight(gSplit.lastClientHeight) > 0; }

bool IsBottomSectionCode(int code) {
    return code == kBottomSectionNone || code == 12 || code == 13 || code == 14 || code == 23 || code == 34;
}

void MarkBottomSectionItem() {
    HMENU menu = MenuOfBarButton(kMarelButtonCommand);
    if (!menu) return;
    if (!gSplit.bottomShare) {
        CheckMenuRadioItem(menu, kMarelFirstCommand, kMarelLastCommand,
                           kBottomSectionCommandBase + gSplit.bottomSection, MF_BYCOMMAND);
        return;
    }
    // A dragged share is none of the fractions.
    for (int code : {1, 12, 13, 14, 23, 34})
        CheckMenuItem(menu, kBottomSectionCommandBase + code, MF_BYCOMMAND | MF_UNCHECKED);
}

int CodeSharePercent(int code) {
    int denominator = code % 10;
    return denominator ? 100 * (code / 10) / denominator : 0;
}

int BottomSharePercent() {
    if (gSplit.bottomShare) return (gSplit.bottomShare + 50) / 100;
    return CodeSharePercent(gSplit.bottomSection);
}

void UseStoredSharePercent(int percent) {
    bool usable = percent >= kMinSharePercent && percent <= kMaxSharePercent;
    // The share of the stored fraction itself is that fraction, marked as such.
    gSplit.bottomShare = usable && percent != CodeSharePercent(gSplit.bottomSection) ? percent * 100 : 0;
}

int CreatePanes(HWND window) {
    gSharedDc = GetDC(window);
    RECT rect = PaneArea(window);
    CreateBottomPane(window, gSharedDc, &rect);
    gApp.mainPane = CreateTextPane(gSharedDc, &rect, &gApp.font, kPaneLineCapacity);
    if (!gApp.mainPane) return 1;
    gApp.mainPane->columnMode = ViewColumnMode();
    gApp.mainPane->accentPx = AccentWidthPx();
    uint8_t* text = LoadSectionText(gApp.lesson, nullptr);
    if (!text) {
        ShowResourceNotFound(window);
        return 0;
    }
    // Handed over like every later section: a text the layout refuses is
    // freed by it rather than left with nobody.
    LayoutSection(gApp.mainPane, text, 1);
    LoadBottomSection(window);
    RestoreSavedRows();
    return 0;
}

void DestroyPanes() {
    DestroyTextPane(gApp.mainPane);
    gApp.mainPane = nullptr;
    DestroyTextPane(gSplit.bottomPane);
    gSplit.bottomPane = nullptr;
    gSplit.activePane = nullptr;
}

void ReleaseSharedDc(HWND window) {
    if (gSharedDc) ReleaseDC(window, gSharedDc);
    gSharedDc = nullptr;
}

void CreateBottomPane(HWND window, HDC dc, const RECT* rect) {
    gSplit.bottomRect.left = rect->left;
    gSplit.bottomRect.right = rect->right;
    MarkBottomSectionItem();
    gSplit.bottomPane = CreateTextPane(dc, &gSplit.bottomRect, &gApp.font, kPaneLineCapacity);
    if (!gSplit.bottomPane) return;
    gSplit.bottomPane->columnMode = ViewColumnMode();
    gSplit.bottomScrollBar = CreateScrollBar(window, L"Top");
    gSplit.mainScrollBar = CreateScrollBar(window, L"Bottom");
    gSplit.activeScrollBar = gSplit.mainScrollBar;
}

int LoadBottomSection(HWND window) {
    if (ProgramEnding()) return 0;
    uint8_t* text = LoadSectionText(gApp.lesson + 1, nullptr);
    if (!text) {
        ShowResourceNotFound(window);
        return 0;
    }
    if (!gSplit.bottomPane) {
        PlatformFree(text);
        return 0;
    }
    LayoutSection(gSplit.bottomPane, text, 1);  // the pane owns the text from here
    gSplit.bottomPane->firstRow = 0;
    return 0;
}

bool CommentaryHidden() { return gSplit.bottomSection < kFirstShownBottomCode; }

int BottomPaneHeight(int availableHeight) {
    if (CommentaryHidden()) return 0;
    // Rounded, so that the share a drag gave puts the line back where it was let go.
    if (gSplit.bottomShare > 0)
        return (int)(((int64_t)availableHeight * gSplit.bottomShare + kShareScale / 2) / kShareScale);
    int numerator = gSplit.bottomSection / 10;
    int denominator = gSplit.bottomSection % 10;
    if (denominator == 0) return 0;  // never one of the size codes
    return availableHeight * numerator / denominator;
}

void LayoutSplit(int* width, int* height) {
    int g = GutterPx();
    int s = ScrollBarPx();
    int available = *height;
    int lower = BottomPaneHeight(available);
    int upper = available - lower;
    *width = *width - s;
    *height = upper - ScalePx(kMainPaneGapPx, ReaderDpi());
    gSplit.bottomRect.right = gSplit.bottomRect.left + *width;
    gSplit.bottomRect.bottom = gApp.mainPane->top + available - g;
    gSplit.bottomRect.top = gApp.mainPane->top + upper + ScalePx(kBottomPaneGapPx, ReaderDpi());
    if (gSplit.bottomPane) {
        gSplit.bottomPane->top = gSplit.bottomRect.top + g / 2;
        ResizeTextPane(gSplit.bottomPane, *width, lower - ScalePx(kBottomPaneGapPx, ReaderDpi()));
    }
    MoveScrollBars(upper, lower);
}

void OnSize(HWND window, LPARAM size) {
    int w;
    int h;
    if (size == kRelayoutMarker) {
        w = gSplit.lastClientWidth;
        h = gSplit.lastClientHeight;
    } else {
        w = LOWORD(size);
        h = HIWORD(size);
        gSplit.lastClientWidth = w;
        gSplit.lastClientHeight = h;
    }
    if (ProgramEnding()) return;
    // The outline panel at the right edge leaves the rest of the width to the panes.
    w = w > gSplit.outlinePanelPx ? w - gSplit.outlinePanelPx : 0;
    int g = GutterPx();
    int topPx = (h > 2 * g ? g : 0) + (gApp.menuBarOnBottom ? 0 : gApp.menuBarHeight);
    if (w > 2 * g) w -= 2 * g;
    if (h > 2 * g) h -= 2 * g;
    TextPane* pane = gApp.mainPane;
    if (!pane) return;
    // The bar above the panes comes and goes with full screen.
    pane->top = topPx;
    int available = h - gApp.menuBarHeight - StatusLineHeightPx();
    LayoutSplit(&w, &available);
    ResizeTextPane(gApp.mainPane, w, available);
    UpdateScrollBars();
}

void PaintView(HDC dc, HWND window, int flags) {
    PAINTSTRUCT paint;
    bool begun = dc == nullptr;
    // Begun even when nothing may draw, so that the window counts as painted.
    if (begun) dc = BeginPaint(window, &paint);
    if (!ProgramEnding()) {
        if ((flags & kRepaintMain) && gApp.mainPane) PaintPane(gApp.mainPane, (flags & kRepaintEraseMain) != 0);
        // A scroll or a step changes the line, if at all, through the scroll
        // bars' update after it; only a whole repaint draws it regardless.
        if (flags == kRepaintAll && gApp.mainPane) PaintStatusLine();
        if (flags & kRepaintBottom) PaintBottomArea(dc);
    }
    if (begun) EndPaint(window, &paint);
}

void RepaintView(HWND window, int flags) {
    if (ProgramEnding()) return;
    if (!window) window = gApp.mainWindow;
    HDC dc = GetDC(window);
    PaintView(dc, window, flags);
    ReleaseDC(window, dc);
    UpdateScrollBars();
}

namespace {

// The commentary's light ground: the lower pane with its gutters.
RECT BottomGround() {
    int g = GutterPx();
    int belowPx = ScalePx(kSeparatorBelowPx, ReaderDpi());
    const RECT& area = gSplit.bottomRect;
    return RECT{area.left - g, area.top - belowPx, area.right + g, area.bottom + 2 * g};
}

}  // namespace

void ExcludeViewGrounds(HDC dc) {
    if (ProgramEnding()) return;
    const TextPane* pane = gApp.mainPane;
    if (PaneCanPaint(pane)) ExcludeClipRect(dc, pane->left, pane->top, pane->left + pane->width, pane->top + pane->height);
    RECT ground = BottomGround();
    if (ground.right > ground.left && ground.bottom > ground.top)
        ExcludeClipRect(dc, ground.left, ground.top, ground.right, ground.bottom);
}

void PaintBottomArea(HDC dc) {
    if (ProgramEnding()) return;
    int g = GutterPx();
    int s = ScrollBarPx();
    int belowPx = ScalePx(kSeparatorBelowPx, ReaderDpi());
    const RECT& area = gSplit.bottomRect;
    const Palette& palette = CurrentPalette();
    FillWithColour(dc, BottomGround(), palette.commentary);
    // One pixel high at 96 DPI, reaching across the scroll-bar column.
    int linePx = ScalePx(kSeparatorPx, ReaderDpi());
    RECT line = {area.left - g, area.top - belowPx - linePx, area.right + s + g, area.top - belowPx};
    FillWithColour(dc, line, palette.separator);
    TextPane* pane = gSplit.bottomPane;
    if (!pane) return;
    int oldMode = SetBkMode(pane->dc, TRANSPARENT);
    PaintPane(pane, 0);
    SetBkMode(pane->dc, oldMode);
}

void ActivateMainPane() { SetActivePane(gApp.mainPane); }

void SetActivePane(TextPane* pane) {
    bool bottom = pane && pane == gSplit.bottomPane;
    TextPane* before = gSplit.activePane ? gSplit.activePane : gApp.mainPane;
    gSplit.activePane = bottom ? pane : gApp.mainPane;
    gSplit.activeScrollBar = bottom ? gSplit.bottomScrollBar : gSplit.mainScrollBar;
    TextPane* main = gApp.mainPane;
    TextPane* lower = gSplit.bottomPane;
    if (!main) return;
    if (gSplit.activePane != before) NotePaneActivated(gSplit.activePane);
    int accentPx = AccentWidthPx();
    int mainAccent = bottom ? 0 : accentPx;
    int lowerAccent = bottom ? accentPx : 0;
    if (main->accentPx == mainAccent && (!lower || lower->accentPx == lowerAccent)) return;
    main->accentPx = mainAccent;
    if (lower) lower->accentPx = lowerAccent;
    RepaintView(gApp.mainWindow, kRepaintAll);
}

void ApplyViewOptions(HWND window) {
    uint8_t mode = ViewColumnMode();
    for (TextPane* pane : {gApp.mainPane, gSplit.bottomPane}) {
        if (!pane || pane->columnMode == mode) continue;
        pane->columnMode = mode;
        KeepReadingPlace(pane);
    }
    UpdateScrollBars();
    InvalidateRect(window, nullptr, TRUE);
}

TextPane* PaneAtPoint(int x, int y) {
    if (HitPane(gApp.mainPane, x, y)) return gApp.mainPane;
    if (BottomPaneShown() && HitPane(gSplit.bottomPane, x, y)) return gSplit.bottomPane;
    return nullptr;
}

COLORREF PaneGround(const TextPane* pane) {
    const Palette& palette = CurrentPalette();
    return pane && pane == gSplit.bottomPane ? palette.commentary : palette.page;
}

void RepaintPane(HWND window, const TextPane* pane) {
    if (!pane) return;
    RepaintView(window, pane == gSplit.bottomPane ? kRepaintBottom : kRepaintMainScrollBar);
}

namespace {

void UpdateBarOfPane(HWND scrollBar, const TextPane* pane) {
    // The status line's percentage follows the main pane as its bar does,
    // whatever the flags say of the bars.
    if (pane == gApp.mainPane) RefreshStatusLine();
    if (!(gApp.flags & kFlagScrollBarUpdates)) return;
    if (!pane || !scrollBar) return;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS;
    SCROLLINFO current = info;
    info.nMin = 0;
    info.nMax = pane->lastFirstRow;
    info.nPage = 0;
    info.nPos = pane->firstRow;
    bool known = GetScrollInfo(scrollBar, SB_CTL, &current) != FALSE;
    if (known && current.nMin == info.nMin && current.nMax == info.nMax && current.nPos == info.nPos) return;
    // Drawing a scroll bar costs several times a whole pane under Wine: it is
    // redrawn with the next paint cycle, and only when its thumb moves.
    SendMessageW(scrollBar, SBM_SETSCROLLINFO, FALSE, (LPARAM)&info);
    if (!known || !ThumbStaysPut(current, info)) InvalidateRect(scrollBar, nullptr, TRUE);
}

}  // namespace

void UpdateScrollBar(HWND scrollBar) {
    UpdateBarOfPane(scrollBar, gSplit.activePane ? gSplit.activePane : gApp.mainPane);
}

void SetViewFont(HWND window) {
    // Message 1023 may have closed the window while the font dialog was open.
    if (!IsWindow(window) || ProgramEnding()) return;
    TextPane* panes[] = {gApp.mainPane, gSplit.bottomPane};
    for (TextPane* pane : panes) {
        if (!pane) continue;
        RebuildStyleFonts(pane, &gApp.font);
        KeepReadingPlace(pane);
    }
    // One paint for both, the commentary on its light ground.
    RepaintView(window, kRepaintAll);
}

void PlacePanes(HWND window) {
    RECT rect = PaneArea(window);
    gSplit.bottomRect.left = rect.left;
    if (gApp.mainPane) {
        gApp.mainPane->left = rect.left;
        gApp.mainPane->top = rect.top;
    }
    if (gSplit.bottomPane) gSplit.bottomPane->left = rect.left;
}

void RestoreSavedRows() {
    if (gApp.mainPane) gApp.mainPane->firstRow = UsableFirstRow(gApp.mainPane, gApp.lastPosition);
    if (gSplit.bottomPane)
        gSplit.bottomPane->firstRow = UsableFirstRow(gSplit.bottomPane, gSplit.bottomSectionLastPosition);
    UpdateScrollBars();
}

void UpdateScrollBars() {
    UpdateBarOfPane(gSplit.mainScrollBar, gApp.mainPane);
    UpdateBarOfPane(gSplit.bottomScrollBar, gSplit.bottomPane);
}

int ScrollDelta(WPARAM wParam, int rowsDrawn, int firstRow) {
    switch (LOWORD(wParam)) {
    case SB_LINEUP: return -1;
    case SB_LINEDOWN: return 1;
    case SB_PAGEUP: return -PageRows(rowsDrawn, 0);
    case SB_PAGEDOWN: return PageRows(rowsDrawn, 0);
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return (short)HIWORD(wParam) - firstRow;
    case SB_TOP: return -firstRow;
    case SB_BOTTOM: return 1;  // one row down, not to the end
    default: return 0;
    }
}

void OnScroll(HWND window, WPARAM wParam, LPARAM lParam) {
    bool bottom = gSplit.bottomScrollBar && (HWND)lParam == gSplit.bottomScrollBar;
    TextPane* pane = bottom ? gSplit.bottomPane : gApp.mainPane;
    int repaintFlags = bottom ? kRepaintBottomScrollBar : kRepaintMainScrollBar;
    SetActivePane(pane);
    int delta = pane ? ScrollDelta(wParam, pane->rowsDrawn, pane->firstRow) : 0;
    if (delta && ScrollPane(pane, delta, 0) != kScrollUnchanged) RepaintView(window, repaintFlags);
    DefWindowProcW(window, WM_VSCROLL, wParam, lParam);
    if (delta) UpdateScrollBar(gSplit.activeScrollBar);
}

bool HitPane(const TextPane* pane, int x, int y) {
    int g = GutterPx();
    return pane && pane->left - g <= x && x <= pane->left + pane->width + g && pane->top - g <= y &&
           y <= pane->top + pane->height;
}

int TapPage(HWND, TextPane* pane, int x, int y, int paintNow) {
    if (!HitPane(pane, x, y)) return 0;
    SetActivePane(pane);
    if (!(gApp.flags & kFlagTapPaging)) return 0;
    bool vertical = (gApp.flags & kFlagTapVertical) != 0;
    int size = vertical ? pane->height : pane->width;
    int position = vertical ? y : x;
    int origin = vertical ? pane->top : pane->left;
    int middle = origin + size / 2;
    int step = PageRows(pane->rowsDrawn, (gApp.flags & kFlagTapPageStepMask) >> kFlagTapPageStepShift);
    if (position < middle) step = -step;
    ScrollPane(pane, step, paintNow);
    UpdateScrollBar(gSplit.activeScrollBar);
    return 1;
}

void OnTap(HWND window, LPARAM lParam) {
    int x = LOWORD(lParam);
    int y = HIWORD(lParam);
    if (!gApp.mainPane) return;
    if (TapPage(window, gApp.mainPane, x, y, 1) == 0 && TapPage(window, gSplit.bottomPane, x, y, 0) == 1)
        RepaintView(window, kRepaintBottom);
}

void OnMouseWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!gApp.mainPane) return;
    POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};  // screen coordinates, may be negative
    TextPane* pane = PaneAtScreenPoint(window, pointer);
    bool onBottom = pane == gSplit.bottomPane;
    SetActivePane(pane);
    int rows = WheelRows(pane, onBottom, GET_WHEEL_DELTA_WPARAM(wParam));
    if (rows && ScrollPane(pane, rows, 0) != kScrollUnchanged)
        RepaintView(window, onBottom ? kRepaintBottom : kRepaintMainScrollBar);
    UpdateScrollBar(gSplit.activeScrollBar);
}

// ---- The divider --------------------------------------------------------------

bool OnDivider(HWND window, int x, int y) {
    if (!gApp.mainPane || !BottomPaneShown()) return false;
    int reachPx = ScalePx(kDividerReachPx, ReaderDpi());
    int g = GutterPx();
    bool across = gSplit.bottomRect.left - g <= x && x <= gSplit.bottomRect.right + g;
    int offset = y - DividerY();
    return across && -reachPx <= offset && offset <= reachPx;
}

bool SetDividerCursor(HWND window) {
    POINT pointer;
    if (!GetCursorPos(&pointer) || !ScreenToClient(window, &pointer)) return false;
    if (!gDragging && !OnDivider(window, pointer.x, pointer.y)) return false;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32645)));  // IDC_SIZENS
    return true;
}

bool BeginDividerDrag(HWND window, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    if (ProgramEnding() || !OnDivider(window, x, y)) return false;
    gDragging = true;
    gDragGrabPx = y - DividerY();
    SetCapture(window);
    return true;
}

void DragDivider(HWND window, LPARAM lParam) {
    if (!gDragging || ProgramEnding()) return;
    int share = 0;
    if (!ShareFromDividerY(GET_Y_LPARAM(lParam) - gDragGrabPx, &share) || share == gSplit.bottomShare) return;
    gSplit.bottomShare = share;
    MarkBottomSectionItem();
    OnSize(window, kRelayoutMarker);
    RepaintView(window, kRepaintAll);
}

void EndDividerDrag(HWND window) {
    if (!gDragging) return;
    gDragging = false;
    if (GetCapture() == window) ReleaseCapture();
}
