#include "panes/status_line.h"

#include <stdio.h>
#include <string.h>

#include "app/app_state.h"
#include "content/book_numbers.h"
#include "content/section_heading.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/dpi.h"
#include "platform/fonts.h"
#include "platform/out_of_memory.h"

namespace {

// Pixels at 96 DPI.
const int kLineHeightPx = 24;
const int kEdgePx = 1;         // the line along its top
const int kTextHeightPx = 13;  // the em of the line's font
const int kEdgePaddingPx = 8;
const int kFieldGapPx = 16;
const int kNumberChars = 32;

// What the line showed when it was last drawn.
struct ShownStatus {
    uint16_t section;
    int percent;
    const uint8_t* text;  // the main pane's section text, compared, never read
};

struct StatusLine {
    HWND window;  // null: no status line
    bool hidden;  // full screen gives its room to the page
    HFONT font;
    wchar_t fontFace[kFaceNameChars];  // the face and resolution `font` was made for
    int fontDpi;
    ShownStatus shown;
    bool drawn;
};
StatusLine gStatus;

const wchar_t* WantedFace() { return gApp.font.faceName[0] ? gApp.font.faceName : DefaultHebrewFaceName(); }

// The reader's face, which has the heading's letters, at a small size; made
// again when the reader's face or the resolution changes.
HFONT StatusFont() {
    const wchar_t* face = WantedFace();
    if (gStatus.font && gStatus.fontDpi == ReaderDpi() && wcscmp(face, gStatus.fontFace) == 0) return gStatus.font;
    if (gStatus.font) DeleteObject(gStatus.font);
    gStatus.fontDpi = ReaderDpi();
    LOGFONTW font;
    memset(&font, 0, sizeof font);
    font.lfHeight = -ScalePx(kTextHeightPx, ReaderDpi());
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    gStatus.font = CreateFontIndirectW(&font);
    wcsncpy(gStatus.fontFace, face, kFaceNameChars - 1);
    gStatus.fontFace[kFaceNameChars - 1] = 0;
    return gStatus.font;
}

ShownStatus CurrentStatus() {
    const TextPane* pane = gApp.mainPane;
    ShownStatus status = {gApp.lesson, 0, nullptr};
    if (!pane) return status;
    status.percent = ReadingPercent(pane->firstRow, pane->lastFirstRow);
    status.text = pane->text;
    return status;
}

void FieldsOfStatus(const ShownStatus& status, wchar_t* place, wchar_t* percent, int chars) {
    swprintf(place, (size_t)chars, L"%d / %d", PairOfSection(status.section), kBookPairs);
    swprintf(percent, (size_t)chars, L"%d%%", status.percent);
}

// Left aligned from *x, which moves past it and the gap after it.
void DrawNumberField(HDC dc, const wchar_t* text, int* x, const RECT& line) {
    int length = (int)wcslen(text);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, length, &size);
    int y = line.top + (line.bottom - line.top - size.cy) / 2;
    ExtTextOutW(dc, *x, y, ETO_CLIPPED, &line, text, (UINT)length, nullptr);
    *x += size.cx + ScalePx(kFieldGapPx, ReaderDpi());
}

// Right aligned in [left, line.right - padding): the heading is Hebrew, read
// from its right end, so one too long loses words at its end.
void DrawHeading(HDC dc, const uint8_t* sectionText, int section, int left, const RECT& line) {
    RECT field = {left, line.top, line.right - ScalePx(kEdgePaddingPx, ReaderDpi()), line.bottom};
    if (field.right <= field.left) return;
    wchar_t shown[kSectionHeadingChars];
    int length = FittedSectionHeading(dc, sectionText, section, field.right - field.left, shown, kSectionHeadingChars);
    int heightPx = 0;
    int widthPx = TextWidthPx(dc, shown, length, &heightPx);
    int y = line.top + (line.bottom - line.top - heightPx) / 2;
    ExtTextOutW(dc, field.right - widthPx, y, ETO_CLIPPED | ETO_IGNORELANGUAGE, &field, shown, (UINT)length,
                nullptr);
}

void DrawLine(HDC dc, const RECT& line, const ShownStatus& status) {
    RECT ground = line;
    ground.top += ScalePx(kEdgePx, ReaderDpi());
    RECT edge = {line.left, line.top, line.right, ground.top};
    const Palette& palette = CurrentPalette();
    FillWithColour(dc, edge, palette.statusEdge);
    FillWithColour(dc, ground, palette.statusBack);
    HGDIOBJ savedFont = SelectObject(dc, StatusFont());
    int savedMode = SetBkMode(dc, TRANSPARENT);
    COLORREF savedColour = SetTextColor(dc, palette.statusText);
    wchar_t place[kNumberChars];
    wchar_t percent[kNumberChars];
    FieldsOfStatus(status, place, percent, kNumberChars);
    int x = line.left + ScalePx(kEdgePaddingPx, ReaderDpi());
    DrawNumberField(dc, place, &x, ground);
    DrawNumberField(dc, percent, &x, ground);
    DrawHeading(dc, status.text, status.section, x, ground);
    SetTextColor(dc, savedColour);
    SetBkMode(dc, savedMode);
    SelectObject(dc, savedFont);
}

}  // namespace

void CreateStatusLine(HWND window) {
    DestroyStatusLine();
    gStatus.window = window;
}

void DestroyStatusLine() {
    if (gStatus.font) DeleteObject(gStatus.font);
    gStatus = StatusLine{};
}

void ShowStatusLine(bool show) {
    gStatus.hidden = !show;
    gStatus.drawn = false;
}

int StatusLineHeightPx() { return gStatus.window && !gStatus.hidden ? ScalePx(kLineHeightPx, ReaderDpi()) : 0; }

RECT StatusLineRect() {
    RECT line = {0, 0, 0, 0};
    if (!gStatus.window || gStatus.hidden) return line;
    GetClientRect(gStatus.window, &line);
    line.right -= gSplit.outlinePanelPx;  // the outline panel reaches down to the foot
    if (gApp.menuBarOnBottom) line.bottom -= gApp.menuBarHeight;
    line.top = line.bottom - StatusLineHeightPx();
    return line;
}

void PaintStatusLine() {
    if (!gStatus.window || gStatus.hidden || !gApp.mainPane || ProgramEnding()) return;
    ShownStatus status = CurrentStatus();
    DrawLine(gApp.mainPane->dc, StatusLineRect(), status);
    gStatus.shown = status;
    gStatus.drawn = true;
}

void RefreshStatusLine() {
    ShownStatus status = CurrentStatus();
    const ShownStatus& shown = gStatus.shown;
    if (gStatus.drawn && status.section == shown.section && status.percent == shown.percent &&
        status.text == shown.text)
        return;
    PaintStatusLine();
}

void StatusLineFields(wchar_t* place, wchar_t* percent, int chars) {
    FieldsOfStatus(CurrentStatus(), place, percent, chars);
}

int ReadingPercent(int firstRow, int lastFirstRow) {
    if (lastFirstRow <= 0 || firstRow >= lastFirstRow) return 100;
    return firstRow * 100 / lastFirstRow;
}
