// The reader window in this process: the program's own start-up time up to
// the first paint, the time from a Right-arrow key to the end of the repaint
// of both panes, and the time from "F&ont" to the font dialog's first paint.
#include <windows.h>

#include <stdio.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "bench/bench_clock.h"
#include "bench/reader_bench.h"
#include "panes/split_view.h"

namespace {

const wchar_t kBenchProgramKey[] = L"Software\\Quenmark\\LorvanBench\\Program";
const wchar_t kBenchMakerKey[] = L"Software\\Quenmark\\LorvanBench\\Maker";
const wchar_t kBenchRootKey[] = L"Software\\Quenmark\\LorvanBench";
const int kSteps = 100;
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

// What the program entry does before its message loop, up to the first paint.
HWND StartReaderWindow() {
    ZeroMemory(&gApp, sizeof(gApp));
    gApp.instance = GetModuleHandleW(nullptr);
    gShell.allowSipInHebrewSearch = 1;
    gSplit.bottomSection = kBottomSectionDefault;
    ReadShellOptions();
    return StartMainWindow(SW_SHOWNORMAL);  // returns after UpdateWindow has painted
}

// The dialog's loop tells its owner when it finds nothing more to do, so
// the first of these comes after the dialog and its controls have painted.
struct DialogTimes {
    double initStart;
    double initMs;  // the dialog's own set-up, the enumeration of the families included
    double idleAt;
};
DialogTimes gDialogTimes;

LRESULT CALLBACK NoteDialogCall(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) gDialogTimes.initStart = NowMs();
    if (code == HC_ACTION && call->message == WM_ENTERIDLE && call->wParam == MSGF_DIALOGBOX && !gDialogTimes.idleAt) {
        GdiFlush();
        gDialogTimes.idleAt = NowMs();
        PostMessageW((HWND)call->lParam, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK NoteDialogReturn(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) gDialogTimes.initMs = NowMs() - gDialogTimes.initStart;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// From the command to the first paint, the families enumerated each time.
DialogTimes OpenFontDialog(HWND window) {
    DWORD thread = GetCurrentThreadId();
    HHOOK callHook = SetWindowsHookExW(WH_CALLWNDPROC, NoteDialogCall, nullptr, thread);
    HHOOK returnHook = SetWindowsHookExW(WH_CALLWNDPROCRET, NoteDialogReturn, nullptr, thread);
    gDialogTimes = DialogTimes{};
    double start = NowMs();
    SendMessageW(window, WM_COMMAND, kCommandFont, 0);  // returns once Cancel has closed it
    UnhookWindowsHookEx(returnHook);
    UnhookWindowsHookEx(callHook);
    DialogTimes times = gDialogTimes;
    times.idleAt = times.idleAt ? times.idleAt - start : -1;
    return times;
}

void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

void BenchReaderWindow() {
    ChooseBenchSettings();
    double start = NowMs();
    HWND window = StartReaderWindow();
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
    double firstFontDialogMs = OpenFontDialog(window).idleAt;
    double fontDialogMs = 0, fontDialogInitMs = 0;
    for (int i = 0; i < kFontDialogOpenings; i++) {
        DialogTimes times = OpenFontDialog(window);
        fontDialogMs += times.idleAt / kFontDialogOpenings;
        fontDialogInitMs += times.initMs / kFontDialogOpenings;
    }
    DestroyWindow(window);
    DrainMessages();
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchRootKey);
    SetSettingsKeyPaths(nullptr, nullptr);
    printf("startup_ms: %.4f\n", startupMs);
    printf("step_ms: %.4f\n", stepMs);
    printf("step_with_scroll_bars_ms: %.4f\n", stepWithBarsMs);
    printf("font_dialog_first_open_ms: %.4f\n", firstFontDialogMs);
    printf("font_dialog_open_ms: %.4f\n", fontDialogMs);
    printf("font_dialog_init_ms: %.4f\n", fontDialogInitMs);
}
