// The reader window in this process: the program's own start-up time up to
// the first paint, the time from a Right-arrow key to the end of the repaint
// of both panes, the time of one wheel notch over the main pane, of a change
// of theme, and the time from "F&ont" to the font dialog's first paint.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "app/app_state.h"
#include "app/desktop_frame.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "bench/bench_clock.h"
#include "bench/index_bench.h"
#include "bench/reader_bench.h"
#include "navigation/search.h"
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

// Each theme in turn, the whole view repainted each time; beside it the
// repaint of both panes alone, without the erase of the client area.
double ThemeSwitchMs(HWND window) {
    double start = NowMs();
    for (int i = 0; i < kSteps; i++) {
        SendMessageW(window, WM_COMMAND, kCommandThemeLight + (i + 1) % 3, 0);
        GdiFlush();
    }
    double ms = (NowMs() - start) / kSteps;
    SendMessageW(window, WM_COMMAND, kCommandThemeLight, 0);
    return ms;
}

double RepaintViewMs(HWND window) {
    double start = NowMs();
    for (int i = 0; i < kSteps; i++) {
        RepaintView(window, kRepaintAll);
        GdiFlush();
    }
    return (NowMs() - start) / kSteps;
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
    double themeMs = ThemeSwitchMs(window);
    double repaintMs = RepaintViewMs(window);
    double findNextMs = FindNextMissMs(window);
    BenchChooserOpen(window);
    double firstFontDialogMs = FontDialogOpenMs(window);
    double fontDialogMs = 0;
    for (int i = 0; i < kFontDialogOpenings; i++) fontDialogMs += FontDialogOpenMs(window) / kFontDialogOpenings;
    DestroyWindow(window);
    DrainMessages();
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchRootKey);
    SetSettingsKeyPaths(nullptr, nullptr);
    printf("startup_ms: %.4f\n", startupMs);
    printf("step_ms: %.4f\n", stepMs);
    printf("step_with_scroll_bars_ms: %.4f\n", stepWithBarsMs);
    printf("wheel_notch_ms: %.4f\n", wheelMs);
    printf("theme_switch_ms: %.4f\n", themeMs);
    printf("repaint_view_ms: %.4f\n", repaintMs);
    printf("find_next_miss_ms: %.4f\n", findNextMs);
    printf("font_dialog_first_open_ms: %.4f\n", firstFontDialogMs);
    printf("font_dialog_open_ms: %.4f\n", fontDialogMs);
}
