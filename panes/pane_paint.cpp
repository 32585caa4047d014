// Painting and scrolling of a laid-out pane. Everything is drawn straight
// into the pane's dc, one row after another; only whole rows are drawn.
#include "panes/pane_paint.h"

#include <string.h>

#include "panes/pane_select.h"
#include "panes/pane_watch.h"
#include "panes/text_layout.h"
#include "panes/theme.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"

namespace {

const int kTitleBoxPaddingPx = 8;   // added to the widest title with 2 x its height
const int kTitleBoxBottomGapPx = 2;
const int kRuleThicknessPx = 1;
// The title box's frames, from the outside in.
const int kTitleFrames = 3;
const int kTitleFramePx[kTitleFrames] = {2, 1, 2};

bool IsRuleLine(const TextLine* line) { return IsSpacerRecord(line->flags); }

int RowsOfLine(const TextLine* line) { return (line->flags & kFlagParagraphEnd) ? 2 : 1; }


uint8_t InitialStyle(const TextLine* line) {
    return (line->flags && !IsRuleLine(line)) ? line->flags : kInitialStyle;
}

void DrawRule(const TextPane* pane, const TextLine* line, int y, COLORREF colour) {
    if (!line->width) return;
    int ruleY = y + line->height / 2;
    int thicknessPx = ScalePx(kRuleThicknessPx, pane->fontSpec.dpi);
    RECT rule = {LineX(line), ruleY, LineX(line) + line->width, ruleY + thicknessPx};
    FillWithColour(pane->dc, rule, colour);
}


void DrawLineText(const TextPane* pane, const TextLine* line, int y) {
    if (line->hangWidth) {
        const HangingWord& word = line->hanging;
        DrawTextCell(pane->dc, pane->text + word.offset, word.fitCount, HangingWordX(line), y, word.fitWidth,
                     line->height);
    }
    DrawTextCell(pane->dc, pane->text + line->offset, line->length, LineX(line), y, line->width, line->height);
}

// The mark is half open: a match that ends where the line starts, or starts
// where it ends, lies on a neighbouring line. A line counts with all it shows,
// so that a match in its hanging word is still found. (The hanging word of a
// reversed paragraph is painted for any marked line, so touching is not enough.)
bool LineIsMarked(const TextPane* pane, const TextLine* line) {
    return pane->markEnd > LineTextStart(line) && pane->markStart < LineTextEnd(line);
}

void PaintLineMarks(TextPane* pane, const TextLine* line, int y) {
    if (line->hangWidth) {
        const HangingWord& word = line->hanging;
        const uint8_t* start = pane->text + word.offset;
        // Only the characters drawn in the column are marked. In a reversed
        // paragraph a mark in the first line's run marks its hanging word too.
        if (line->flags & kFlagReversed)
            DrawColouredCell(pane->dc, start, word.fitCount, HangingWordX(line), y, word.fitWidth, line->height,
                             CurrentPalette().markText, CurrentPalette().markBack);
        else
            PaintMarkedRun(pane, pane->text, start, word.fitCount, HangingWordX(line), y);
    }
    PaintMarkedRun(pane, pane->text, pane->text + line->offset, line->length, LineX(line), y);
}

// Draws the line's text or rule with the font already selected.
void DrawLineContent(TextPane* pane, const TextLine* line, int y, COLORREF ruleColour) {
    if (IsRuleLine(line)) DrawRule(pane, line, y, ruleColour);
    else DrawLineText(pane, line, y);
}

void MeasureTitle(HDC dc, TitleLine* title, int limitPx) {
    if (!title->length) return;
    int count = title->length;
    int widthPx = limitPx;
    MeasureFit(dc, title->text, &widthPx, &count);
    title->length = (uint16_t)count;
    title->width = (uint16_t)widthPx;
}

void DrawTitleLine(HDC dc, const TitleLine* title, const RECT* inner, int* y, int heightPx) {
    int innerWidthPx = inner->right - inner->left;
    int x = inner->left + (innerWidthPx - (int)title->width) / 2;
    const Palette& palette = CurrentPalette();
    DrawColouredCell(dc, title->text, title->length, x, *y, title->width, heightPx, palette.titleText,
                     palette.titleBack);
    *y += heightPx;
}

}  // namespace

// Nothing draws once the program is ending (memory ran out): the caller may be
// half way through changing the pane.
bool PaneCanPaint(const TextPane* pane) { return pane && pane->text && pane->lines && !ProgramEnding(); }

int LineX(const TextLine* line) { return (int16_t)line->x; }  // a run may start left of 0

int HangingWordX(const TextLine* line) {
    if (line->flags & kFlagReversed) return LineX(line) + line->width + line->hangWidth - line->hanging.fitWidth;
    return LineX(line) - line->hangWidth;
}

VisibleLine FirstVisibleLine(TextPane* pane) {
    if (pane->firstRow > pane->rowCount) pane->firstRow = pane->lastFirstRow;
    const TextLine* line = pane->lines;
    int rows = 0;
    while (line->flags && rows < pane->firstRow) {
        rows += RowsOfLine(line);
        line++;
    }
    VisibleLine start = {line, pane->top, pane->height};
    if (rows > pane->firstRow) {
        // The first row is the blank row after the previous line.
        int blankPx = line[-1].height;
        start.y += blankPx;
        start.remainingPx -= blankPx;
    }
    return start;
}

bool IsVisibleLine(const VisibleLine& at) { return at.line->flags && at.remainingPx >= at.line->height; }

void NextVisibleLine(VisibleLine* at) {
    int rowsPx = at->line->height * RowsOfLine(at->line);
    at->y += rowsPx;
    at->remainingPx -= rowsPx;
    at->line++;
}

void PaintLine(TextPane* pane, const TextLine* line, int y) {
    HDC dc = pane->dc;
    COLORREF savedColour = GetTextColor(dc);
    HFONT savedFont = SelectStyleFont(pane, (IsRuleLine(line) ? kInitialStyle : line->flags) | kSelectWithColour);
    DrawLineContent(pane, line, y, CurrentPalette().rule);
    SelectObject(dc, savedFont);
    SetTextColor(dc, savedColour);
}

void PaintLineInInk(TextPane* pane, const TextLine* line, int y, COLORREF ink) {
    HDC dc = pane->dc;
    COLORREF savedColour = SetTextColor(dc, ink);
    HFONT savedFont = SelectStyleFont(pane, IsRuleLine(line) ? kInitialStyle : line->flags);
    DrawLineContent(pane, line, y, ink);
    SelectObject(dc, savedFont);
    SetTextColor(dc, savedColour);
}

int PaintPane(TextPane* pane, int erase) {
    if (!PaneCanPaint(pane)) return -1;
    HDC dc = pane->dc;
    pane->rowsDrawn = 0;
    VisibleLine at = FirstVisibleLine(pane);
    uint8_t style = InitialStyle(at.line);
    COLORREF savedColour = GetTextColor(dc);
    // Where the dc draws text opaquely, the cells take the page's colour.
    COLORREF savedBack = SetBkColor(dc, CurrentPalette().page);
    HFONT savedFont = SelectStyleFont(pane, style | kSelectWithColour);
    if (erase) {
        RECT area = {pane->left, pane->top, pane->left + pane->width, pane->top + pane->height};
        FillWithColour(dc, area, CurrentPalette().page);
    }

    for (; IsVisibleLine(at); NextVisibleLine(&at)) {  // no row is cut off at the bottom
        if (!IsRuleLine(at.line)) {
            if ((at.line->flags ^ style) & kStyleMask) SelectStyleFont(pane, at.line->flags | kSelectWithColour);
            style = at.line->flags;
        }
        DrawLineContent(pane, at.line, at.y, CurrentPalette().rule);
        // The blank row of a paragraph end counts even when it reaches below the pane.
        pane->rowsDrawn += RowsOfLine(at.line);
    }
    SelectObject(dc, savedFont);
    SetTextColor(dc, savedColour);
    SetBkColor(dc, savedBack);
    int result = 0;
    if (pane->markStart || pane->markEnd) result = PaintMarks(pane);
    PaintSelection(pane);
    PaintAccentBetween(pane, pane->top, pane->top + pane->height);
    return result;
}

void PaintAccentBetween(const TextPane* pane, int top, int bottom) {
    if (pane->accentPx <= 0) return;
    if (top < pane->top) top = pane->top;
    if (bottom > pane->top + pane->height) bottom = pane->top + pane->height;
    if (top >= bottom) return;
    RECT strip = {pane->left, top, pane->left + pane->accentPx, bottom};
    FillWithColour(pane->dc, strip, CurrentPalette().accent);
}

int PaintMarks(TextPane* pane) {
    if (!PaneCanPaint(pane)) return -1;
    VisibleLine at = FirstVisibleLine(pane);
    uint8_t style = InitialStyle(at.line);
    HFONT savedFont = SelectStyleFont(pane, style);
    for (; IsVisibleLine(at); NextVisibleLine(&at)) {
        if (!IsRuleLine(at.line) && LineIsMarked(pane, at.line)) {
            if ((at.line->flags ^ style) & kStyleMask) SelectStyleFont(pane, at.line->flags);
            style = at.line->flags;
            PaintLineMarks(pane, at.line, at.y);
        }
    }
    SelectObject(pane->dc, savedFont);
    return 0;
}

void PaintMarksOfLine(TextPane* pane, const TextLine* line, int y) {
    if (!(pane->markStart || pane->markEnd) || IsRuleLine(line) || !LineIsMarked(pane, line)) return;
    HFONT savedFont = SelectStyleFont(pane, line->flags);
    PaintLineMarks(pane, line, y);
    SelectObject(pane->dc, savedFont);
}

void PaintMarkedRun(TextPane* pane, const uint8_t* text, const uint8_t* runStart, int runLength, int x, int y) {
    const Palette& palette = CurrentPalette();
    PaintRunStretch(pane, (int)(runStart - text), runLength, x, y, pane->markStart, pane->markEnd, palette.markText,
                    palette.markBack);
}

void PaintRunStretch(TextPane* pane, int runOffset, int runLength, int x, int y, int from, int to,
                     COLORREF textColour, COLORREF backColour) {
    HDC dc = pane->dc;
    int before = from - runOffset;  // run characters before the stretch
    int skipped = 0;
    int count = runLength;
    if (before >= 0) {
        count -= before;
        if (count < 0) return;
        skipped = before;
    }
    int toEnd = to - (runOffset + skipped);
    if (toEnd < count) count = toEnd;
    if (count <= 0) return;

    // In Reverse mode the run is drawn mirrored as a whole, so the stretch
    // sits at the mirrored place, counted from the run's other end.
    const uint8_t* runStart = pane->text + runOffset;
    bool mirrored = ReverseModeActive();
    int leadCount = mirrored ? runLength - skipped - count : skipped;
    wchar_t* shown = ToDisplayText(runStart, &gDisplayTextCache, mirrored ? runLength : skipped + count);
    if (!shown) return;
    int offsetPx = TextWidthPx(dc, shown, leadCount, nullptr);
    int heightPx = 0;
    int widthPx = TextWidthPx(dc, shown + leadCount, count, &heightPx);
    DrawColouredCell(dc, runStart + skipped, count, x + offsetPx, y, widthPx, heightPx, textColour, backColour);
}

int ScrollPane(TextPane* pane, int deltaRows, int repaint) {
    if (!pane) return -1;
    if (ProgramEnding()) return kScrollUnchanged;
    int64_t firstRow = pane->firstRow;
    int64_t target = firstRow + deltaRows;
    if (target < 0) {
        target = 0;
    } else {
        // Already at the end: the view does not move further down.
        if (target >= firstRow && firstRow >= pane->lastFirstRow) return kScrollUnchanged;
        if (target > pane->rowCount) target = pane->lastFirstRow;
    }
    if (repaint == 1 && target == firstRow) return kScrollUnchanged;
    bool changed = target != firstRow;
    if (changed) pane->firstRow = (uint16_t)target;
    if (changed) NotePaneScrolled(pane);
    if (repaint) return PaintPane(pane, 1);
    return changed ? kScrollChanged : kScrollUnchanged;
}

int PageRows(int rowsDrawn, uint32_t pageField) {
    int rows = pageField == 2 || pageField == 4 ? rowsDrawn / 2 : rowsDrawn - 1;
    // With one row on screen (a huge font), or none painted yet, a page still
    // moves one row forward rather than nowhere or backwards.
    return rows > 1 ? rows : 1;
}

int RowOfTextOffset(const TextPane* pane, uint16_t offset) {
    if (!pane || !pane->lines || !pane->text) return -1;
    int rows = 0;
    for (const TextLine* line = pane->lines; line->flags; line++) {
        if (LineTextStart(line) <= offset && offset <= LineTextEnd(line)) return rows;
        rows += RowsOfLine(line);
    }
    return -1;
}

int ScrollToTextOffset(TextPane* pane, uint16_t offset) {
    if (ProgramEnding()) return 0;
    int row = RowOfTextOffset(pane, offset);
    if (row < 0) return 0;
    pane->firstRow = (uint16_t)(row < pane->lastFirstRow ? row : pane->lastFirstRow);
    return 1;
}

int SetPaneFont(TextPane* pane, const FontSpec* spec) {
    if (!pane) return -1;
    if (ProgramEnding()) return 1;
    RebuildStyleFonts(pane, spec);
    if (KeepReadingPlace(pane) != kLayoutDone) return 1;
    return PaintPane(pane, 1);
}

void DrawNestedFrame(HDC dc, RECT* rect, COLORREF colour, int count) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ savedPen = pen ? SelectObject(dc, pen) : nullptr;
    for (int i = 0; i < count; i++) {
        if (pen) Rectangle(dc, rect->left, rect->top, rect->right, rect->bottom);
        InflateRect(rect, -1, -1);  // shrinks even without a pen
    }
    if (pen) {
        SelectObject(dc, savedPen);
        DeleteObject(pen);
    }
}

void DrawTitleBox(TextPane* pane) {
    if (!PaneCanPaint(pane)) return;
    TitleLine title, subtitle;
    FindSectionTitles(pane->text, &title, &subtitle);
    bool hasTitle = title.length != 0;
    bool hasSubtitle = subtitle.length != 0;
    if (!hasTitle && !hasSubtitle) return;

    HDC dc = pane->dc;
    HFONT savedFont = SelectStyleFont(pane, kFlagSmall | kSelectWithColour);
    int rows = (hasTitle && hasSubtitle) ? 2 : 1;
    TEXTMETRICW metrics;
    int lineHeightPx = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
    int savedMode = SetBkMode(dc, OPAQUE);
    MeasureTitle(dc, &title, pane->width);
    MeasureTitle(dc, &subtitle, pane->width);

    int dpi = pane->fontSpec.dpi;
    int widestPx = title.width > subtitle.width ? title.width : subtitle.width;
    int boxWidthPx = widestPx + 2 * lineHeightPx + ScalePx(kTitleBoxPaddingPx, dpi);
    if (boxWidthPx >= pane->width) boxWidthPx = pane->width;
    RECT box;
    box.left = pane->left + (pane->width - boxWidthPx) / 2;
    box.right = box.left + boxWidthPx;
    int framesPx = 0;
    for (int i = 0; i < kTitleFrames; i++) framesPx += ScalePx(kTitleFramePx[i], dpi);
    box.bottom = pane->top + pane->height - ScalePx(kTitleBoxBottomGapPx, dpi);
    box.top = box.bottom - rows * lineHeightPx - 2 * framesPx;

    const Palette& palette = CurrentPalette();
    for (int i = 0; i < kTitleFrames; i++)
        DrawNestedFrame(dc, &box, palette.titleFrames[i], ScalePx(kTitleFramePx[i], dpi));
    FillWithColour(dc, box, palette.titleBack);
    int y = box.top;
    if (hasTitle) DrawTitleLine(dc, &title, &box, &y, lineHeightPx);
    if (hasSubtitle) DrawTitleLine(dc, &subtitle, &box, &y, lineHeightPx);

    SelectObject(dc, savedFont);
    SetBkMode(dc, savedMode);
}
