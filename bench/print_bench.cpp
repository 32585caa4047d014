// Printing's figures: a page of the largest section with its commentary laid
// out and drawn into a 600-DPI printer context, and a preview page played
// into its window, each beside a baseline of the same run.
#include "bench/print_bench.h"

#include <stdio.h>
#include <string.h>

#include "app/app_state.h"
#include "bench/bench_clock.h"
#include "content/book_numbers.h"
#include "content/section_store.h"
#include "platform/services.h"
#include "print/print_job.h"
#include "print/print_layout.h"
#include "print/print_preview.h"
#include "tests/support/test_printer.h"

namespace {

const wchar_t kBenchPrinter[] = L"Lorvan Bench";
const int kBenchDpi = 600;
const int kTurns = 5;

// The pair whose text and commentary together are the longest.
int LargestPair() {
    int best = 1;
    uint32_t bestBytes = 0;
    for (int pair = 1; pair <= kBookPairs; pair++) {
        uint32_t bytes = 0, commentaryBytes = 0;
        int error = 0;
        uint8_t* text = LoadSectionTextWithLength(SectionOfPair(pair), &bytes, &error);
        uint8_t* commentary = LoadSectionTextWithLength(SectionOfPair(pair) + 1, &commentaryBytes, &error);
        PlatformFree(text);
        PlatformFree(commentary);
        if (bytes + commentaryBytes > bestBytes) {
            bestBytes = bytes + commentaryBytes;
            best = pair;
        }
    }
    return best;
}

HDC OpenBenchPrinter() {
    // Its port is never written: every job names its own output.
    if (!AddTestPrinter(kBenchPrinter, L"/dev/null")) return nullptr;
    DEVMODEW mode;
    memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PRINTQUALITY | DM_YRESOLUTION;
    mode.dmPrintQuality = kBenchDpi;
    mode.dmYResolution = kBenchDpi;
    return CreateDCW(L"WINSPOOL", kBenchPrinter, nullptr, &mode);
}

struct PageTimes {
    double pageMs;   // laid out and drawn, a page's share
    double emptyMs;  // StartPage and EndPage alone
    int pages;
};

PageTimes TimePrinterPages(HDC dc, const PrintChoice& choice, const FontSpec& font) {
    PageTimes best = {1e9, 1e9, 0};
    PrintMargins margins = DefaultPrintMargins();
    DOCINFOW document;
    memset(&document, 0, sizeof document);
    document.cbSize = sizeof document;
    document.lpszDocName = L"Lorvan bench";
    wchar_t output[MAX_PATH];
    GetTempPathW(MAX_PATH, output);
    wcscat(output, L"lorvan_bench.ps");
    document.lpszOutput = output;
    for (int turn = 0; turn < kTurns; turn++) {
        DeleteFileW(output);
        if (StartDocW(dc, &document) <= 0) {
            fprintf(stderr, "print bench: StartDoc failed (%lu)\n", GetLastError());
            break;
        }
        double start = NowMs();
        PrintLayout layout;
        int laidOut = LayOutForPrinter(dc, &choice, &margins, &font, &layout);
        if (laidOut != kPrintLaidOut) {
            fprintf(stderr, "print bench: no layout (%d)\n", laidOut);
            AbortDoc(dc);
            break;
        }
        for (int page = 0; page < layout.pages.pageCount; page++) {
            StartPage(dc);
            RenderPage(&layout, dc, page);
            EndPage(dc);
        }
        double pageMs = (NowMs() - start) / layout.pages.pageCount;
        best.pages = layout.pages.pageCount;
        start = NowMs();
        for (int page = 0; page < layout.pages.pageCount; page++) {
            StartPage(dc);
            EndPage(dc);
        }
        double emptyMs = (NowMs() - start) / layout.pages.pageCount;
        EndDoc(dc);
        ReleasePrintLayout(&layout);
        if (pageMs < best.pageMs) best.pageMs = pageMs;
        if (emptyMs < best.emptyMs) best.emptyMs = emptyMs;
    }
    DeleteFileW(output);
    return best;
}

struct PreviewTimes {
    double pageMs;
    double blankMs;  // the sheet and its shadow, without the page
};

PreviewTimes TimePreviewPage(HDC dc, const PrintChoice& choice, const FontSpec& font) {
    PreviewTimes best = {1e9, 1e9};
    PrintMargins margins = DefaultPrintMargins();
    PrintLayout layout;
    if (LayOutForPrinter(dc, &choice, &margins, &font, &layout) != kPrintLaidOut) return best;
    HENHMETAFILE page = RecordPreviewPage(&layout, 0);
    HWND window = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 1000, nullptr, nullptr,
                                  nullptr, nullptr);
    HDC windowDc = GetDC(window);
    RECT area = {10, 10, 790, 990};
    for (int turn = 0; turn < kTurns * 4; turn++) {
        double start = NowMs();
        DrawPreviewPage(windowDc, &area, &layout.paper, page);
        GdiFlush();
        double pageMs = NowMs() - start;
        start = NowMs();
        DrawPreviewPage(windowDc, &area, &layout.paper, nullptr);
        GdiFlush();
        double blankMs = NowMs() - start;
        if (pageMs < best.pageMs) best.pageMs = pageMs;
        if (blankMs < best.blankMs) best.blankMs = blankMs;
    }
    ReleaseDC(window, windowDc);
    DestroyWindow(window);
    DeleteEnhMetaFile(page);
    ReleasePrintLayout(&layout);
    return best;
}

}  // namespace

void BenchPrint() {
    HDC dc = OpenBenchPrinter();
    if (!dc) {
        fprintf(stderr, "no printer for the print figures\n");
        return;
    }
    int pair = LargestPair();
    PrintChoice choice = {pair, pair, kCommentaryBelow, false};
    bool substituted = false;
    FontSpec font = FontForPrinting(dc, &substituted);
    PageTimes printed = TimePrinterPages(dc, choice, font);
    PreviewTimes previewed = TimePreviewPage(dc, choice, font);
    printf("print_dpi: %d\n", GetDeviceCaps(dc, LOGPIXELSY));
    printf("print_pages_of_largest_pair: %d\n", printed.pages);
    printf("print_page_ms: %.4f\n", printed.pageMs);
    printf("print_empty_page_ms: %.4f\n", printed.emptyMs);
    if (printed.emptyMs > 0) printf("print_page_vs_empty_page: %.4f\n", printed.pageMs / printed.emptyMs);
    printf("preview_page_ms: %.4f\n", previewed.pageMs);
    printf("preview_blank_page_ms: %.4f\n", previewed.blankMs);
    if (previewed.blankMs > 0) printf("preview_page_vs_blank_page: %.4f\n", previewed.pageMs / previewed.blankMs);
    ReleaseTextBuffers();
    DeleteDC(dc);
}
