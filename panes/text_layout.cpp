// Paragraph layout: breaks the records of a section into lines that fit the
// pane, measuring with the pane's own dc and fonts, and records where each
// line's characters are in the section text and where they are drawn.
#include "panes/text_layout.h"

#include <string.h>

#include "panes/pane_watch.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"

namespace {

const int kRulePercentMaxValue = 160;  // spacer values above this are percentages
const uint8_t kHyphen = '-';

// Counters of one layout.
struct LayoutState {
    TextPane* pane;
    const uint8_t* text;  // the section being laid out
    int cursor;           // next TextLine to fill
    uint8_t style;        // flags of the last text record; its font is selected
    int lineHeightPx;
    int maxCharWidthPx;
    int aveCharWidthPx;
    uint16_t indentPx;    // from the aligned edge, carried from record to record
    int paragraphEnds;
    int dpi;              // the stored indents and rule lengths are pixels at 96 DPI
    int columnLeft;       // the lines' column across the pane
    int columnWidth;
};

// One paragraph's text as it is broken into lines: the record's text, or a
// reversed copy of it for a paragraph stored in drawing order.
struct ParagraphText {
    const uint8_t* start;
    int length;
    bool reversed;
    uint32_t textOffset;  // of the record's text in the section
};

void ReadFontMetrics(LayoutState* state) {
    TEXTMETRICW metrics;
    if (!GetTextMetricsW(state->pane->dc, &metrics)) memset(&metrics, 0, sizeof metrics);
    state->lineHeightPx = metrics.tmHeight;
    state->maxCharWidthPx = metrics.tmMaxCharWidth;
    state->aveCharWidthPx = metrics.tmAveCharWidth;
}

// The column the lines are set in: the pane less a margin of an em of the
// body font at each edge, and no wider than the reading measure, centred.
// Margins never take more than a quarter of a narrow pane.
void PlaceColumn(LayoutState* state) {
    TextPane* pane = state->pane;
    TEXTMETRICW metrics;
    int emPx = GetTextMetricsW(pane->dc, &metrics) ? metrics.tmHeight - metrics.tmInternalLeading : 0;
    if (emPx < 1) emPx = 1;
    int marginPx = (pane->columnMode & kColumnMargins) ? emPx : 0;
    if (marginPx > pane->width / 8) marginPx = pane->width / 8;
    int widthPx = pane->width - 2 * marginPx;
    int64_t measurePx = (int64_t)kMeasureEms * emPx;
    if ((pane->columnMode & kColumnMeasure) && widthPx > measurePx) widthPx = (int)measurePx;
    state->columnLeft = pane->left + (pane->width - widthPx) / 2;
    state->columnWidth = widthPx;
    pane->columnLeft = state->columnLeft;
    pane->columnWidth = widthPx;
}

// Fonts change only when the five style bits do.
void UseStyle(LayoutState* state, uint8_t flags) {
    if ((flags ^ state->style) & kStyleMask) {
        SelectStyleFont(state->pane, flags);
        ReadFontMetrics(state);
    }
    state->style = flags;
}

bool MakeRoomForLine(LayoutState* state) {
    TextPane* pane = state->pane;
    return state->cursor < pane->lineCapacity || GrowLineArray(pane, state->cursor) == 0;
}

// MeasureFit over `available` codes at `p`, offering the platform only about
// as many characters as could fit, so that a long paragraph is not converted
// and measured in full for each of its lines. The result is the same: when
// everything offered fits, the offer doubles until the fit stops short.
void FitLine(const LayoutState* state, const uint8_t* p, int available, int* widthPx, int* count) {
    int limitPx = *widthPx;
    int averagePx = state->aveCharWidthPx > 0 ? state->aveCharWidthPx : 1;
    int offered = limitPx / averagePx * 2 + 16;
    if (offered > available) offered = available;
    for (;;) {
        int fitPx = limitPx;
        int fit = offered;
        MeasureFit(state->pane->dc, p, &fitPx, &fit);
        if (fit < offered || offered >= available) {
            *widthPx = fitPx;
            *count = fit;
            return;
        }
        offered = offered * 2 < available ? offered * 2 : available;
    }
}

// A line that would cut a word moves its end back to the last space (the
// line ends before it) or hyphen (the line ends after it), never to index 0.
void BreakBack(const LayoutState* state, const uint8_t* p, int* widthPx, int* count) {
    int fit = *count;
    if (fit == 0 || p[fit] == 0 || p[fit] == kSpaceCode) return;
    int m = fit - 1;
    while (m >= 1 && p[m] != kSpaceCode && p[m] != kHyphen) m--;
    if (m < 1) return;  // one long word: cut after what fits
    *count = p[m] == kSpaceCode ? m : m + 1;
    MeasureFit(state->pane->dc, p, widthPx, count);
}

// Nothing fits (a pane narrower than a glyph, or an indent at the edge): the
// line still takes one character, so that the layout always ends.
void TakeOneCharacter(const LayoutState* state, const uint8_t* p, int* widthPx, int* count) {
    *count = 1;
    *widthPx = 0x7FFF;
    MeasureFit(state->pane->dc, p, widthPx, count);
    *count = 1;
}

// Line flags 0 mark the terminator, so a line of a paragraph whose flags byte
// is the bare end bit (0x80: plain left-aligned type) takes bit 0x01 in its
// place when the end bit goes: that bit changes neither font nor colour.
uint8_t WithoutParagraphEnd(uint8_t flags) {
    uint8_t cleared = (uint8_t)(flags & ~kFlagParagraphEnd);
    return cleared ? cleared : kInitialStyle;
}

int RowsOfLine(const TextLine* line) { return (line->flags & kFlagParagraphEnd) ? 2 : 1; }

// The first character read on a line: a reversed paragraph is stored in
// drawing order, so its reading starts at the line's stored end.
int ReadingStart(const TextLine* line) {
    if (IsSpacerRecord(line->flags) || !(line->flags & kFlagReversed)) return LineTextStart(line);
    return LineTextEnd(line) - 1;
}

bool LineHolds(const TextLine* line, int offset) {
    if (IsSpacerRecord(line->flags)) return offset == line->offset;
    return LineTextStart(line) <= offset && offset < LineTextEnd(line);
}

bool OnlySpacesFollow(const uint8_t* p) {
    while (*p == kSpaceCode) p++;
    return *p == 0;
}

// Where a run of `widthPx` starts by the alignment of the current style.
uint16_t AlignedRunX(const LayoutState* state, uint16_t indentPx, uint16_t startPx, int widthPx) {
    int left = state->columnLeft;
    int columnPx = state->columnWidth;
    switch (state->style & kAlignMask) {
        case kAlignRight: return (uint16_t)(left + columnPx - startPx - widthPx);
        case kAlignCentre: return (uint16_t)(left + indentPx + (columnPx - startPx - widthPx) / 2);
        default: return (uint16_t)(left + startPx);
    }
}

// One line as measured: an optional hanging word, then the run.
struct LineBreak {
    const uint8_t* word;  // the line's first character; the hanging word if one hangs
    int wordLength;       // characters of the hanging word, else 0
    int wordPart;         // the hanging word and the spaces after it, else 0
    const uint8_t* run;
    int count;            // characters of the run
    int widthPx;          // width of the run
};

// Measures the line that starts at `p` (not a space) with `remaining`
// characters left in the paragraph.
void MeasureLine(const LayoutState* state, const uint8_t* p, int remaining, int hangPx, LineBreak* line) {
    line->word = p;
    line->wordLength = 0;
    line->wordPart = 0;
    int widthPx = state->columnWidth - state->indentPx;
    if (widthPx < 0) widthPx = 0;
    if (hangPx) {
        const uint8_t* after = p;
        while (*after && *after != kSpaceCode) after++;
        line->wordLength = (int)(after - p);
        while (*after == kSpaceCode) after++;
        line->wordPart = (int)(after - p);
        widthPx = widthPx > hangPx ? widthPx - hangPx : 0;
    }
    line->run = p + line->wordPart;
    int available = remaining - line->wordPart;
    FitLine(state, line->run, available, &widthPx, &line->count);
    BreakBack(state, line->run, &widthPx, &line->count);
    // A hanging word alone is progress enough; a bare line needs a character.
    if (line->count == 0 && available > 0 && !hangPx) TakeOneCharacter(state, line->run, &widthPx, &line->count);
    line->widthPx = widthPx;
}

// The text offset of the lowest stored character of `count` characters at `p`
// in the paragraph as laid out; a reversed paragraph's copy runs backwards.
uint32_t StoredOffset(const LayoutState* state, const ParagraphText* paragraph, const uint8_t* p, int count) {
    if (!paragraph->reversed) return (uint32_t)(p - state->text);
    return paragraph->textOffset + paragraph->length - (uint32_t)(p - paragraph->start) - count;
}

// Records the hanging word of a first line with the leading characters of it
// that fit the column, as they are stored, which is how they are drawn.
void StoreHangingWord(const LayoutState* state, const ParagraphText* paragraph, const LineBreak* measured,
                      int hangPx, HangingWord* word) {
    memset(word, 0, sizeof *word);
    if (!hangPx) return;
    uint32_t offset = StoredOffset(state, paragraph, measured->word, measured->wordLength);
    int fitPx = hangPx;
    int fitCount = measured->wordLength;
    MeasureFit(state->pane->dc, state->text + offset, &fitPx, &fitCount);
    word->offset = (uint16_t)offset;
    word->length = (uint16_t)measured->wordLength;
    word->fitCount = (uint16_t)fitCount;
    word->fitWidth = (uint16_t)fitPx;
}

// Writes the TextLine of a measured line and moves the indent on.
void StoreLine(LayoutState* state, const ParagraphText* paragraph, const LineBreak* measured, int hangPx) {
    TextLine* line = &state->pane->lines[state->cursor];
    uint16_t startPx = (uint16_t)(state->indentPx + hangPx);
    line->offset = (uint16_t)StoredOffset(state, paragraph, measured->run, measured->count);
    StoreHangingWord(state, paragraph, measured, hangPx, &line->hanging);
    line->length = (uint16_t)measured->count;
    line->hangWidth = (uint16_t)hangPx;
    line->width = (uint16_t)measured->widthPx;
    line->height = (uint16_t)state->lineHeightPx;
    line->x = AlignedRunX(state, state->indentPx, startPx, measured->widthPx);
    // Trailing spaces do not keep a paragraph from ending on this line.
    if (OnlySpacesFollow(measured->run + measured->count)) {
        line->flags = state->style;
        if (state->style & kFlagParagraphEnd) state->paragraphEnds++;
    } else {
        line->flags = WithoutParagraphEnd(state->style);
    }
    // Later lines, and a continuation paragraph, start where this run did.
    state->indentPx = startPx;
    state->cursor++;
}

// Breaks one paragraph into lines. `hangPx` is the hanging column of its first
// line, 0 when no word hangs.
int FillParagraph(LayoutState* state, const ParagraphText* paragraph, int hangPx) {
    const uint8_t* p = paragraph->start;
    int remaining = paragraph->length;
    for (;;) {
        while (*p == kSpaceCode) {
            p++;
            remaining--;
        }
        if (*p == 0) return kLayoutDone;
        if (!MakeRoomForLine(state)) return kLayoutNoMemory;
        LineBreak line;
        MeasureLine(state, p, remaining, hangPx, &line);
        StoreLine(state, paragraph, &line, hangPx);
        int consumed = line.wordPart + line.count;
        p += consumed;
        remaining -= consumed;
        hangPx = 0;
    }
}

int LayoutTextRecord(LayoutState* state, const ParagraphRecord* record, int hangingCode) {
    UseStyle(state, record->flags);
    int hangPx = 0;
    if (hangingCode) hangPx = state->maxCharWidthPx * (hangingCode + 1) / 2;
    ParagraphText paragraph = {state->text + record->textOffset, (int)record->textLength,
                               (record->flags & kFlagReversed) != 0, record->textOffset};
    uint8_t* reversedCopy = nullptr;
    if (paragraph.reversed) {
        // Lines are filled from the stored end, which is where reading starts.
        reversedCopy = (uint8_t*)PlatformAlloc((size_t)paragraph.length + 1);
        if (!reversedCopy) return kLayoutNoMemory;
        for (int i = 0; i < paragraph.length; i++) reversedCopy[i] = paragraph.start[paragraph.length - 1 - i];
        reversedCopy[paragraph.length] = 0;
        paragraph.start = reversedCopy;
    }
    if (state->indentPx >= state->columnWidth) state->indentPx = 0;
    int result = FillParagraph(state, &paragraph, hangPx);
    PlatformFree(reversedCopy);
    return result;
}

int LayoutRule(LayoutState* state, const ParagraphRecord* record) {
    TextPane* pane = state->pane;
    if (!MakeRoomForLine(state)) return kLayoutNoMemory;
    int value = record->indent;
    int lengthPx = ScalePx(value, state->dpi);
    int columnPx = state->columnWidth;
    if (value > kRulePercentMaxValue) lengthPx = ((value + 96) & 0xFF) * columnPx * 2 / 100;
    if (lengthPx > columnPx) lengthPx = columnPx;
    if (lengthPx < 0) lengthPx = 0;

    TextLine* line = &pane->lines[state->cursor];
    line->offset = (uint16_t)record->textOffset;
    line->length = 0;
    line->hangWidth = 0;
    line->width = (uint16_t)lengthPx;
    line->height = (uint16_t)state->lineHeightPx;  // the spacer selects no font
    line->flags = record->flags;
    memset(&line->hanging, 0, sizeof line->hanging);
    int left = state->columnLeft;
    switch (record->flags & kAlignMask) {
        case kAlignRight: line->x = (uint16_t)(left + columnPx - lengthPx); break;
        case kAlignCentre: line->x = (uint16_t)(left + (columnPx - lengthPx) / 2); break;
        default: line->x = (uint16_t)left; break;
    }
    state->cursor++;
    if (record->flags & kFlagParagraphEnd) state->paragraphEnds++;
    return kLayoutDone;
}

int LayoutRecords(LayoutState* state) {
    RecordWalker walker;
    StartRecordWalk(&walker, state->text, kUnboundedWalk);
    ParagraphRecord record;
    uint8_t previousIndentByte = 0;
    while (NextParagraphRecord(&walker, &record)) {
        const uint8_t* body = state->text + record.textOffset;
        int hangingCode = HangingCode(record.indent);
        if (hangingCode && body[0] == kSpaceCode && state->cursor != 0) {
            // A continuation: no word hangs; the text goes on from where the
            // previous record left off, moved by the change of indent.
            state->indentPx = (uint16_t)(state->indentPx + ScalePx(IndentPixels(record.indent), state->dpi) -
                                         ScalePx(IndentPixels(previousIndentByte), state->dpi));
            hangingCode = 0;
        } else {
            // A hanging word's code is no part of its paragraph's indent.
            bool hangs = hangingCode && !IsSpacerRecord(record.flags);
            state->indentPx = (uint16_t)ScalePx(hangs ? IndentPixels(record.indent) : record.indent, state->dpi);
        }
        previousIndentByte = record.indent;

        int result = kLayoutDone;
        if (IsSpacerRecord(record.flags)) {
            if (record.indent != 0) result = LayoutRule(state, &record);
        } else {
            result = LayoutTextRecord(state, &record, hangingCode);
        }
        if (result != kLayoutDone) return result;
    }
    return kLayoutDone;
}

void FinishLines(LayoutState* state) {
    TextPane* pane = state->pane;
    memset(&pane->lines[state->cursor], 0, sizeof(TextLine));
    pane->lineCount = (uint16_t)state->cursor;
    int rows = state->paragraphEnds + state->cursor;
    // The section's last paragraph gets no blank row after it.
    if (state->cursor && (pane->lines[state->cursor - 1].flags & kFlagParagraphEnd)) {
        rows--;
        pane->lines[state->cursor - 1].flags = WithoutParagraphEnd(pane->lines[state->cursor - 1].flags);
    }
    pane->rowCount = (uint16_t)(rows > 0xFFFF ? 0xFFFF : rows);
}

bool EnsureLineArray(TextPane* pane) {
    if (pane->lines && pane->lineCapacity) return true;
    TextLine* lines = (TextLine*)PlatformAlloc(sizeof(TextLine) * (kLineArrayStep + 1));
    if (!lines) return false;
    PlatformFree(pane->lines);
    memset(lines, 0, sizeof(TextLine));
    pane->lines = lines;
    pane->lineCapacity = kLineArrayStep;
    return true;
}

// A layout that refuses a buffer it was given to own frees it: the caller has
// handed it over and will not look at it again.
int Refuse(TextPane* pane, uint8_t* text, int takeOwnership, int result) {
    if (takeOwnership && text != pane->text) PlatformFree(text);
    return result;
}

}  // namespace

int LayoutSection(TextPane* pane, uint8_t* text, int takeOwnership) {
    if (!pane) {
        if (takeOwnership) PlatformFree(text);
        return kLayoutNoPane;
    }
    // Once memory has run out the pane stays as it is, whatever its state.
    if (ProgramEnding()) return Refuse(pane, text, takeOwnership, kLayoutNoMemory);
    // The mark is a stretch of the text, not of the lines: a new layout of the
    // same text (a zoom, a resize, a drag of the divider) keeps it.
    if (text != pane->text) {
        pane->markStart = 0;
        pane->markEnd = 0;
    }
    pane->rowCount = 0;
    pane->lastFirstRow = 0;
    pane->layoutGeneration++;
    bool newText = text != pane->text;
    if (newText) pane->textGeneration++;
    if (!text) {
        if (takeOwnership) {
            pane->hasSelection = 0;
            PlatformFree(pane->text);
            pane->text = nullptr;
        }
        return kLayoutNoText;
    }
    if (!HasUsableFirstRecord(text)) return Refuse(pane, text, takeOwnership, kLayoutBadText);
    if (text != pane->text) pane->placeKept = false;
    if (text != pane->text) pane->hasSelection = 0;  // offsets mean nothing in another text
    if (takeOwnership && text != pane->text) {
        PlatformFree(pane->text);  // a new section replaces the old one
        pane->text = nullptr;
    }
    if (!EnsureLineArray(pane)) return Refuse(pane, text, takeOwnership, kLayoutNoMemory);

    LayoutState state;
    memset(&state, 0, sizeof state);
    state.pane = pane;
    state.text = text;
    state.style = kInitialStyle;
    state.dpi = pane->fontSpec.dpi;
    HFONT savedFont = SelectStyleFont(pane, kInitialStyle);
    ReadFontMetrics(&state);
    PlaceColumn(&state);

    int result = LayoutRecords(&state);
    if (result != kLayoutDone) {
        memset(&pane->lines[state.cursor], 0, sizeof(TextLine));
        SelectObject(pane->dc, savedFont);
        return Refuse(pane, text, takeOwnership, result);
    }
    FinishLines(&state);
    pane->text = text;
    ComputeLastFirstRow(pane);
    SelectObject(pane->dc, savedFont);
    if (newText) NotePaneNewText(pane);
    return kLayoutDone;
}

int ResizeTextPane(TextPane* pane, int widthPx, int heightPx) {
    if (!pane) return -1;
    if (widthPx <= 0 || heightPx <= 0) return kResizeBadSize;
    if (ProgramEnding()) return kLayoutNoMemory;  // the size must keep matching the lines
    pane->width = widthPx;
    pane->height = heightPx;
    return KeepReadingPlace(pane);
}

ReadingPlace TopReadingPlace(const TextPane* pane) {
    ReadingPlace place = {false, 0};
    if (!pane || !pane->text || !pane->lines) return place;
    // A first row on the blank row after a paragraph shows the next line first.
    int rows = 0;
    const TextLine* line = pane->lines;
    while (line->flags && rows < pane->firstRow) {
        rows += RowsOfLine(line);
        line++;
    }
    if (!line->flags) return place;
    place.known = true;
    place.offset = (uint16_t)ReadingStart(line);
    return place;
}

void ShowReadingPlace(TextPane* pane, ReadingPlace place) {
    if (!pane || !pane->lines || !place.known) return;
    if (pane->lastFirstRow == 0) {
        pane->firstRow = 0;
        return;
    }
    int rows = 0;
    for (const TextLine* line = pane->lines; line->flags; line++) {
        if (LineHolds(line, place.offset)) {
            pane->firstRow = (uint16_t)rows;
            return;
        }
        rows += RowsOfLine(line);
    }
}

int KeepReadingPlace(TextPane* pane) {
    if (!pane) return kLayoutNoPane;
    ReadingPlace place = {true, pane->placeOffset};
    if (!pane->placeKept || pane->firstRow != pane->placeRow) place = TopReadingPlace(pane);
    int result = LayoutSection(pane, pane->text, 0);
    if (result != kLayoutDone) return result;
    ShowReadingPlace(pane, place);
    pane->placeKept = place.known;
    pane->placeOffset = place.offset;
    pane->placeRow = pane->firstRow;
    return result;
}

int GrowLineArray(TextPane* pane, int cursor) {
    int capacity = pane->lineCapacity + kLineArrayStep;
    // The counts are 16 bits wide; the spare terminator slot must stay addressable.
    TextLine* lines = capacity < 0xFFFF ? (TextLine*)PlatformAlloc(sizeof(TextLine) * ((size_t)capacity + 1)) : nullptr;
    if (!lines) {
        if (pane->lines && cursor >= 0 && cursor <= pane->lineCapacity) {
            memset(&pane->lines[cursor], 0, sizeof(TextLine));
        }
        return kGrowFailed;
    }
    if (pane->lines) memcpy(lines, pane->lines, sizeof(TextLine) * pane->lineCapacity);
    PlatformFree(pane->lines);
    pane->lines = lines;
    pane->lineCapacity = (uint16_t)capacity;
    return 0;
}

int ComputeLastFirstRow(TextPane* pane) {
    if (!pane || !pane->lines || !pane->rowCount || !pane->lineCount) return -1;
    int remainingPx = (int16_t)pane->height;
    int fittedRows = 0;
    for (int i = pane->lineCount - 1; i >= 0; i--) {
        const TextLine* line = &pane->lines[i];
        if (remainingPx < line->height) break;
        remainingPx -= line->height;
        fittedRows++;
        if (line->flags & kFlagParagraphEnd) {
            remainingPx -= line->height;
            fittedRows++;
        }
    }
    // A paragraph-end row that did not fit is not a whole row. (A pane of no
    // height at all fits nothing; it must not end past the last row.)
    if (remainingPx < 0 && fittedRows > 0) fittedRows--;
    int lastFirstRow = pane->rowCount - fittedRows;
    if (lastFirstRow < 0) lastFirstRow = 0;
    pane->lastFirstRow = (uint16_t)lastFirstRow;
    return lastFirstRow;
}
