// Benchmark of the reader's hot paths. Prints one figure per line as
// "name: value" with the unit in the name. Speeds are also given as ratios
// against a baseline measured in the same run, since these machines are noisy.
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>
#include <string.h>

#include <vector>

#include "app/app_state.h"
#include "bench/bench_canvas.h"
#include "bench/bench_clock.h"
#include "bench/copy_bench.h"
#include "bench/index_bench.h"
#include "bench/print_bench.h"
#include "bench/reader_bench.h"
#include "content/book_numbers.h"
#include "content/palmdoc.h"
#include "content/section_store.h"
#include "navigation/find_all.h"
#include "navigation/search.h"
#include "panes/pane_paint.h"
#include "panes/text_layout.h"
#include "panes/text_pane.h"
#include "platform/services.h"

namespace {

struct SectionBlock {
    const uint8_t* block;
    uint32_t blockLength;
    uint32_t expandedLength;
};

double NowSeconds() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

// Expanded bytes over compressed bytes across every resource found.
double CompressionRatio(const std::vector<SectionBlock>& sections) {
    double expanded = 0, compressed = 0;
    for (const SectionBlock& section : sections) {
        expanded += section.expandedLength;
        compressed += (double)(section.block[0] << 8 | section.block[1]);
    }
    return compressed > 0 ? expanded / compressed : 0;
}

std::vector<SectionBlock> BookSections() {
    std::vector<SectionBlock> sections;
    for (int id = 1001; id <= 0xFFFF; id++) {
        const uint8_t* bytes = nullptr;
        uint32_t size = 0;
        if (FindRawDataResource((uint16_t)id, &bytes, &size) != kResourceFound || size < 10) continue;
        uint32_t blockLength = (uint32_t)(bytes[0] << 8 | bytes[1]);
        if (blockLength > size - kSectionHeaderBytes) continue;
        sections.push_back({bytes + kSectionHeaderBytes, blockLength, (uint32_t)(bytes[8] << 8 | bytes[9])});
    }
    return sections;
}

// Expands every section `rounds` times; returns the expanded MB per second.
double ExpandSpeed(const std::vector<SectionBlock>& sections, int rounds) {
    double bytes = 0;
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        for (const SectionBlock& section : sections) {
            uint8_t* text = ExpandSectionBlock(section.block, section.blockLength, nullptr);
            if (!text) continue;
            bytes += section.expandedLength;
            PlatformFree(text);
        }
    }
    return bytes / (NowSeconds() - start) / 1e6;
}

// The expansion alone, into one reused buffer: what the allocation costs.
double ExpandOnlySpeed(const std::vector<SectionBlock>& sections, int rounds) {
    std::vector<uint8_t> target(70000);
    double bytes = 0;
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        for (const SectionBlock& section : sections) {
            const uint8_t* block = section.block;
            size_t streamLength = (size_t)(block[0] << 8 | block[1]);
            bytes += (double)ExpandPalmDoc(block + kStreamHeaderBytes, streamLength, target.data(),
                                           section.expandedLength);
        }
    }
    return bytes / (NowSeconds() - start) / 1e6;
}

// The ceiling: a memcpy of the same expanded bytes, section by section.
double CopySpeed(const std::vector<SectionBlock>& sections, int rounds) {
    std::vector<std::vector<uint8_t>> texts;
    for (const SectionBlock& section : sections) {
        uint8_t* text = ExpandSectionBlock(section.block, section.blockLength, nullptr);
        texts.emplace_back(text, text + (text ? section.expandedLength : 0));
        PlatformFree(text);
    }
    std::vector<uint8_t> target(70000);
    volatile uint8_t sink = 0;
    double bytes = 0;
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        for (const std::vector<uint8_t>& text : texts) {
            memcpy(target.data(), text.data(), text.size());
            sink = sink + target[text.size() / 2];
            bytes += (double)text.size();
        }
    }
    return bytes / (NowSeconds() - start) / 1e6;
}

void PrintFigure(const char* name, double value) { printf("%s: %.4f\n", name, value); }

// ---- Layout and painting -------------------------------------------------------

const int kPaneHeightPx = 320;

std::vector<uint8_t*> ExpandAll(const std::vector<SectionBlock>& sections) {
    std::vector<uint8_t*> texts;
    for (const SectionBlock& section : sections) {
        uint8_t* text = ExpandSectionBlock(section.block, section.blockLength, nullptr);
        if (text) texts.push_back(text);
    }
    return texts;
}

TextPane* CreateBenchPane(HDC dc, int widthPx) {
    RECT rect = {0, 0, widthPx, kPaneHeightPx};
    return CreateTextPane(dc, &rect, &gApp.font, kPaneInitialLines);
}

// The pane lays out texts it does not own; it must not free them.
void DestroyBenchPane(TextPane* pane) {
    pane->text = nullptr;
    DestroyTextPane(pane);
}

// Milliseconds per section for laying every section out at `widthPx`; also
// counts the lines made in one round.
double LayoutMs(HDC dc, const std::vector<uint8_t*>& texts, int widthPx, int rounds, double* linesPerSection) {
    TextPane* pane = CreateBenchPane(dc, widthPx);
    double lines = 0;
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        for (uint8_t* text : texts) {
            LayoutSection(pane, text, 0);
            if (r == 0) lines += pane->lineCount;
        }
    }
    double elapsed = NowSeconds() - start;
    DestroyBenchPane(pane);
    *linesPerSection = lines / (double)texts.size();
    return elapsed * 1000.0 / ((double)rounds * (double)texts.size());
}

// Milliseconds per full paint (erase and every row that fits) of a 240 x 320
// pane, over the first page of every section.
double PaintMs(HDC dc, const std::vector<uint8_t*>& texts, int paintsPerSection) {
    TextPane* pane = CreateBenchPane(dc, 240);
    double elapsed = 0;
    int paints = 0;
    for (uint8_t* text : texts) {
        if (LayoutSection(pane, text, 0) != kLayoutDone) continue;
        pane->firstRow = 0;
        double start = NowSeconds();
        for (int i = 0; i < paintsPerSection; i++) PaintPane(pane, 1);
        elapsed += NowSeconds() - start;
        paints += paintsPerSection;
    }
    DestroyBenchPane(pane);
    return paints ? elapsed * 1000.0 / paints : 0;
}

// One reversed paragraph of about 30000 letters: a line must not cost in
// proportion to what is left of its paragraph.
uint8_t* LongParagraphSection() {
    const size_t textBytes = 30000;
    uint8_t* text = (uint8_t*)PlatformAlloc(textBytes + 6);
    text[0] = 0xB0;
    text[1] = 0;
    uint32_t state = 12345;
    for (size_t i = 2; i < textBytes + 2; i++) {
        state = state * 1664525u + 1013904223u;
        text[i] = (state >> 24) % 6 == 0 ? ' ' : (uint8_t)(0x61 + (state >> 8) % 27);
    }
    memset(text + textBytes + 2, 0, 4);
    return text;
}

// The baseline: one platform measurement of a line's worth of Hebrew.
double ExtentCallUs(HDC dc, int calls) {
    wchar_t line[41];
    for (int i = 0; i < 40; i++) line[i] = (wchar_t)(i % 6 == 5 ? L' ' : 0x5D0 + i % 27);
    line[40] = 0;
    TextPane* pane = CreateBenchPane(dc, 240);
    HFONT saved = SelectStyleFont(pane, 1);
    int fit = 0;
    SIZE size;
    double start = NowSeconds();
    for (int i = 0; i < calls; i++) GetTextExtentExPointW(dc, line, 40, 240, &fit, nullptr, &size);
    double elapsed = NowSeconds() - start;
    SelectObject(dc, saved);
    DestroyBenchPane(pane);
    return elapsed * 1e6 / calls;
}

void BenchPanes(const std::vector<SectionBlock>& sections) {
    wcscpy(gApp.font.faceName, L"David CLM");
    gApp.font.size = 18;
    gApp.font.letterBase = kLetterBaseUnicode;
    gApp.flags = kFlagsDefault;
    std::vector<uint8_t*> texts = ExpandAll(sections);
    BenchCanvas canvas = CreateCanvas(480, kPaneHeightPx);

    double lines240 = 0, lines480 = 0;
    LayoutMs(canvas.dc, texts, 240, 1, &lines240);  // warm up fonts and buffers
    double layout480 = LayoutMs(canvas.dc, texts, 480, 5, &lines480);
    double paint = PaintMs(canvas.dc, texts, 5);
    std::vector<uint8_t*> longSection = {LongParagraphSection()};
    double longLines = 0;
    // Microseconds a laid-out line beside one measuring call, in turns.
    RatioTurns lineTurns, longLineTurns;
    for (int turn = 0; turn < kRatioTurns; turn++) {
        double layout240 = LayoutMs(canvas.dc, texts, 240, 2, &lines240);
        double longLayout = LayoutMs(canvas.dc, longSection, 240, 2, &longLines);
        double extentUs = ExtentCallUs(canvas.dc, 6000);
        AddTurn(&lineTurns, layout240 * 1000.0 / lines240, extentUs);
        AddTurn(&longLineTurns, longLayout * 1000.0 / longLines, extentUs);
    }
    PrintFigure("layout_ms_per_section_240", Median(lineTurns.figures) * lines240 / 1000.0);
    PrintFigure("layout_ms_per_section_480", layout480);
    PrintFigure("paint_ms_240x320", paint);
    PrintFigure("layout_lines_per_section_240", lines240);
    PrintFigure("layout_lines_per_section_480", lines480);
    PrintFigure("extent_call_us", Median(lineTurns.baselines));
    // How many measuring calls one laid-out line costs: between 1 and 2 when
    // each line is measured once, and again only after a break moves back.
    PrintMedianRatio("layout_240_line_vs_extent_call", lineTurns);
    PrintFigure("layout_ms_long_paragraph_240", Median(longLineTurns.figures) * longLines / 1000.0);
    PrintMedianRatio("layout_long_paragraph_line_vs_extent_call", longLineTurns);
    PlatformFree(longSection[0]);

    DestroyCanvas(&canvas);
    for (uint8_t* text : texts) PlatformFree(text);
}

// ---- Search ------------------------------------------------------------------

// Milliseconds to load and expand every section of the book once.
double ExpandBookMs(int rounds) {
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        for (int section = kFirstSection; section <= kLastBookSection; section++)
            PlatformFree(LoadSectionText(section, nullptr));
    }
    return (NowSeconds() - start) * 1000.0 / rounds;
}

// Milliseconds for a search that matches nowhere, as FindNext makes it: the
// start section from its text, then every other section loaded, expanded,
// listed and matched. False when the pattern was found after all.
bool SearchMissMs(int rounds, double* ms) {
    SearchPattern pattern = {(const uint8_t*)kBenchMissingSearch, (int)strlen(kBenchMissingSearch), 0};
    bool missed = true;
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        uint8_t* text = LoadSectionText(kFirstSection, nullptr);
        int length = 0;
        missed = missed && FindInSectionText(text, kUnboundedWalk, 0, &pattern, PlatformAlloc, &length) == 0;
        PlatformFree(text);
        SectionMatch match;
        missed = missed && ScanOtherSections(kFirstSection, kSearchForward, false, &pattern, &match) == kScanBackAtStart;
    }
    *ms = (NowSeconds() - start) * 1000.0 / rounds;
    return missed;
}

// Milliseconds for Find All of a frequent pattern over the whole book: every
// section loaded and expanded, every match listed, the texts with matches
// kept and then freed.
double FindAllMs(int rounds, uint32_t* matches) {
    SearchPattern pattern = {(const uint8_t*)kBenchFrequentPair, (int)strlen(kBenchFrequentPair), 0};
    FindAllResults results = {};
    double start = NowSeconds();
    for (int r = 0; r < rounds; r++) {
        FindAllInBook(&pattern, PlatformAlloc, &results);
        *matches = results.count;
        FreeFindAllResults(&results);
    }
    return (NowSeconds() - start) * 1000.0 / rounds;
}

// In turns, each turn timing all three, so that the figures of the ratios
// see the same load on the machine.
void BenchSearch() {
    ExpandBookMs(2);  // warm up
    RatioTurns missTurns, findAllTurns;
    uint32_t matches = 0;
    bool missed = true;
    for (int turn = 0; turn < kRatioTurns; turn++) {
        double expandMs = ExpandBookMs(3);
        double missMs = 0;
        missed = SearchMissMs(3, &missMs) && missed;
        double findAllMs = FindAllMs(3, &matches);
        AddTurn(&missTurns, missMs, expandMs);
        AddTurn(&findAllTurns, findAllMs, expandMs);
    }
    if (!missed) fprintf(stderr, "the missing word was found\n");
    PrintFigure("expand_book_ms", Median(missTurns.baselines));
    PrintFigure("search_miss_ms", Median(missTurns.figures));
    PrintMedianRatio("search_vs_expand", missTurns);
    PrintFigure("find_all_ms", Median(findAllTurns.figures));
    PrintFigure("find_all_matches", matches);
    PrintMedianRatio("find_all_vs_expand", findAllTurns);
}

}  // namespace

int main() {
    int argumentCount = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
    const wchar_t* childSwitch = arguments && argumentCount == 2 ? arguments[1] : L"";
    bool bareWindow = wcscmp(childSwitch, kBareWindowSwitch) == 0;
    bool startup = wcscmp(childSwitch, kStartupSwitch) == 0;
    bool printOnly = wcscmp(childSwitch, kPrintOnlySwitch) == 0;
    LocalFree(arguments);
    if (bareWindow) BenchBareWindow();
    if (startup) BenchStartupOnce();
    if (printOnly) BenchPrint();
    if (bareWindow || startup || printOnly) return 0;
    std::vector<SectionBlock> sections = BookSections();
    if (sections.empty()) {
        fprintf(stderr, "no section resources\n");
        return 1;
    }
    printf("sections: %u\n", (unsigned)sections.size());
    ExpandSpeed(sections, 5);  // warm up
    RatioTurns expandTurns;
    for (int turn = 0; turn < kRatioTurns; turn++)
        AddTurn(&expandTurns, ExpandSpeed(sections, 30), CopySpeed(sections, 200));
    PrintFigure("expand_mb_per_s", Median(expandTurns.figures));
    PrintFigure("expand_no_alloc_mb_per_s", ExpandOnlySpeed(sections, 200));
    PrintFigure("memcpy_mb_per_s", Median(expandTurns.baselines));
    PrintMedianRatio("expand_vs_memcpy", expandTurns);
    PrintFigure("compression_ratio", CompressionRatio(sections));
    BenchPanes(sections);
    BenchCopy();
    BenchIndexLayout();
    BenchSearch();
    // Printing before the reader's window: its close marks the program as ending.
    BenchPrint();
    BenchReaderWindow();
    return 0;
}
