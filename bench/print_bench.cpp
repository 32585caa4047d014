// Printing's figures: a page of the largest section with its commentary laid
// out and drawn into a 600-DPI printer context, and a preview page played
// into its window, each beside a baseline of the same run.
#include "bench/print_bench.h"

#include <stdio.h>
#include <string.h>

#include "app/app_state.h"
#include "bench/bench_canvas.h"
#include "bench/bench_clock.h"
#include "content/book_numbers.h"
#include "content/section_store.h"
#include "platform/services.h"
#include "print/print_job.h"
#include "print/print_layout.h"
#include "print/print_preview.h"
#include "panes/pane_paint.h"
#include "panes/text_layout.h"
#include "platform/dpi.h"
#include "tests/support/test_printer.h"

namespace {

const wchar_t kBenchPrinter[] = L"Lorvan Bench";
const int kBenchDpi = 600;

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

void PrintFigure(const char* name, double value) { printf("%s: %.4f\n", name, value); }

// One pair laid out and drawn into the printer's context, a page's share.
double PrinterPageMs(HDC dc, const PrintChoice& choice, const FontSpec& font, int* pages) {
    PrintMargins margins = DefaultPrintMargins();
    wchar_t output[MAX_PATH];
    GetTempPathW(MAX_PATH, output);
    wcscat(output, L"lorvan_bench.ps");
    DeleteFileW(output);
    DOCINFOW document;
    memset(&document, 0, sizeof document);
    document.cbSize = sizeof document;
    document.lpszDocName = L"Lorvan bench";
    document.lpszOutput = output;
    if (StartDocW(dc, &document) <= 0) {
        fprintf(stderr, "print bench: StartDoc failed (%lu)\n", GetLastError());
        return -1;
    }
    double start = NowMs();
    PrintLayout layout;
    int laidOut = LayOutForPrinter(dc, &choice, &margins, &font, &layout);
    if (laidOut != kPrintLaidOut) {
        fprintf(stderr, "print bench: no layout (%d)\n", laidOut);
        AbortDoc(dc);
        return -1;
    }
    for (int page = 0; page < layout.pages.pageCount; page++) {
        StartPage(dc);
        RenderPage(&layout, dc, page);
        EndPage(dc);
    }
    *pages = layout.pages.pageCount;
    double pageMs = (NowMs() - start) / layout.pages.pageCount;
    EndDoc(dc);
    ReleasePrintLayout(&layout);
    DeleteFileW(output);
    return pageMs;
}

// The baseline: the same pair as the reader shows it, both sections laid out
// and painted in panes of a 96-DPI page of the same width in inches.
double ScreenPageMs(const PrintChoice& choice, const FontSpec& font, int paperWidthInches100) {
    int widthPx = paperWidthInches100 * 96 / 100;
    BenchCanvas canvas = CreateCanvas(widthPx, 1000);
    double start = NowMs();
    for (int section = SectionOfPair(choice.firstPair); section <= SectionOfPair(choice.firstPair) + 1; section++) {
        RECT area = {0, 0, widthPx, 1000};
        TextPane* pane = CreateTextPane(canvas.dc, &area, &font, kPaneInitialLines);
        int error = 0;
        if (pane) LayoutSection(pane, LoadSectionText(section, &error), 1);
        if (pane) PaintPane(pane, 1);
        DestroyTextPane(pane);
    }
    double pageMs = NowMs() - start;
    DestroyCanvas(&canvas);
    return pageMs;
}

// A preview page played into a window, against showing the same page as a
// finished image.
void PreviewTurn(HDC windowDc, const RECT& area, const PaperMetrics& paper, HENHMETAFILE page, HDC image,
                 RatioTurns* turns) {
    double start = NowMs();
    DrawPreviewPage(windowDc, &area, &paper, page);
    GdiFlush();
    double pageMs = NowMs() - start;
    start = NowMs();
    BitBlt(windowDc, area.left, area.top, area.right - area.left, area.bottom - area.top, image, 0, 0, SRCCOPY);
    GdiFlush();
    AddTurn(turns, pageMs, NowMs() - start);
}

void BenchPreview(HDC dc, const PrintChoice& choice, const FontSpec& font) {
    PrintMargins margins = DefaultPrintMargins();
    PrintLayout layout;
    if (LayOutForPrinter(dc, &choice, &margins, &font, &layout) != kPrintLaidOut) return;
    HENHMETAFILE page = RecordPreviewPage(&layout, 0);
    HWND window = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 1000, nullptr, nullptr,
                                  nullptr, nullptr);
    HDC windowDc = GetDC(window);
    RECT area = {10, 10, 790, 990};
    BenchCanvas image = CreateCanvas(area.right - area.left, area.bottom - area.top);
    RECT imageArea = {0, 0, image.widthPx, image.heightPx};
    DrawPreviewPage(image.dc, &imageArea, &layout.paper, page);
    RatioTurns turns;
    for (int turn = 0; turn < kRatioTurns; turn++) PreviewTurn(windowDc, area, layout.paper, page, image.dc, &turns);
    PrintFigure("preview_page_ms", Median(turns.figures));
    PrintFigure("preview_blit_page_ms", Median(turns.baselines));
    PrintMedianRatio("preview_page_vs_blit_page", turns);
    DestroyCanvas(&image);
    ReleaseDC(window, windowDc);
    DestroyWindow(window);
    DeleteEnhMetaFile(page);
    ReleasePrintLayout(&layout);
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
    FontSpec font = FontForPrinting(dc, nullptr);
    FontSpec screenFont = font;
    screenFont.dpi = kBaseDpi;
    int paperInches100 = GetDeviceCaps(dc, PHYSICALWIDTH) * 100 / GetDeviceCaps(dc, LOGPIXELSX);
    int pages = 0;
    RatioTurns turns;
    for (int turn = 0; turn < kRatioTurns; turn++)
        AddTurn(&turns, PrinterPageMs(dc, choice, font, &pages), ScreenPageMs(choice, screenFont, paperInches100));
    printf("print_dpi: %d\n", GetDeviceCaps(dc, LOGPIXELSY));
    printf("print_pages_of_largest_pair: %d\n", pages);
    PrintFigure("print_page_ms", Median(turns.figures));
    PrintFigure("screen_page_ms", Median(turns.baselines));
    PrintMedianRatio("print_page_vs_screen_page", turns);
    BenchPreview(dc, choice, font);
    ReleaseTextBuffers();
    DeleteDC(dc);
}
