// The selection of a pane, and the mapping between the screen and the text
// that it and the pointer share with painting: the same visible lines, the
// same run and hanging-word cells, the same character widths.
#include "panes/pane_select.h"

#include "content/section_records.h"
#include "panes/pane_paint.h"
#include "panes/pane_watch.h"
#include "panes/theme.h"
#include "platform/out_of_memory.h"

namespace {

const int kMaxSegments = 2;

bool CanDraw(const TextPane* pane) { return pane && pane->text && pane->lines && !ProgramEnding(); }

uint32_t TextEnd(const ParagraphRecord& record) { return record.textOffset + record.textLength; }

bool IsReversed(const ParagraphRecord& record) { return (record.flags & kFlagReversed) != 0; }

// The text record whose text holds `offset`. Pane texts end in the guard
// bytes of a loaded section, which stop the walk.
bool FindTextRecord(const uint8_t* text, uint32_t offset, ParagraphRecord* found) {
    RecordWalker walker;
    StartRecordWalk(&walker, text, kUnboundedWalk);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
        if (offset < record.textOffset) return false;  // a record's head bytes
        if (!IsSpacerRecord(record.flags) && offset < TextEnd(record)) {
            *found = record;
            return true;
        }
    }
    return false;
}

// Where a character comes in reading order: its offset, mirrored within a
// reversed paragraph, which is read from its stored end. The mapping is its
// own inverse and keeps every paragraph within its own stretch.
uint32_t ReadingKey(const ParagraphRecord& record, uint32_t offset) {
    return IsReversed(record) ? record.textOffset + TextEnd(record) - 1 - offset : offset;
}

void AddStretch(SelectedStretches* selected, uint32_t start, uint32_t end) {
    if (start >= end || selected->count >= kSelectedStretches) return;
    selected->stretches[selected->count++] = {(uint16_t)start, (uint16_t)end};
}

// The stored stretch of a paragraph from reading key `from` to its reading
// end, or from its reading start to reading key `to` (both included).
void AddFromKey(SelectedStretches* selected, const ParagraphRecord& record, uint32_t from) {
    uint32_t stored = ReadingKey(record, from);
    if (IsReversed(record)) AddStretch(selected, record.textOffset, stored + 1);
    else AddStretch(selected, stored, TextEnd(record));
}
void AddToKey(SelectedStretches* selected, const ParagraphRecord& record, uint32_t to) {
    uint32_t stored = ReadingKey(record, to);
    if (IsReversed(record)) AddStretch(selected, stored, TextEnd(record));
    else AddStretch(selected, record.textOffset, stored + 1);
}

// ---- Lines on screen -------------------------------------------------------------

// A cell a line draws: its run, or the characters of its hanging word that
// the column shows.
struct Segment {
    uint16_t offset;
    int count;
    int x;
    int widthPx;
};

// The cells of a line from left to right: a plain paragraph's hanging word
// stands left of the run, a reversed one's right of it.
int LineSegments(const TextLine* line, Segment* segments) {
    Segment run = {line->offset, line->length, LineX(line), line->width};
    Segment word = {line->hanging.offset, line->hanging.fitCount, HangingWordX(line), line->hanging.fitWidth};
    Segment ordered[kMaxSegments] = {run, word};
    int count = 1;
    if (line->hangWidth) {
        count = 2;
        if (!(line->flags & kFlagReversed)) {
            ordered[0] = word;
            ordered[1] = run;
        }
    }
    int kept = 0;
    for (int i = 0; i < count; i++) {
        if (ordered[i].count > 0) segments[kept++] = ordered[i];
    }
    return kept;
}

bool IsTextLine(const TextLine* line) {
    return !IsSpacerRecord(line->flags) && line->length + line->hanging.fitCount > 0;
}

// A segment measured in the line's font as DrawTextCell draws it: the right
// edge of each character in drawing order, from where the text starts.
struct MeasuredSegment {
    const int* edgesPx;
    int count;
    int originX;
    bool mirrored;  // Reverse mode: drawing order is the stored order backwards
};

bool MeasureSegment(TextPane* pane, const Segment& segment, MeasuredSegment* measured) {
    measured->edgesPx = DrawnCharacterEdges(pane->dc, pane->text + segment.offset, segment.count, &measured->count);
    if (!measured->edgesPx || measured->count == 0) return false;
    // Centred in its cell, as DrawTextCell places it.
    measured->originX = segment.x + (segment.widthPx - measured->edgesPx[measured->count - 1]) / 2;
    measured->mirrored = ReverseModeActive();
    return true;
}

int StoredIndex(const MeasuredSegment& measured, int drawnIndex) {
    return measured.mirrored ? measured.count - 1 - drawnIndex : drawnIndex;
}

// The character of a measured segment under x, the nearest end beside it.
int DrawnIndexAt(const MeasuredSegment& measured, int x) {
    int relativePx = x - measured.originX;
    for (int i = 0; i < measured.count; i++) {
        if (relativePx < measured.edgesPx[i]) return i;
    }
    return measured.count - 1;
}

// The segment under x, or the one whose end is nearest.
int SegmentAt(const Segment* segments, int count, int x) {
    int nearest = 0;
    int nearestPx = 0x7FFFFFFF;
    for (int i = 0; i < count; i++) {
        int left = segments[i].x;
        int right = left + segments[i].widthPx;
        int distancePx = x < left ? left - x : (x >= right ? x - right + 1 : 0);
        if (distancePx < nearestPx) {
            nearest = i;
            nearestPx = distancePx;
        }
    }
    return nearest;
}

bool CharacterInLine(TextPane* pane, const TextLine* line, int x, uint16_t* offset) {
    Segment segments[kMaxSegments];
    int count = LineSegments(line, segments);
    if (count == 0) return false;
    const Segment& segment = segments[SegmentAt(segments, count, x)];
    HFONT savedFont = SelectStyleFont(pane, line->flags);
    MeasuredSegment measured;
    bool found = MeasureSegment(pane, segment, &measured);
    if (found) *offset = (uint16_t)(segment.offset + StoredIndex(measured, DrawnIndexAt(measured, x)));
    SelectObject(pane->dc, savedFont);
    return found;
}

bool SameStretch(TextStretch a, TextStretch b) {
    bool emptyA = a.start >= a.end;
    bool emptyB = b.start >= b.end;
    return (emptyA && emptyB) || (a.start == b.start && a.end == b.end);
}

// The selected characters of one line, drawn over it in its font.
void PaintLineSelection(TextPane* pane, const TextLine* line, int y, const SelectedStretches& selected) {
    Segment segments[kMaxSegments];
    int count = LineSegments(line, segments);
    for (int i = 0; i < count; i++) {
        const Segment& segment = segments[i];
        TextStretch part = SelectedPart(selected, segment.offset, segment.offset + segment.count);
        if (part.start < part.end)
            PaintRunStretch(pane, segment.offset, segment.count, segment.x, y, part.start, part.end,
                            SelectionTextColour(), SelectionBackColour());
    }
}

TextStretch LineSelectedPart(const SelectedStretches& selected, const TextLine* line) {
    return SelectedPart(selected, LineTextStart(line), LineTextEnd(line));
}

// Punctuation that closes or opens a word rather than belonging to it. The
// apostrophe and an inner double quote mark abbreviations and stay.
bool IsWordPunctuation(uint8_t code) {
    switch (code) {
    case '.': case ',': case ':': case ';': case '!': case '?': case '"':
    case '(': case ')': case '[': case ']': case '}': case kBraceEscape:
        return true;
    default:
        return false;
    }
}

}  // namespace

SelectedStretches ResolveSelection(const TextPane* pane) {
    SelectedStretches selected = {};
    if (!pane || !pane->text || !pane->hasSelection) return selected;
    ParagraphRecord anchor, focus;
    if (!FindTextRecord(pane->text, pane->selectAnchor, &anchor) ||
        !FindTextRecord(pane->text, pane->selectFocus, &focus))
        return selected;
    uint32_t anchorKey = ReadingKey(anchor, pane->selectAnchor);
    uint32_t focusKey = ReadingKey(focus, pane->selectFocus);
    bool anchorFirst = anchorKey <= focusKey;
    const ParagraphRecord& first = anchorFirst ? anchor : focus;
    const ParagraphRecord& last = anchorFirst ? focus : anchor;
    uint32_t firstKey = anchorFirst ? anchorKey : focusKey;
    uint32_t lastKey = anchorFirst ? focusKey : anchorKey;
    if (first.offset == last.offset) {
        uint32_t a = ReadingKey(first, firstKey);
        uint32_t b = ReadingKey(first, lastKey);
        AddStretch(&selected, a < b ? a : b, (a < b ? b : a) + 1);
        return selected;
    }
    AddFromKey(&selected, first, firstKey);
    AddStretch(&selected, TextEnd(first), last.textOffset);
    AddToKey(&selected, last, lastKey);
    return selected;
}

TextStretch SelectedPart(const SelectedStretches& selected, int start, int end) {
    TextStretch part = {0, 0};
    bool any = false;
    for (int i = 0; i < selected.count; i++) {
        int from = selected.stretches[i].start > start ? selected.stretches[i].start : start;
        int to = selected.stretches[i].end < end ? selected.stretches[i].end : end;
        if (from >= to) continue;
        if (!any || from < part.start) part.start = (uint16_t)from;
        if (!any || to > part.end) part.end = (uint16_t)to;
        any = true;
    }
    return part;
}

void SelectCharacters(TextPane* pane, uint16_t anchor, uint16_t focus) {
    if (!pane || !pane->text) return;
    ParagraphRecord record;
    if (!FindTextRecord(pane->text, anchor, &record) || !FindTextRecord(pane->text, focus, &record)) {
        pane->hasSelection = 0;
        return;
    }
    pane->hasSelection = 1;
    pane->selectAnchor = anchor;
    pane->selectFocus = focus;
}

void ClearSelection(TextPane* pane) {
    if (pane) pane->hasSelection = 0;
}

bool HasSelection(const TextPane* pane) { return pane && pane->text && pane->hasSelection; }

bool WordAt(const uint8_t* text, uint16_t offset, uint16_t* first, uint16_t* last) {
    ParagraphRecord record;
    if (!text || !FindTextRecord(text, offset, &record) || text[offset] == kSpaceCode) return false;
    uint32_t start = offset;
    uint32_t end = offset + 1;
    while (start > record.textOffset && text[start - 1] != kSpaceCode) start--;
    while (end < TextEnd(record) && text[end] != kSpaceCode) end++;
    uint32_t trimmedStart = start;
    uint32_t trimmedEnd = end;
    while (trimmedStart < trimmedEnd && IsWordPunctuation(text[trimmedStart])) trimmedStart++;
    while (trimmedEnd > trimmedStart && IsWordPunctuation(text[trimmedEnd - 1])) trimmedEnd--;
    // A mark standing alone is a word of its own.
    if (trimmedStart < trimmedEnd) {
        start = trimmedStart;
        end = trimmedEnd;
    }
    *first = (uint16_t)start;
    *last = (uint16_t)(end - 1);
    return true;
}

bool SelectWordAt(TextPane* pane, uint16_t offset) {
    uint16_t first, last;
    if (!pane || !WordAt(pane->text, offset, &first, &last)) return false;
    SelectCharacters(pane, first, last);
    return true;
}

bool SelectParagraphAt(TextPane* pane, uint16_t offset) {
    ParagraphRecord record;
    if (!pane || !pane->text || !FindTextRecord(pane->text, offset, &record)) return false;
    SelectCharacters(pane, (uint16_t)record.textOffset, (uint16_t)(TextEnd(record) - 1));
    return true;
}

bool SelectAllText(TextPane* pane) {
    if (!pane || !pane->text) return false;
    RecordWalker walker;
    StartRecordWalk(&walker, pane->text, kUnboundedWalk);
    ParagraphRecord record;
    bool any = false;
    uint32_t firstRead = 0;
    uint32_t lastRead = 0;
    while (NextParagraphRecord(&walker, &record)) {
        if (IsSpacerRecord(record.flags) || record.textLength == 0) continue;
        uint32_t readFrom = ReadingKey(record, record.textOffset);  // a reversed paragraph starts at its end
        uint32_t readTo = ReadingKey(record, TextEnd(record) - 1);
        if (!any) firstRead = readFrom;
        lastRead = readTo;
        any = true;
    }
    if (!any) return false;
    SelectCharacters(pane, (uint16_t)firstRead, (uint16_t)lastRead);
    return true;
}

bool CharacterAtPoint(TextPane* pane, int x, int y, uint16_t* offset) {
    if (!pane || !pane->text || !pane->lines) return false;
    // The last text line starting at or above y; the first one when y is above all.
    const TextLine* chosen = nullptr;
    for (VisibleLine at = FirstVisibleLine(pane); IsVisibleLine(at); NextVisibleLine(&at)) {
        if (!IsTextLine(at.line)) continue;
        if (chosen && at.y > y) break;
        chosen = at.line;
    }
    return chosen && CharacterInLine(pane, chosen, x, offset);
}

bool CharacterBox(TextPane* pane, uint16_t offset, RECT* box) {
    if (!pane || !pane->text || !pane->lines) return false;
    for (VisibleLine at = FirstVisibleLine(pane); IsVisibleLine(at); NextVisibleLine(&at)) {
        if (!IsTextLine(at.line)) continue;
        Segment segments[kMaxSegments];
        int count = LineSegments(at.line, segments);
        for (int i = 0; i < count; i++) {
            const Segment& segment = segments[i];
            if (offset < segment.offset || offset >= segment.offset + segment.count) continue;
            HFONT savedFont = SelectStyleFont(pane, at.line->flags);
            MeasuredSegment measured;
            bool measuredOk = MeasureSegment(pane, segment, &measured);
            int index = offset - segment.offset;
            if (measuredOk && index < measured.count) {
                int drawn = StoredIndex(measured, index);
                box->left = measured.originX + (drawn ? measured.edgesPx[drawn - 1] : 0);
                box->right = measured.originX + measured.edgesPx[drawn];
                box->top = at.y;
                box->bottom = at.y + at.line->height;
            }
            SelectObject(pane->dc, savedFont);
            return measuredOk && index < measured.count;
        }
    }
    return false;
}

COLORREF SelectionTextColour() { return CurrentPalette().selectText; }
COLORREF SelectionBackColour() { return CurrentPalette().selectBack; }

void PaintSelection(TextPane* pane) {
    if (!CanDraw(pane) || !pane->hasSelection) return;
    SelectedStretches selected = ResolveSelection(pane);
    if (selected.count == 0) return;
    for (VisibleLine at = FirstVisibleLine(pane); IsVisibleLine(at); NextVisibleLine(&at)) {
        if (!IsTextLine(at.line)) continue;
        TextStretch part = LineSelectedPart(selected, at.line);
        if (part.start >= part.end) continue;
        HFONT savedFont = SelectStyleFont(pane, at.line->flags);
        PaintLineSelection(pane, at.line, at.y, selected);
        SelectObject(pane->dc, savedFont);
    }
}

void RepaintSelectionChange(TextPane* pane, const SelectedStretches& before, COLORREF ground) {
    NotePaneSelected(pane);
    if (!CanDraw(pane)) return;
    SelectedStretches now = ResolveSelection(pane);
    HDC dc = pane->dc;
    int savedMode = SetBkMode(dc, TRANSPARENT);
    for (VisibleLine at = FirstVisibleLine(pane); IsVisibleLine(at); NextVisibleLine(&at)) {
        if (!IsTextLine(at.line)) continue;
        if (SameStretch(LineSelectedPart(before, at.line), LineSelectedPart(now, at.line))) continue;
        RECT row = {pane->left, at.y, pane->left + pane->width, at.y + at.line->height};
        FillWithColour(dc, row, ground);
        PaintLine(pane, at.line, at.y);
        PaintMarksOfLine(pane, at.line, at.y);
        HFONT savedFont = SelectStyleFont(pane, at.line->flags);
        PaintLineSelection(pane, at.line, at.y, now);
        SelectObject(dc, savedFont);
        PaintAccentBetween(pane, row.top, row.bottom);  // the row's fill covered it
    }
    SetBkMode(dc, savedMode);
}
