// The reader window in this process: the program's own start-up time up to
// the first paint beside a bare window's, the time from a Right-arrow key to
// the end of the repaint of both panes, the same for Back to a remembered
// place, the time of one wheel notch over the main pane, of a change of
// theme, one zoom step in a full-HD window, one move of a drag that extends a
// selection over a 1920 x 1080 pane beside a repaint of that pane, and the
// time from "F&ont" to the font dialog's first paint beside the same template
// at the same size with nothing in it. Each ratio is the median of turns that
// time the figure and its baseline one after the other. Then the opening of a
// book file of 1,000 pairs, and steps with it open beside steps in the
// built-in book.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "app/app_state.h"
#include "app/book_file.h"
#include "app/commands.h"
#include "app/desktop_frame.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/view_scale.h"
#include "app/window_place.h"
#include "bench/access_bench.h"
#include "bench/bench_clock.h"
#include "bench/index_bench.h"
#include "bench/reader_bench.h"
#include "fontdialog/font_dialog.h"
#include "navigation/find_all_window.h"
#include "navigation/history.h"
#include "navigation/outline_panel.h"
#include "navigation/search.h"
#include "panes/pane_select.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/dialog_shell.h"
#include "platform/desktop.h"
#include "platform/dpi.h"
#include "platform/shell.h"
#include "resources/resource_ids.h"
#include "tests/support/test_seams.h"

namespace {

const wchar_t kBenchProgramKey[] = L"Software\\Quenmark\\LorvanBench\\Program";
const wchar_t kBenchMakerKey[] = L"Software\\Quenmark\\LorvanBench\\Maker";
const wchar_t kBenchRootKey[] = L"Software\\Quenmark\\LorvanBench";
const int kSteps = 100;
const int kTurnSteps = 30;  // in each turn of a ratio
const int kSearches = 10;
const WPARAM kCommandFont = 40006;
const int kFontDialogOpenings = 2;  // in each turn
const int kZoomSteps = 12;
const int kFullHdWidthPx = 1920;
const int kFullHdHeightPx = 1080;
const wchar_t kBareClass[] = L"LorvanBenchBare";

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

void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
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

// From the command to the first paint.
double FontDialogOpenMs(HWND window) {
    gReaderProc = (WNDPROC)SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)NoteDialogIdle);
    gDialogIdleAt = 0;
    double start = NowMs();
    SendMessageW(window, WM_COMMAND, kCommandFont, 0);  // returns once Cancel has closed it
    SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)gReaderProc);
    return gDialogIdleAt ? gDialogIdleAt - start : -1;
}

// The font dialog's template sized as the font dialog is, and nothing else
// done: its controls are painted as large as the font dialog's, but empty.
INT_PTR CALLBACK EmptyFontDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return EmptyDialogProc(dialog, message, wParam, lParam);
    InitFullScreenDialog(dialog, kFontDialogShellFlags, gShell.fullScreen);
    return TRUE;
}

// That empty dialog, timed the same way.
double EmptyFontTemplateOpenMs(HWND window) {
    gReaderProc = (WNDPROC)SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)NoteDialogIdle);
    gDialogIdleAt = 0;
    double start = NowMs();
    RunDialogTemplate(GetModuleHandleW(nullptr), IDD_CHOOSE_FONT, window, EmptyFontDialogProc, 0);
    SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)gReaderProc);
    return gDialogIdleAt ? gDialogIdleAt - start : -1;
}

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    FillRect(dc, &paint.rcPaint, (HBRUSH)GetStockObject(WHITE_BRUSH));
    EndPaint(window, &paint);
    return 0;
}

// The same steps as the reader's start for a window of our own class with
// nothing in it: register, create at the reading size, show, first paint.
double BareWindowMs() {
    double start = NowMs();
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BareWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(IDI_LORVAN));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = kBareClass;
    RegisterClassW(&windowClass);
    RECT rect = ReadingRect(WorkAreaNear(nullptr), SystemDpi());
    HWND window = CreateWindowExW(WS_EX_WINDOWEDGE, kBareClass, L"Bare", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    GdiFlush();
    double ms = NowMs() - start;
    DestroyWindow(window);
    UnregisterClassW(kBareClass, windowClass.hInstance);
    DrainMessages();
    return ms;
}

// What a fresh process of this program, started with `childSwitch`, prints:
// the milliseconds of its one window up to the first paint, as the first
// window of a process, so that the reader's start and a bare window's both
// pay the platform's one-time costs of a first window. -1 without a figure.
double FreshProcessMs(const wchar_t* childSwitch) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    wchar_t exe[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    wchar_t commandLine[MAX_PATH + 32];
    swprintf(commandLine, MAX_PATH + 32, L"\"%ls\" %ls", exe, childSwitch);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child = {};
    BOOL started = CreateProcessW(exe, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
    CloseHandle(writeEnd);
    char output[64] = "";
    DWORD got = 0;
    if (started) {
        ReadFile(readEnd, output, sizeof output - 1, &got, nullptr);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    CloseHandle(readEnd);
    output[got] = 0;
    double ms = -1;
    return sscanf(output, "%lf", &ms) == 1 ? ms : -1;
}

// One zoom step in and one out in turn, in a full-HD window: both panes laid
// out again in the new size and repainted; the time of one step (an even
// count of them ends at the size it began with). Beside it the same layout
// and paint at the size that stands (`relayoutMs`).
double ZoomStepMs(HWND window, double* relayoutMs) {
    SetWindowPos(window, nullptr, 0, 0, kFullHdWidthPx, kFullHdHeightPx, SWP_NOZORDER);
    DrainMessages();
    SendMessageW(window, WM_COMMAND, kZoomInCommand, 0);  // warm up the fonts of the new size
    SendMessageW(window, WM_COMMAND, kZoomOutCommand, 0);
    GdiFlush();
    double start = NowMs();
    for (int i = 0; i < kZoomSteps; i++) {
        SendMessageW(window, WM_COMMAND, i % 2 == 0 ? kZoomInCommand : kZoomOutCommand, 0);
        GdiFlush();
    }
    double zoomMs = (NowMs() - start) / kZoomSteps;
    start = NowMs();
    for (int i = 0; i < kZoomSteps; i++) {
        SetViewFont(window);
        GdiFlush();
    }
    *relayoutMs = (NowMs() - start) / kZoomSteps;
    return zoomMs;
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

// Back and Forward in turn between two places a move apart, each scrolled
// into its section as a reader leaves it: the time of one, both panes laid
// out and painted.
double BackMs(HWND window, int count) {
    const int kScrolledRows = 6;
    const uint32_t kOtherSection = 101;
    BookPlace before = CurrentPlace();
    GoToSection(window, kOtherSection);
    for (int i = 0; i < kScrolledRows; i++) SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    NoteMove(before);
    GdiFlush();
    double start = NowMs();
    for (int i = 0; i < count; i++) {
        SendMessageW(window, WM_COMMAND, i % 2 == 0 ? kBackCommand : kForwardCommand, 0);
        GdiFlush();
    }
    double backMs = (NowMs() - start) / count;
    // The figures after this one start from the section they always had.
    GoToSection(window, before.section);
    return backMs;
}

const int kDragPaneWidthPx = 1920;
const int kDragPaneHeightPx = 1080;
const int kDragMoves = 60;  // in each turn
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
    for (int i = 0; i < kTurnSteps; i++) {
        RepaintView(window, kRepaintEraseMain | kRepaintMain);
        GdiFlush();
    }
    *fullRepaintMs = (NowMs() - start) / kTurnSteps;
}

// Each theme in turn, the whole view repainted each time; beside it the
// repaint of both panes alone, without the erase of the client area.
double ThemeSwitchMs(HWND window, int count) {
    double start = NowMs();
    for (int i = 0; i < count; i++) {
        SendMessageW(window, WM_COMMAND, kCommandThemeLight + (i + 1) % 3, 0);
        GdiFlush();
    }
    double ms = (NowMs() - start) / count;
    SendMessageW(window, WM_COMMAND, kCommandThemeLight, 0);
    return ms;
}

double RepaintViewMs(HWND window, int count) {
    double start = NowMs();
    for (int i = 0; i < count; i++) {
        RepaintView(window, kRepaintAll);
        GdiFlush();
    }
    return (NowMs() - start) / count;
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

// Find All's results window for the book's most frequent pair of letters:
// first opened (made, filled and painted), then filled again with a new
// search's rows and painted, the search itself outside the time.
void BenchFindAllRows(HWND window, double* openMs, double* rowsMs) {
    memset(gApp.searchString, 0, sizeof gApp.searchString);
    strcpy((char*)gApp.searchString, kBenchFrequentPair);
    *openMs = *rowsMs = -1;
    if (RunFindAll(window) <= 0) return;
    double start = NowMs();
    HWND results = OpenFindAllWindow();
    RedrawWindow(results, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    *openMs = NowMs() - start;
    double best = 1e9;
    for (int i = 0; i < kSearches; i++) {
        RunFindAll(window);
        start = NowMs();
        RefreshFindAll();
        RedrawWindow(results, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        double ms = NowMs() - start;
        if (ms < best) best = ms;
    }
    *rowsMs = best;
    ReleaseFindAll();
    gApp.searchString[0] = 0;
}

// The book of 1,000 pairs the build packs beside the benchmark.
std::wstring ThousandPairBook() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash) slash[1] = 0;
    return std::wstring(path) + L"thousand.lvb";
}

// Opening the book file from the built-in book: loaded, every section and
// the index checked, its first section shown. -1 when it was refused.
double OpenBookMs(HWND window, const std::wstring& book) {
    GdiFlush();
    double start = NowMs();
    if (OpenBookFile(window, book.c_str()) != 0) return -1;
    GdiFlush();
    return NowMs() - start;
}

}  // namespace

namespace {

// Right-arrow steps; with `bars`, the scroll bars repainted after each too.
double StepMs(HWND window, int count, bool bars) {
    double start = NowMs();
    for (int i = 0; i < count; i++) {
        SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
        if (bars) {
            UpdateWindow(gSplit.mainScrollBar);
            UpdateWindow(gSplit.bottomScrollBar);
        }
        GdiFlush();
    }
    return (NowMs() - start) / count;
}

// Steps with the outline beside the text, its mark moved and kept in sight;
// the panel is shown for them and hidden again.
double OutlinePanelStepMs(HWND window, int count) {
    SendMessageW(window, WM_COMMAND, kOutlinePanelCommand, 0);
    UpdateWindow(window);
    DrainMessages();
    double ms = StepMs(window, count, false);
    SendMessageW(window, WM_COMMAND, kOutlinePanelCommand, 0);
    UpdateWindow(window);
    DrainMessages();
    return ms;
}

// The reader started in this process, up to its first paint; the window
// stays. Null when it could not start.
HWND StartBenchReader(double* ms) {
    ChooseBenchSettings();
    ResetSettingsSaved();
    double start = NowMs();
    HWND window = StartReader(GetModuleHandleW(nullptr), SW_SHOWNORMAL);  // returns after the first paint
    GdiFlush();
    *ms = NowMs() - start;
    return window;
}

void CloseBenchReader(HWND window) {
    DestroyWindow(window);
    EndReader();
    DrainMessages();
}

// The reader's start beside a bare window's, in turns, each in a fresh
// process (before this one has a reader window, which a second start would
// find and hand over to).
void StartupTurns(RatioTurns* turns) {
    for (int turn = 0; turn < kRatioTurns; turn++)
        AddTurn(turns, FreshProcessMs(kStartupSwitch), FreshProcessMs(kBareWindowSwitch));
}

void PrintMs(const char* name, double ms) { printf("%s: %.4f\n", name, ms); }

}  // namespace

void BenchReaderWindow() {
    RatioTurns startupTurns;
    StartupTurns(&startupTurns);
    double ms = 0;
    HWND window = StartBenchReader(&ms);
    if (!window) {
        fprintf(stderr, "reader window not created\n");
        return;
    }
    SetWindowPos(window, nullptr, 0, 0, 480, 640, SWP_NOZORDER);
    DrainMessages();
    SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);  // warm up the fonts of the styles
    GdiFlush();
    OutlinePanelStepMs(window, 1);  // the outline's fonts
    RatioTurns barsTurns, backTurns, panelTurns;
    for (int turn = 0; turn < kRatioTurns; turn++) {
        double stepMs = StepMs(window, kTurnSteps, false);
        AddTurn(&panelTurns, OutlinePanelStepMs(window, kTurnSteps), stepMs);
        // The scroll bars repaint in the next paint cycle.
        AddTurn(&barsTurns, StepMs(window, kTurnSteps, true), stepMs);
        AddTurn(&backTurns, BackMs(window, kTurnSteps), stepMs);
    }
    double wheelMs = WheelNotchMs(window);
    RatioTurns themeTurns;
    for (int turn = 0; turn < kRatioTurns; turn++)
        AddTurn(&themeTurns, ThemeSwitchMs(window, kTurnSteps), RepaintViewMs(window, kTurnSteps));
    double findNextMs = FindNextMissMs(window);
    double findAllOpenMs = 0, findAllRowsMs = 0;
    BenchFindAllRows(window, &findAllOpenMs, &findAllRowsMs);
    BenchChooserOpen(window);
    double firstFontDialogMs = FontDialogOpenMs(window);
    EmptyFontTemplateOpenMs(window);  // warm up
    RatioTurns fontTurns;
    for (int turn = 0; turn < kRatioTurns; turn++) {
        double fontDialogMs = 0, emptyFontTemplateMs = 0;
        for (int i = 0; i < kFontDialogOpenings; i++) {
            fontDialogMs += FontDialogOpenMs(window) / kFontDialogOpenings;
            emptyFontTemplateMs += EmptyFontTemplateOpenMs(window) / kFontDialogOpenings;
        }
        AddTurn(&fontTurns, fontDialogMs, emptyFontTemplateMs);
    }
    RatioTurns zoomTurns;
    for (int turn = 0; turn < kRatioTurns; turn++) {
        double relayoutMs = 0;
        double zoomMs = ZoomStepMs(window, &relayoutMs);
        AddTurn(&zoomTurns, zoomMs, relayoutMs);
    }
    // The book file after the built-in book's figures, in the same window.
    RatioTurns bookStepTurns;
    double openBookMs = 0;
    bool opened = true;
    for (int turn = 0; turn < kRatioTurns && opened; turn++) {
        double ms = OpenBookMs(window, ThousandPairBook());
        opened = ms >= 0;
        openBookMs += ms / kRatioTurns;
        double bookStepMs = StepMs(window, kTurnSteps, false);
        OpenBuiltInBook(window);
        AddTurn(&bookStepTurns, bookStepMs, StepMs(window, kTurnSteps, false));
    }
    RatioTurns dragTurns;  // last: it leaves the window large
    for (int turn = 0; turn < kRatioTurns; turn++) {
        double dragMs = 0, fullRepaintMs = 0;
        SelectDragMs(window, &dragMs, &fullRepaintMs);
        AddTurn(&dragTurns, dragMs, fullRepaintMs);
    }
    BenchAccess(window);  // last: it leaves a client connected
    CloseBenchReader(window);
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchRootKey);
    SetSettingsKeyPaths(nullptr, nullptr);
    PrintMs("startup_ms", Median(startupTurns.figures));
    PrintMs("bare_window_ms", Median(startupTurns.baselines));
    PrintMedianRatio("startup_vs_bare_window", startupTurns);
    if (opened) {
        PrintMs("open_book_ms", openBookMs);
        printf("open_book_vs_startup: %.4f\n", openBookMs / Median(startupTurns.figures));
        PrintMs("step_ms_book_file", Median(bookStepTurns.figures));
        PrintMedianRatio("step_book_file_vs_step", bookStepTurns);
    } else {
        fprintf(stderr, "the book file of 1,000 pairs did not open\n");
    }
    PrintMs("step_ms", Median(barsTurns.baselines));
    PrintMs("outline_panel_step_ms", Median(panelTurns.figures));
    PrintMedianRatio("outline_panel_step_vs_step", panelTurns);
    PrintMs("step_with_scroll_bars_ms", Median(barsTurns.figures));
    PrintMedianRatio("step_with_scroll_bars_vs_step", barsTurns);
    PrintMs("back_ms", Median(backTurns.figures));
    PrintMedianRatio("back_vs_step", backTurns);
    PrintMs("wheel_notch_ms", wheelMs);
    PrintMs("theme_switch_ms", Median(themeTurns.figures));
    PrintMs("repaint_view_ms", Median(themeTurns.baselines));
    PrintMedianRatio("theme_switch_vs_repaint_view", themeTurns);
    PrintMs("find_next_miss_ms", findNextMs);
    PrintMs("find_all_rows_ms", findAllRowsMs);
    PrintMs("find_all_window_open_ms", findAllOpenMs);
    PrintMs("select_drag_ms", Median(dragTurns.figures));
    PrintMs("select_drag_full_repaint_ms", Median(dragTurns.baselines));
    PrintMedianRatio("select_drag_vs_full_repaint", dragTurns);
    PrintMs("font_dialog_first_open_ms", firstFontDialogMs);
    PrintMs("font_dialog_open_ms", Median(fontTurns.figures));
    PrintMs("font_empty_dialog_open_ms", Median(fontTurns.baselines));
    PrintMedianRatio("font_dialog_open_vs_empty_dialog", fontTurns);
    PrintMs("zoom_step_ms", Median(zoomTurns.figures));
    PrintMs("zoom_relayout_ms", Median(zoomTurns.baselines));
    PrintMedianRatio("zoom_step_vs_relayout", zoomTurns);
}

void BenchBareWindow() { printf("%.4f\n", BareWindowMs()); }

void BenchStartupOnce() {
    double ms = -1;
    HWND window = StartBenchReader(&ms);
    printf("%.4f\n", window ? ms : -1);
    fflush(stdout);
    if (window) CloseBenchReader(window);
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchRootKey);
}

