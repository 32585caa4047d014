// The outline of the section chooser: its layout alone, and the chooser
// opened by its command up to the end of its first paint.
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "bench/bench_clock.h"
#include "bench/index_bench.h"
#include "content/section_store.h"
#include "navigation/index_records.h"
#include "navigation/section_chooser.h"
#include "navigation/section_grid.h"
#include "navigation/section_outline.h"
#include "platform/dialog_shell.h"
#include "platform/services.h"
#include "tests/support/first_paint_watch.h"

namespace {

const int kBookmarks = 20;
const int kLayoutRounds = 200;
const int kOpenRounds = 4;  // in each turn
const uint16_t kRevealedSection = 201;  // in a branch the stored index shows closed
const WPARAM kCommandChoose = 119;

void LayOutOnce(HDC dc, const uint16_t* bookmarks) {
    uint32_t indexBytes = 0;
    uint8_t* index = LoadSectionTextWithLength(kIndexSectionNumber, &indexBytes, nullptr);
    IndexText text = PrependBookmarkGroup(bookmarks, kBookmarks, IndexText{index, index ? indexBytes : 0});
    RECT rect = {0, 0, 240, 320};
    SectionGrid* grid = CreateSectionGrid(dc, &rect, &gApp.font, 100);
    if (LayoutIndex(grid, text, false) == kGridRefused) PlatformFree(text.bytes);
    RevealSection(grid, kRevealedSection);
    DestroySectionGrid(grid, true);
}

// The chooser's first paint is over when the next message after it is taken
// from the queue; then it is closed.
void StopClock(HWND dialog, void* endMs) {
    *(double*)endMs = NowMs();
    CancelDialog(dialog, nullptr);
}

// Mean milliseconds from `open` to the end of the chooser's first paint.
double MeanOpenMs(void (*open)(void*), HWND reader, int rounds) {
    double totalMs = 0;
    int opened = 0;
    for (int i = 0; i < rounds; i++) {
        double endMs = 0;
        double start = NowMs();
        if (!ActAfterFirstPaint(L"Choose Section", open, reader, StopClock, &endMs, 0)) continue;
        totalMs += endMs - start;
        opened++;
    }
    return opened ? totalMs / opened : -1;
}

void OpenChooser(void* reader) { SendMessageW((HWND)reader, WM_COMMAND, kCommandChoose, 0); }
void OpenEmptyDialog(void* reader) {
    RunDialogTemplate(GetModuleHandleW(nullptr), kChooseSectionDialog, (HWND)reader, EmptyDialogProc, 0);
}

}  // namespace

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || LOWORD(wParam) != IDCANCEL) return 0;
    EndDialog(dialog, IDCANCEL);
    return 1;
}

void BenchIndexLayout() {
    uint16_t bookmarks[kBookmarks + 1];
    for (int i = 0; i < kBookmarks; i++) bookmarks[i] = (uint16_t)(1 + 18 * i);
    bookmarks[kBookmarks] = 0;
    HDC dc = CreateCompatibleDC(nullptr);
    FontSpec saved = gApp.font;
    memset(&gApp.font, 0, sizeof gApp.font);
    wcscpy(gApp.font.faceName, L"DejaVu Sans");
    gApp.font.size = 17;
    gApp.font.letterBase = kLetterBaseUnicode;
    LayOutOnce(dc, bookmarks);  // warm up
    double start = NowMs();
    for (int i = 0; i < kLayoutRounds; i++) LayOutOnce(dc, bookmarks);
    printf("index_layout_ms: %.4f\n", (NowMs() - start) / kLayoutRounds);
    gApp.font = saved;
    DeleteDC(dc);
}

void BenchChooserOpen(HWND reader) {
    MeanOpenMs(OpenChooser, reader, 1);  // warm up
    MeanOpenMs(OpenEmptyDialog, reader, 1);
    RatioTurns turns;
    for (int turn = 0; turn < kRatioTurns; turn++) {
        double chooserMs = MeanOpenMs(OpenChooser, reader, kOpenRounds);
        AddTurn(&turns, chooserMs, MeanOpenMs(OpenEmptyDialog, reader, kOpenRounds));
    }
    printf("chooser_open_ms: %.4f\n", Median(turns.figures));
    printf("empty_dialog_open_ms: %.4f\n", Median(turns.baselines));
    PrintMedianRatio("chooser_open_vs_empty_dialog", turns);
}
