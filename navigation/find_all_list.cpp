#include "navigation/find_all_list.h"

#include "accessibility/results_access.h"
#include "navigation/find_all_paint.h"
#include "navigation/search.h"
#include "platform/out_of_memory.h"

const wchar_t kFindAllListClass[] = L"LorvanFindAllList";

namespace {

int VisibleRows(const FindAllView* view) {
    RECT client;
    GetClientRect(view->list, &client);
    int rows = view->rowHeightPx > 0 ? client.bottom / view->rowHeightPx : 0;
    return rows > 1 ? rows : 1;
}

int LastTopRow(const FindAllView* view) {
    int last = (int)view->rows.count - VisibleRows(view);
    return last > 0 ? last : 0;
}

void UpdateScrollBar(const FindAllView* view) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    info.nMax = view->rows.count ? (int)view->rows.count - 1 : 0;
    info.nPage = (UINT)VisibleRows(view);
    info.nPos = view->topRow;
    SetScrollInfo(view->list, SB_VERT, &info, TRUE);
}

int ScrollTarget(const FindAllView* view, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case SB_LINEUP: return view->topRow - 1;
    case SB_LINEDOWN: return view->topRow + 1;
    case SB_PAGEUP: return view->topRow - VisibleRows(view);
    case SB_PAGEDOWN: return view->topRow + VisibleRows(view);
    case SB_TOP: return 0;
    case SB_BOTTOM: return LastTopRow(view);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(view->list, SB_VERT, &info);
        return info.nTrackPos;  // 32 bits, unlike the message's position
    }
    default: return view->topRow;
    }
}

void OnWheel(FindAllView* view, WPARAM wParam) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    view->wheelDelta += GET_WHEEL_DELTA_WPARAM(wParam);
    int notches = view->wheelDelta / WHEEL_DELTA;
    view->wheelDelta -= notches * WHEEL_DELTA;
    int rows = lines == WHEEL_PAGESCROLL ? VisibleRows(view) : (int)lines;
    if (notches) ScrollFindAllList(view, view->topRow - notches * rows);
}

int RowAtPoint(const FindAllView* view, LPARAM lParam) {
    int y = (short)HIWORD(lParam);
    if (y < 0 || view->rowHeightPx <= 0) return -1;
    int row = view->topRow + y / view->rowHeightPx;
    return row < (int)view->rows.count ? row : -1;
}

void OnClick(FindAllView* view, HWND list, LPARAM lParam, bool twice) {
    SetFocus(list);
    int row = RowAtPoint(view, lParam);
    if (row < 0) return;
    SelectFindAllRow(view, row);
    if (twice) ShowSelectedFindAllMatch(view);
}

LRESULT OnKey(FindAllView* view, HWND list, UINT message, WPARAM key, LPARAM lParam) {
    int selected = view->rows.selectedRow;
    switch (key) {
    case VK_UP: SelectFindAllRow(view, selected - 1); return 0;
    case VK_DOWN: SelectFindAllRow(view, selected + 1); return 0;
    case VK_PRIOR: SelectFindAllRow(view, selected - VisibleRows(view)); return 0;
    case VK_NEXT: SelectFindAllRow(view, selected + VisibleRows(view)); return 0;
    case VK_HOME: SelectFindAllRow(view, 0); return 0;
    case VK_END: SelectFindAllRow(view, (int)view->rows.count - 1); return 0;
    case VK_RETURN: ShowSelectedFindAllMatch(view); return 0;
    case VK_ESCAPE: DestroyWindow(view->window); return 0;
    default: return DefWindowProcW(list, message, key, lParam);
    }
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    FindAllView* view = &gFindAll;
    switch (message) {
    case WM_PAINT: PaintFindAllList(view, list); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers every pixel
    case WM_SIZE: ScrollFindAllList(view, view->topRow); return 0;
    case WM_VSCROLL: ScrollFindAllList(view, ScrollTarget(view, wParam)); return 0;
    case WM_MOUSEWHEEL: OnWheel(view, wParam); return 0;
    case WM_LBUTTONDOWN: OnClick(view, list, lParam, false); return 0;
    case WM_LBUTTONDBLCLK: OnClick(view, list, lParam, true); return 0;
    case WM_KEYDOWN: return ProgramEnding() ? 0 : OnKey(view, list, message, wParam, lParam);
    // The arrows stay here; Enter, Escape and Tab are the window's, as in a dialog.
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(list, nullptr, FALSE); return 0;
    case WM_GETOBJECT: return AnswerResultsObject(list, wParam, lParam);
    case WM_DESTROY: ForgetResults(list); return 0;
    default: return DefWindowProcW(list, message, wParam, lParam);
    }
}

}  // namespace

bool RegisterFindAllListClass() {
    WNDCLASSW listClass = {};
    if (GetClassInfoW(gApp.instance, kFindAllListClass, &listClass)) return true;
    listClass.style = CS_DBLCLKS;
    listClass.lpfnWndProc = ListProc;
    listClass.hInstance = gApp.instance;
    listClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    listClass.lpszClassName = kFindAllListClass;
    return RegisterClassW(&listClass) != 0;
}

void ScrollFindAllList(FindAllView* view, int topRow) {
    if (topRow > LastTopRow(view)) topRow = LastTopRow(view);
    if (topRow < 0) topRow = 0;
    view->topRow = topRow;
    UpdateScrollBar(view);
    InvalidateRect(view->list, nullptr, FALSE);
}

void SelectFindAllRow(FindAllView* view, int row) {
    if (!view->rows.count) return;
    if (row < 0) row = 0;
    if (row >= (int)view->rows.count) row = (int)view->rows.count - 1;
    view->rows.selectedRow = row;
    NoteResultsMoved(view->list);
    int top = view->topRow;
    if (row < top) top = row;
    if (row >= top + VisibleRows(view)) top = row - VisibleRows(view) + 1;
    ScrollFindAllList(view, top);
}

void ShowSelectedFindAllMatch(const FindAllView* view) {
    const BookMatch* match = RowMatch(&view->rows, view->rows.selectedRow);
    if (!match || ProgramEnding() || !gApp.mainWindow || !IsWindowEnabled(gApp.mainWindow)) return;
    ShowSectionMatch(view->window, match->section, match->hit.endOffset, match->hit.length);
}
