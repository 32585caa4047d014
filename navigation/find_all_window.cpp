#include "navigation/find_all_window.h"

#include <wchar.h>

#include "navigation/find_all_list.h"
#include "navigation/find_all_view.h"
#include "navigation/search.h"
#include "panes/split_view.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const wchar_t kWindowClass[] = L"LorvanFindAll";
const wchar_t kWindowTitle[] = L"Find All";

// Every size of the window, in pixels at 96 DPI; drawn at the window's own.
const int kWindowWidthPx = 520;
const int kMinWindowWidthPx = 320;
const int kMinWindowHeightPx = 200;
const int kMarginPx = 8;
const int kHeaderHeightPx = 32;
const int kCountLabelWidthPx = 150;
const int kFilterButtonHeightPx = 20;
const int kFilterButtonWidthPx[kFindAllFilters] = {82, 94, 54};

const int kCountLabelId = 100;
const int kFirstFilterId = 101;  // and the next two, in the order of kShow...
const int kListId = 110;
const wchar_t* const kFilterLabels[kFindAllFilters] = {L"&Main text", L"&Commentary", L"&Both"};

int gFilter = kShowBoth;  // kept while the window is closed

void UpdateHeader(const FindAllView* view) {
    wchar_t count[64];
    const FindAllRows& rows = view->rows;
    const wchar_t* noun = rows.offeredCount == 1 ? L"match" : L"matches";
    if (rows.count == rows.offeredCount) swprintf(count, 64, L"%u %ls", rows.count, noun);
    else swprintf(count, 64, L"%u of %u %ls", rows.count, rows.offeredCount, noun);
    SetWindowTextW(view->countLabel, count);
    bool hidden = CommentaryHidden();
    for (int i = 0; i < kFindAllFilters; i++) {
        // With the commentary hidden only the main text is offered.
        EnableWindow(view->filterButtons[i], !hidden || i == kShowMainText);
        SendMessageW(view->filterButtons[i], BM_SETCHECK,
                     i == EffectiveFindAllFilter(gFilter) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

// The rows as rebuilt, in the open window; the list's size is WM_SIZE's.
void ShowRows(FindAllView* view) {
    if (!view->window || ProgramEnding()) return;
    EnsureFindAllFonts(view);
    UpdateHeader(view);
    if (view->rows.count) SelectFindAllRow(view, view->rows.selectedRow);  // which scrolls to it and repaints
    else ScrollFindAllList(view, 0);
}

HWND MakeChild(HWND window, const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window,
                           (HMENU)(INT_PTR)id, gApp.instance, nullptr);
}

// The fonts are the first ShowRows's, made at the window's resolution.
LRESULT OnCreate(FindAllView* view, HWND window) {
    view->window = window;
    view->dpi = WindowDpi(window);
    view->countLabel = MakeChild(window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, kCountLabelId);
    for (int i = 0; i < kFindAllFilters; i++) {
        DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        view->filterButtons[i] = MakeChild(window, L"BUTTON", kFilterLabels[i], style, kFirstFilterId + i);
    }
    view->list = CreateWindowExW(WS_EX_CLIENTEDGE, kFindAllListClass, L"",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0, 0, 0, 0, window,
                                 (HMENU)(INT_PTR)kListId, gApp.instance, nullptr);
    return view->list ? 0 : -1;
}

void LayoutChildren(const FindAllView* view, HWND window) {
    RECT client;
    GetClientRect(window, &client);
    int dpi = view->dpi;
    int headerPx = ScalePx(kHeaderHeightPx, dpi), buttonPx = ScalePx(kFilterButtonHeightPx, dpi);
    int marginPx = ScalePx(kMarginPx, dpi);
    int buttonY = (headerPx - buttonPx) / 2;
    MoveWindow(view->countLabel, marginPx, buttonY, ScalePx(kCountLabelWidthPx, dpi), buttonPx, TRUE);
    int x = client.right - marginPx;
    for (int i = kFindAllFilters - 1; i >= 0; i--) {
        int widthPx = ScalePx(kFilterButtonWidthPx[i], dpi);
        x -= widthPx;
        MoveWindow(view->filterButtons[i], x, buttonY, widthPx, buttonPx, TRUE);
    }
    int listHeightPx = client.bottom - headerPx;
    MoveWindow(view->list, 0, headerPx, client.right, listHeightPx > 0 ? listHeightPx : 0, TRUE);
}

LRESULT OnCommand(FindAllView* view, WPARAM wParam) {
    int id = LOWORD(wParam);
    if (id >= kFirstFilterId && id < kFirstFilterId + kFindAllFilters && HIWORD(wParam) == BN_CLICKED) {
        SetFindAllFilter(id - kFirstFilterId);
    } else if (id == IDOK) {
        ShowSelectedFindAllMatch(view);  // Enter, where the list or a filter has the focus
    } else if (id == IDCANCEL) {
        DestroyWindow(view->window);
    }
    return 0;
}

// Moved to a screen of another resolution: the size Windows suggests, and
// everything drawn again at the new one.
LRESULT OnDpiChanged(FindAllView* view, HWND window, WPARAM wParam, LPARAM lParam) {
    view->dpi = UsableDpi(HIWORD(wParam));
    const RECT* suggested = (const RECT*)lParam;
    if (suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutChildren(view, window);  // the same size may hold other sizes now
    ShowRows(view);
    return 0;
}

LRESULT OnMinMaxInfo(const FindAllView* view, LPARAM lParam) {
    MINMAXINFO* info = (MINMAXINFO*)lParam;
    info->ptMinTrackSize.x = ScalePx(kMinWindowWidthPx, view->dpi);
    info->ptMinTrackSize.y = ScalePx(kMinWindowHeightPx, view->dpi);
    return 0;
}

LRESULT CALLBACK FindAllWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FindAllView* view = &gFindAll;
    switch (message) {
    case WM_CREATE: return OnCreate(view, window);
    case WM_SIZE: LayoutChildren(view, window); return 0;
    case WM_COMMAND: return ProgramEnding() ? 0 : OnCommand(view, wParam);
    case WM_SETFOCUS: SetFocus(view->list); return 0;
    case WM_MOUSEWHEEL: return SendMessageW(view->list, message, wParam, lParam);
    case WM_GETMINMAXINFO: return OnMinMaxInfo(view, lParam);
    case WM_DPICHANGED: return OnDpiChanged(view, window, wParam, lParam);
    case WM_DESTROY: ReleaseFindAllView(view); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterWindowClass() {
    WNDCLASSW windowClass = {};
    if (GetClassInfoW(gApp.instance, kWindowClass, &windowClass)) return true;
    windowClass.lpfnWndProc = FindAllWndProc;
    windowClass.hInstance = gApp.instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassW(&windowClass) != 0;
}

// Right of the reader where the screen has room, else left of it, else over
// its right edge; as tall as the reader.
RECT PlaceBesideReader(int dpi) {
    int widthPx = ScalePx(kWindowWidthPx, dpi), minHeightPx = ScalePx(kMinWindowHeightPx, dpi);
    RECT reader = {0, 0, widthPx, 2 * minHeightPx};
    GetWindowRect(gApp.mainWindow, &reader);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(gApp.mainWindow, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    int heightPx = reader.bottom - reader.top;
    if (heightPx < minHeightPx) heightPx = minHeightPx;
    int x = reader.right;
    if (x + widthPx > work.right) x = reader.left - widthPx >= work.left ? reader.left - widthPx : work.right - widthPx;
    if (x < work.left) x = work.left;
    return {x, reader.top, x + widthPx, reader.top + heightPx};
}

bool CreateFindAllWindow() {
    if (!RegisterWindowClass() || !RegisterFindAllListClass()) return false;
    // The reader's resolution until the window has its own: it is made on
    // the same screen, and asks for its least size before it is created.
    gFindAll.dpi = WindowDpi(gApp.mainWindow);
    RECT place = PlaceBesideReader(gFindAll.dpi);
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, kWindowTitle, style, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, gApp.mainWindow, nullptr,
                                  gApp.instance, nullptr);
    return window != nullptr;
}

}  // namespace

int RunFindAll(HWND owner) {
    SearchPattern pattern = StoredSearchPattern();
    if (!pattern.length || ProgramEnding()) return 0;
    FindAllResults found = {};
    if (FindAllInBook(&pattern, AllocOrAbort, &found) != kFindAllDone) return 0;
    if (!OffersAnyMatch(found)) {
        FreeFindAllResults(&found);
        ShowMessageBox(owner, L"Not Found!", L"Lorvan", MB_OK);
        return 0;
    }
    gFindAll.topRow = 0;
    if (!TakeFindAllResults(&gFindAll.rows, &found, gFilter)) return 0;
    ShowRows(&gFindAll);
    return (int)gFindAll.rows.offeredCount;
}

// The rows are those of the last RunFindAll, which showed them in a window
// that was open already.
HWND OpenFindAllWindow() {
    if (!gFindAll.rows.results.count || ProgramEnding() || !gApp.mainWindow) return nullptr;
    if (!gFindAll.window) {
        if (!CreateFindAllWindow()) return nullptr;
        ShowRows(&gFindAll);
    }
    ShowWindow(gFindAll.window, SW_SHOW);
    SetForegroundWindow(gFindAll.window);
    SetFocus(gFindAll.list);
    return gFindAll.window;
}

HWND FindAllWindow() { return gFindAll.window; }

bool TakeFindAllMessage(MSG* message) { return gFindAll.window && IsDialogMessageW(gFindAll.window, message); }

void ReleaseFindAll() {
    if (gFindAll.window) DestroyWindow(gFindAll.window);
    ReleaseFindAllView(&gFindAll);
}

void RefreshFindAll() {
    if (!gFindAll.window || ProgramEnding()) return;
    if (RebuildFindAllRows(&gFindAll.rows, gFilter)) ShowRows(&gFindAll);
}

int FindAllRowCount() { return (int)gFindAll.rows.count; }

const BookMatch* FindAllRowMatch(int row) { return RowMatch(&gFindAll.rows, row); }

int FindAllSelectedRow() { return gFindAll.rows.selectedRow; }

void SelectFindAllResult(int row) { SelectFindAllRow(&gFindAll, row); }

const uint8_t* FindAllSectionText(int section) {
    return section >= 1 && section <= kLastBookSection ? gFindAll.rows.results.texts[section] : nullptr;
}

bool FindAllRowRect(int row, RECT* rect) {
    RECT client;
    if (!gFindAll.list || row < gFindAll.topRow || row >= (int)gFindAll.rows.count) return false;
    GetClientRect(gFindAll.list, &client);
    int top = (row - gFindAll.topRow) * gFindAll.rowHeightPx;
    if (top >= client.bottom) return false;
    *rect = {0, top, client.right, top + gFindAll.rowHeightPx};
    return true;
}

void SetFindAllFilter(int filter) {
    if (filter < kShowMainText || filter > kShowBoth) return;
    gFilter = filter;
    RefreshFindAll();
}
