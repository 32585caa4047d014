// Sections laid out on a printer's pages and drawn there.
#include "print/print_layout.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "content/book_numbers.h"
#include "content/section_heading.h"
#include "content/section_records.h"
#include "content/section_store.h"
#include "panes/pane_paint.h"
#include "panes/text_layout.h"
#include "platform/dpi.h"
#include "platform/services.h"

namespace {

const int kPointsPerInch = 72;
const int32_t kSizeWhenUnchosen = 12;  // points, when the platform was left to choose
const COLORREF kInk = RGB(0, 0, 0);
// Sizes of the page's furniture in pixels at 96 DPI, drawn at the font's resolution.
const int kColumnGap96 = 24;
const int kBlockGap96 = 12;
const int kRule96 = 1;
const int kFooterChars = 48;

int Abs(int value) { return value < 0 ? -value : value; }

}  // namespace

FontSpec PrintFontSpec(const FontSpec* readerFont, int dpiY) {
    FontSpec spec = *readerFont;
    int32_t points = readerFont->size ? Abs(readerFont->size) : kSizeWhenUnchosen;
    int pointDpi = MulDiv(dpiY, kBaseDpi, kPointsPerInch);
    spec.letterHeight = true;  // a size in points is the letters' height
    if (pointDpi <= kMaxDpi) {
        spec.size = points;
        spec.dpi = pointDpi;
    } else {
        // Past the highest resolution a size scales for, the points are made
        // 96-DPI pixels first (a printer finer than kMaxDpi prints a little small).
        spec.size = MulDiv(points, kBaseDpi, kPointsPerInch);
        spec.dpi = dpiY < kMaxDpi ? dpiY : kMaxDpi;
    }
    return spec;
}

PaperMetrics ReadPaperMetrics(HDC dc) {
    PaperMetrics paper;
    paper.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    paper.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    paper.paperWidthPx = GetDeviceCaps(dc, PHYSICALWIDTH);
    paper.paperHeightPx = GetDeviceCaps(dc, PHYSICALHEIGHT);
    paper.offsetXPx = GetDeviceCaps(dc, PHYSICALOFFSETX);
    paper.offsetYPx = GetDeviceCaps(dc, PHYSICALOFFSETY);
    paper.printableWidthPx = GetDeviceCaps(dc, HORZRES);
    paper.printableHeightPx = GetDeviceCaps(dc, VERTRES);
    // A context that is not a printer's (a screen's) has no paper: its area is all there is.
    if (paper.paperWidthPx <= 0) paper.paperWidthPx = paper.printableWidthPx;
    if (paper.paperHeightPx <= 0) paper.paperHeightPx = paper.printableHeightPx;
    return paper;
}

// ---- Laying out ------------------------------------------------------------------

namespace {

struct LayoutRun {
    PrintLayout* layout;
    int failure;  // why a block could not be laid out
};

bool LineIn(const TextLine& line, const uint8_t* text, const TitleLine& title) {
    if (!title.length) return false;
    int start = (int)(title.text - text);
    return line.offset >= start && line.offset <= start + title.length;
}

// Titles, and large bold type, head what follows them.
bool IsHeadingLine(const TextLine& line, const uint8_t* text, const TitleLine& title, const TitleLine& subtitle) {
    if (IsSpacerRecord(line.flags)) return false;
    if ((line.flags & (kFlagLarge | kFlagBold)) == (kFlagLarge | kFlagBold)) return true;
    return LineIn(line, text, title) || LineIn(line, text, subtitle);
}

MeasuredLine* MeasureLines(const TextPane* pane) {
    MeasuredLine* lines = (MeasuredLine*)PlatformAlloc(sizeof(MeasuredLine) * ((size_t)pane->lineCount + 1));
    if (!lines) return nullptr;
    TitleLine title, subtitle;
    FindSectionTitles(pane->text, &title, &subtitle);
    for (int i = 0; i < pane->lineCount; i++) {
        const TextLine& line = pane->lines[i];
        lines[i].heightPx = line.height;
        lines[i].blankRowAfter = (line.flags & kFlagParagraphEnd) ? 1 : 0;
        lines[i].heading = IsHeadingLine(line, pane->text, title, subtitle) ? 1 : 0;
    }
    return lines;
}

bool KeepBlock(PrintLayout* layout, TextPane* pane, MeasuredLine* lines) {
    if (layout->blockCount == layout->blockCapacity) {
        int32_t capacity = layout->blockCapacity ? layout->blockCapacity * 2 : 16;
        PrintBlockLayout* blocks = (PrintBlockLayout*)PlatformAlloc(sizeof(PrintBlockLayout) * (size_t)capacity);
        if (!blocks) return false;
        if (layout->blockCount) memcpy(blocks, layout->blocks, sizeof(PrintBlockLayout) * (size_t)layout->blockCount);
        PlatformFree(layout->blocks);
        layout->blocks = blocks;
        layout->blockCapacity = capacity;
    }
    layout->blocks[layout->blockCount].pane = pane;
    layout->blocks[layout->blockCount].lines = lines;
    layout->blockCount++;
    return true;
}

// The measurer of the pages: the section in a pane of the printer's own, as
// wide as its column, laid out by the panes' layout.
int LayOutBlock(void* context, int section, int32_t columnLeft, int32_t widthPx, const MeasuredLine** lines) {
    LayoutRun* run = (LayoutRun*)context;
    PrintLayout* layout = run->layout;
    int error = 0;
    uint8_t* text = LoadSectionText(section, &error);
    if (!text) {
        run->failure = kPrintSectionMissing;
        return -1;
    }
    const PrintRect& body = layout->frame.body;
    RECT column = {columnLeft, body.top, columnLeft + widthPx, body.bottom};
    TextPane* pane = CreateTextPane(layout->measureDc, &column, &layout->font, 0);
    if (!pane) {
        PlatformFree(text);
        run->failure = kPrintOutOfMemory;
        return -1;
    }
    pane->columnMode = 0;  // the page's margins are the paper's; the column is the pane
    int result = LayoutSection(pane, text, 1);  // takes `text`, or frees it when refused
    MeasuredLine* measured = result == kLayoutDone ? MeasureLines(pane) : nullptr;
    if (!measured || !KeepBlock(layout, pane, measured)) {
        PlatformFree(measured);
        DestroyTextPane(pane);
        run->failure = result == kLayoutDone || result == kLayoutNoMemory ? kPrintOutOfMemory : kPrintSectionMissing;
        return -1;
    }
    *lines = measured;
    return pane->lineCount;
}

int TextHeightPx(HDC dc, HFONT font) {
    HGDIOBJ saved = SelectObject(dc, font);
    TEXTMETRICW metrics;
    int heightPx = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
    SelectObject(dc, saved);
    return heightPx;
}

bool PlanFrame(PrintLayout* layout, const PrintMargins* margins) {
    PrintRect inside = MarginRect(&layout->paper, margins);
    if (inside.right <= inside.left || inside.bottom <= inside.top) return false;
    int textPx = layout->furnitureFont ? TextHeightPx(layout->measureDc, layout->furnitureFont) : 0;
    layout->rulePx = ScalePx(kRule96, layout->font.dpi);
    int gapPx = textPx / 2;
    layout->frame = SplitPageFrame(inside, textPx + gapPx / 2 + layout->rulePx, textPx, gapPx);
    return layout->frame.body.bottom > layout->frame.body.top;
}

int ResultOfPagination(int paginated, int failure) {
    switch (paginated) {
    case kPaginated: return kPrintLaidOut;
    case kPaginateBadChoice: return kPrintBadChoice;
    case kPaginateNoRoom: return kPrintNoRoom;
    case kPaginateLayoutFailed: return failure ? failure : kPrintSectionMissing;
    default: return kPrintOutOfMemory;
    }
}

}  // namespace

int LayOutForPrinter(HDC dc, const PrintChoice* choice, const PrintMargins* margins, const FontSpec* font,
                     PrintLayout* layout) {
    memset(layout, 0, sizeof *layout);
    layout->measureDc = dc;
    layout->paper = ReadPaperMetrics(dc);
    layout->font = PrintFontSpec(font, layout->paper.dpiY);
    layout->furnitureFont = CreateStyleFont(&layout->font, kFlagSmall);
    if (!PlanFrame(layout, margins)) {
        ReleasePrintLayout(layout);
        return kPrintNoRoom;
    }
    LayoutRun run = {layout, 0};
    PrintMeasurer measurer = {&run, LayOutBlock};
    PageSpacing spacing = {ScalePx(kColumnGap96, layout->font.dpi), ScalePx(kBlockGap96, layout->font.dpi)};
    int result = ResultOfPagination(Paginate(&measurer, choice, layout->frame.body, spacing, &layout->pages),
                                    run.failure);
    if (result != kPrintLaidOut) ReleasePrintLayout(layout);
    return result;
}

void ReleasePrintLayout(PrintLayout* layout) {
    for (int32_t i = 0; i < layout->blockCount; i++) {
        DestroyTextPane(layout->blocks[i].pane);
        PlatformFree(layout->blocks[i].lines);
    }
    PlatformFree(layout->blocks);
    FreePrintPages(&layout->pages);
    if (layout->furnitureFont) DeleteObject(layout->furnitureFont);
    memset(layout, 0, sizeof *layout);
}

// ---- Drawing ------------------------------------------------------------------

namespace {

const uint8_t* PairText(const PrintLayout* layout, int pair) {
    int section = SectionOfPair(pair);
    for (int32_t i = 0; i < layout->blockCount; i++) {
        if (layout->pages.blocks[i].section == section) return layout->blocks[i].pane->text;
    }
    return nullptr;
}

void DrawTextAt(HDC dc, const wchar_t* text, int count, int x, int y, const PrintRect& clip) {
    RECT area = {clip.left, clip.top, clip.right, clip.bottom};
    ExtTextOutW(dc, x, y, ETO_CLIPPED | ETO_IGNORELANGUAGE, &area, text, (UINT)count, nullptr);
}

// The heading at the right, where a Hebrew line begins, and a rule under it.
void DrawHeader(PrintLayout* layout, HDC dc, const PrintPage& page) {
    const PrintRect& header = layout->frame.header;
    wchar_t heading[kSectionHeadingChars];
    int section = SectionOfPair(page.pair);
    int count = FittedSectionHeading(dc, PairText(layout, page.pair), section, header.right - header.left, heading,
                                     kSectionHeadingChars);
    int widthPx = TextWidthPx(dc, heading, count, nullptr);
    DrawTextAt(dc, heading, count, header.right - widthPx, header.top, header);
    RECT rule = {header.left, header.bottom - layout->rulePx, header.right, header.bottom};
    FillRect(dc, &rule, (HBRUSH)GetStockObject(BLACK_BRUSH));
}

void DrawFooter(PrintLayout* layout, HDC dc, int index) {
    const PrintRect& footer = layout->frame.footer;
    wchar_t text[kFooterChars];
    int count = swprintf(text, kFooterChars, L"page %d of %d", index + 1, (int)layout->pages.pageCount);
    int widthPx = TextWidthPx(dc, text, count, nullptr);
    DrawTextAt(dc, text, count, footer.left + (footer.right - footer.left - widthPx) / 2, footer.top, footer);
}

}  // namespace

void RenderPage(PrintLayout* layout, HDC dc, int index) {
    if (index < 0 || index >= layout->pages.pageCount) return;
    const PrintPage& page = layout->pages.pages[index];
    int savedMode = SetBkMode(dc, TRANSPARENT);
    COLORREF savedColour = SetTextColor(dc, kInk);
    HGDIOBJ savedFont = SelectObject(dc, layout->furnitureFont);
    DrawHeader(layout, dc, page);
    DrawFooter(layout, dc, index);
    SelectObject(dc, savedFont);
    for (int32_t i = 0; i < page.lineCount; i++) {
        const PlacedLine& placed = layout->pages.lines[page.firstLine + i];
        TextPane* pane = layout->blocks[placed.block].pane;
        // The pane measured with the printer; it draws wherever it is asked to.
        pane->dc = dc;
        PaintLineInInk(pane, &pane->lines[placed.line], placed.y, kInk);
        pane->dc = layout->measureDc;
    }
    SetTextColor(dc, savedColour);
    SetBkMode(dc, savedMode);
}

// ---- Faces that print -----------------------------------------------------------

namespace {

const DWORD kCffTable = 0x20464643;  // 'CFF ' as GetFontData reads a tag
const wchar_t* const kTrueTypeHebrewFaces[] = {
    L"Frank Ruehl CLM", L"Miriam CLM", L"Hadasim CLM", L"Keter YG", L"Times New Roman", L"Arial", L"DejaVu Sans",
};

HFONT CreateFaceFont(const wchar_t* face) {
    LOGFONTW logFont;
    memset(&logFont, 0, sizeof logFont);
    logFont.lfHeight = -32;
    logFont.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&logFont);
}

// Whether the face is installed as named, prints its outlines as TrueType
// and has the Hebrew letters.
bool PrintsHebrew(HDC dc, const wchar_t* face) {
    HFONT font = CreateFaceFont(face);
    if (!font) return false;
    HGDIOBJ saved = SelectObject(dc, font);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    WORD glyph = 0xFFFF;
    const wchar_t alef = 0x05D0;
    GetGlyphIndicesW(dc, &alef, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    bool prints = _wcsicmp(chosen, face) == 0 && glyph != 0xFFFF &&
                  GetFontData(dc, kCffTable, 0, nullptr, 0) == GDI_ERROR;
    SelectObject(dc, saved);
    DeleteObject(font);
    return prints;
}

}  // namespace

bool RunsUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool IsCffFace(HDC dc, const wchar_t* face) {
    HFONT font = CreateFaceFont(face);
    if (!font) return false;
    HGDIOBJ saved = SelectObject(dc, font);
    bool cff = GetFontData(dc, kCffTable, 0, nullptr, 0) != GDI_ERROR;
    SelectObject(dc, saved);
    DeleteObject(font);
    return cff;
}

bool PrintableFace(HDC dc, const wchar_t* face, wchar_t* printed) {
    if (!face[0] || !RunsUnderWine() || !IsCffFace(dc, face)) return false;
    for (const wchar_t* candidate : kTrueTypeHebrewFaces) {
        if (!PrintsHebrew(dc, candidate)) continue;
        wcsncpy(printed, candidate, kFaceNameChars - 1);
        printed[kFaceNameChars - 1] = 0;
        return true;
    }
    return false;
}
