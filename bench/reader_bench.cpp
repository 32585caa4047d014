// The reader window in this process: the program's own start-up time up to
// the first paint, the time from a Right-arrow key to the end of the repaint
// of both panes, the time of one wheel notch over the main pane, and the time
// from "F&ont" to the font dialog's first paint.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "bench/bench_clock.h"
#include "bench/index_bench.h"
#include "bench/reader_bench.h"
#include "navigation/search.h"
#include "panes/pane_select.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/shell.h"
#include "tests/support/test_seams.h"

namespace {

const wchar_t kBenchProgramKey[] = L"Software\\Quenmark\\LorvanBench\\Program";
const wchar_t kBenchMakerKey[] = L"Software\\Quenmark\\LorvanBench\\Maker";
const wchar_t kBenchRootKey[] = L"Software\\Quenmark\\LorvanBench";
const int kSteps = 100;
const int kSearches = 10;
const WPARAM kCommandFont = 40006;
const int kFontDialogOpenings = 3;

void ChooseBenchSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchRootKey);
    SetSettingsKeyPaths(kBenchProgramKey, kBenchMakerKey);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kBenchProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const wchar_t face[] = L"DejaVu Sans";
    RegSetValueExW(key, L"FontName", 0, REG_SZ, reinterpret_cast<const BYTE*>(face), sizeof(face));
    DWORD size = 17;
    RegSetValueExW(key, L"FontSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&size), sizeof(size));
    RegCloseKey(key);
}

// The dialog's loop tells its owner when it finds nothing more to do, so
// the first of these comes after the dialog and its controls have painted.
// The owner's procedure is wrapped to see it; a hook would cost every
// message of the dialog a trip to the server.
WNDPROC gReaderProc = nullptr;
double gDialogIdleAt = 0;

LRESULT CALLBACK NoteDialogIdle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && !gDialogIdleAt) {
        GdiFlush();
        gDialogIdleAt = NowMs();
        PostMessageW((HWND)lParam, WM_COMMAND, IDCANCEL, 0);
    }
    return CallWindowProcW(gReaderProc, window, message, wParam, lParam);
}

// From the command to the first paint, the families enumerated each time.
double FontDialogOpenMs(HWND window) {
    gReaderProc = (WNDPROC)SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)NoteDialogIdle);
    gDialogIdleAt = 0;
    double start = NowMs();
    SendMessageW(window, WM_COMMAND, kCommandFont, 0);  // returns once Cancel has closed it
    SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)gReaderProc);
    return gDialogIdleAt ? gDialogIdleAt - start : -1;
}

void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Notches over the middle of the main pane, down and up in turn so that each
// one scrolls and repaints it; the time of one notch.
double WheelNotchMs(HWND window) {
    const TextPane* pane = gApp.mainPane;
    if (!pane) return 0;
    POINT middle = {pane->left + pane->width / 2, pane->top + pane->height / 2};
    ClientToScreen(window, &middle);
    double start = NowMs();
    for (int i = 0; i < kSteps; i++) {
        short delta = i % 2 == 0 ? -WHEEL_DELTA : WHEEL_DELTA;
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(middle.x, middle.y));
        GdiFlush();
    }
    return (NowMs() - start) / kSteps;
}

const int kDragPaneWidthPx = 1920;
const int kDragPaneHeightPx = 1080;
const int kDragMoves = 200;
const UINT kCommandNoCommentary = 401;

// The main pane alone at 1920 x 1080: the window sized around it.
bool SizeMainPane(HWND window, int widthPx, int heightPx) {
    SendMessageW(window, WM_COMMAND, kCommandNoCommentary, 0);
    for (int attempt = 0; attempt < 3; attempt++) {
        const TextPane* pane = gApp.mainPane;
        if (pane->width == widthPx && pane->height == heightPx) return true;
        RECT frame;
        GetWindowRect(window, &frame);
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + widthPx - pane->width,
                     frame.bottom - frame.top + heightPx - pane->height, SWP_NOZORDER | SWP_NOMOVE);
        DrainMessages();
    }
    return gApp.mainPane->width == widthPx && gApp.mainPane->height == heightPx;
}

// One move of the pointer with the button held, the selection following it a
// half row at a time down the pane and back; and, as its baseline, a repaint
// of the whole pane.
void SelectDragMs(HWND window, double* moveMs, double* fullRepaintMs) {
    *moveMs = *fullRepaintMs = -1;
    if (!SizeMainPane(window, kDragPaneWidthPx, kDragPaneHeightPx)) return;
    TextPane* pane = gApp.mainPane;
    RepaintView(window, kRepaintAll);
    int rowPx = pane->lines[0].height;
    int x = pane->left + pane->width / 2;
    int top = pane->top + rowPx / 2;
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, top));
    int steps = (pane->height - 2 * rowPx) * 2 / rowPx;
    double start = NowMs();
    for (int i = 0; i < kDragMoves; i++) {
        int step = i % (2 * steps);
        int y = top + rowPx + (step < steps ? step : 2 * steps - step) * rowPx / 2;
        SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + (i % 7) * 3, y));
        GdiFlush();
    }
    *moveMs = (NowMs() - start) / kDragMoves;
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, top));
    if (!HasSelection(pane)) *moveMs = -1;
    start = NowMs();
    for (int i = 0; i < kSteps; i++) {
        RepaintView(window, kRepaintEraseMain | kRepaintMain);
        GdiFlush();
    }
    *fullRepaintMs = (NowMs() - start) / kSteps;
}

int AnswerBox(HWND, const wchar_t*, const wchar_t*, UINT, void*) { return IDOK; }

// FindNext over the whole book for letters it does not hold, in the reader's
// window; the "Not Found!" box is answered at once.
double FindNextMissMs(HWND window) {
    SetMessageBoxSink(AnswerBox, nullptr);
    memset(gApp.searchString, 0, sizeof gApp.searchString);
    strcpy((char*)gApp.searchString, kBenchMissingSearch);
    double start = NowMs();
    for (int i = 0; i < kSearches; i++) FindNext(window);
    double ms = (NowMs() - start) / kSearches;
    SetMessageBoxSink(nullptr, nullptr);
    gApp.searchString[0] = 0;
    return ms;
}

}  // namespace

void BenchReaderWindow() {
    ChooseBenchSettings();
    double start = NowMs();
    HWND window = StartReader(GetModuleHandleW(nullptr), SW_SHOWNORMAL);  // returns after the first paint
    GdiFlush();
    double startupMs = NowMs() - start;
    if (!window) {
        fprintf(stderr, "reader window not created\n");
        return;
    }
    SetWindowPos(window, nullptr, 0, 0, 480, 640, SWP_NOZORDER);
    DrainMessages();
    SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);  // warm up the fonts of the styles
    GdiFlush();
    double stepStart = NowMs();
    for (int i = 0; i < kSteps; i++) {
        SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
        GdiFlush();
    }
    double stepMs = (NowMs() - stepStart) / kSteps;
    // The same with the scroll bars, which repaint in the next paint cycle.
    double barsStart = NowMs();
    for (int i = 0; i < kSteps; i++) {
        SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
        UpdateWindow(gSplit.mainScrollBar);
        UpdateWindow(gSplit.bottomScrollBar);
        GdiFlush();
    }
    double stepWithBarsMs = (NowMs() - barsStart) / kSteps;
    double wheelMs = WheelNotchMs(window);
    double findNextMs = FindNextMissMs(window);
    BenchChooserOpen(window);
    double firstFontDialogMs = FontDialogOpenMs(window);
    double fontDialogMs = 0;
    for (int i = 0; i < kFontDialogOpenings; i++) fontDialogMs += FontDialogOpenMs(window) / kFontDialogOpenings;
    double dragMs = 0, fullRepaintMs = 0;
    SelectDragMs(window, &dragMs, &fullRepaintMs);  // last: it leaves the window large
    DestroyWindow(window);
    DrainMessages();
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchRootKey);
    SetSettingsKeyPaths(nullptr, nullptr);
    printf("startup_ms: %.4f\n", startupMs);
    printf("step_ms: %.4f\n", stepMs);
    printf("step_with_scroll_bars_ms: %.4f\n", stepWithBarsMs);
    printf("wheel_notch_ms: %.4f\n", wheelMs);
    printf("find_next_miss_ms: %.4f\n", findNextMs);
    printf("select_drag_ms: %.4f\n", dragMs);
    printf("select_drag_full_repaint_ms: %.4f\n", fullRepaintMs);
    printf("font_dialog_first_open_ms: %.4f\n", firstFontDialogMs);
    printf("font_dialog_open_ms: %.4f\n", fontDialogMs);
}
