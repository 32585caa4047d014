#include "accessibility/pane_document.h"

#include <string.h>

#include <stdlib.h>

#include "accessibility/uia_api.h"
#include "clipboard/copy_text.h"
#include "panes/pane_select.h"
#include "panes/text_pane.h"
#include "platform/services.h"

namespace {

template <typename T>
T* AllocArray(size_t count) {
    return (T*)PlatformAlloc(sizeof(T) * (count ? count : 1));
}

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }
bool IsBlank(wchar_t c) { return c == L' ' || IsLineBreak(c); }

// The pane's rows as the stored stretches they show.
StoredRow* RowsOfPane(const TextPane* pane, int* count) {
    *count = 0;
    if (!pane->lines) return AllocArray<StoredRow>(0);
    StoredRow* rows = AllocArray<StoredRow>((size_t)pane->rowCount + 1);
    if (!rows) return nullptr;
    int n = 0;
    for (const TextLine* line = pane->lines; line->flags && n < pane->rowCount; line++) {
        uint16_t start = (uint16_t)LineTextStart(line);
        rows[n++] = {start, (uint16_t)LineTextEnd(line), false};
        if ((line->flags & kFlagParagraphEnd) && n < pane->rowCount) rows[n++] = {start, start, true};
    }
    *count = n;
    return rows;
}

bool BuildText(PaneDocument* doc, const uint8_t* text, ReadingForm form) {
    CopyTextCounts counts;
    uint32_t records = MeasureCopyText(text, &counts);
    size_t capacity = CopyTextBufferChars(&counts);
    doc->chars = AllocArray<wchar_t>(capacity);
    doc->sources = AllocArray<uint16_t>(capacity);
    doc->records = AllocArray<ReadingRecord>(records);
    if (!doc->chars || !doc->sources || !doc->records) return false;
    ReadingOutput out = {doc->chars, capacity, doc->sources, doc->records, records, 0, 0};
    if (BuildReadingText(text, form, &out) != kCopyTextBuilt) return false;
    doc->length = out.length;
    doc->recordCount = out.recordCount;
    doc->form = form;
    return true;
}

int CompareUnits(const void* a, const void* b) {
    uint32_t left = *(const uint32_t*)a, right = *(const uint32_t*)b;
    return left < right ? -1 : left > right ? 1 : 0;
}

bool BuildRows(PaneDocument* doc, const TextPane* pane) {
    int count = 0;
    StoredRow* stored = RowsOfPane(pane, &count);
    doc->rows = AllocArray<ReadingSpan>((size_t)count);
    doc->lineStarts = AllocArray<uint32_t>((size_t)count);
    bool mapped = stored && doc->rows && doc->lineStarts &&
                  MapRowsToReading(doc->records, doc->recordCount, doc->form.mirror, doc->length, stored, count,
                                   doc->rows);
    PlatformFree(stored);
    if (!mapped) return false;
    doc->rowCount = count;
    for (int i = 0; i < count; i++) doc->lineStarts[i] = doc->rows[i].start;
    qsort(doc->lineStarts, (size_t)count, sizeof(uint32_t), CompareUnits);
    return true;
}

void ReleaseRows(PaneDocument* doc) {
    PlatformFree(doc->rows);
    PlatformFree(doc->lineStarts);
    doc->rows = nullptr;
    doc->lineStarts = nullptr;
    doc->rowCount = 0;
}

bool SameForm(ReadingForm a, ReadingForm b) { return a.letterBase == b.letterBase && a.mirror == b.mirror; }

// The first line start after `at`, or length.
uint32_t NextLineStart(const PaneDocument* doc, uint32_t at) {
    int low = 0, high = doc->rowCount;
    while (low < high) {
        int middle = (low + high) / 2;
        if (doc->lineStarts[middle] <= at) low = middle + 1;
        else high = middle;
    }
    return low < doc->rowCount ? doc->lineStarts[low] : (uint32_t)doc->length;
}

// The unit's letter if it is one: its stored offset; false for the indent,
// the line ends and a rule's hyphens.
bool StoredLetter(const PaneDocument* doc, uint32_t at, uint16_t* offset) {
    uint32_t unit = ReadingUnitOfStored(doc->records, doc->recordCount, doc->form.mirror, doc->sources[at]);
    if (unit != at) return false;
    *offset = doc->sources[at];
    return true;
}

}  // namespace

void ReleasePaneDocument(PaneDocument* doc) {
    ReleaseRows(doc);
    PlatformFree(doc->chars);
    PlatformFree(doc->sources);
    PlatformFree(doc->records);
    memset(doc, 0, sizeof *doc);
}

bool RefreshPaneDocument(PaneDocument* doc, const TextPane* pane) {
    if (!pane || !pane->text) {
        ReleasePaneDocument(doc);
        return false;
    }
    ReadingForm form = ReadingFormOfCopy();
    bool textCurrent = doc->built && doc->textGeneration == pane->textGeneration && SameForm(doc->form, form);
    if (textCurrent && doc->layoutGeneration == pane->layoutGeneration) return true;
    if (!textCurrent) {
        ReleasePaneDocument(doc);
        if (!BuildText(doc, pane->text, form)) {
            ReleasePaneDocument(doc);
            return false;
        }
    }
    ReleaseRows(doc);
    if (!BuildRows(doc, pane)) {
        ReleasePaneDocument(doc);
        return false;
    }
    doc->textGeneration = pane->textGeneration;
    doc->layoutGeneration = pane->layoutGeneration;
    doc->built = true;
    return true;
}

bool IsUnitBoundary(const PaneDocument* doc, int unit, uint32_t at) {
    if (at == 0 || at >= doc->length) return true;
    const wchar_t* c = doc->chars;
    switch (unit) {
    case kTextUnitCharacter: return true;
    case kTextUnitWord: return c[at - 1] == L'\n' || (!IsBlank(c[at]) && IsBlank(c[at - 1]));
    case kTextUnitLine: return NextLineStart(doc, at - 1) == at;
    case kTextUnitParagraph: return c[at - 1] == L'\n';
    default: return false;
    }
}

uint32_t NextUnitBoundary(const PaneDocument* doc, int unit, uint32_t at) {
    if (at >= doc->length) return (uint32_t)doc->length;
    if (unit == kTextUnitLine) return NextLineStart(doc, at);
    uint32_t next = at + 1;
    while (!IsUnitBoundary(doc, unit, next)) next++;
    return next;
}

uint32_t PreviousUnitBoundary(const PaneDocument* doc, int unit, uint32_t at) {
    if (at == 0) return 0;
    if (at > doc->length) at = (uint32_t)doc->length;
    uint32_t previous = at - 1;
    while (!IsUnitBoundary(doc, unit, previous)) previous--;
    return previous;
}

int RowOfUnit(const PaneDocument* doc, uint32_t at) {
    for (int row = 0; row < doc->rowCount; row++)
        if (doc->rows[row].start <= at && at < doc->rows[row].end) return row;
    return doc->rowCount - 1;
}

ReadingSpan CaretSpan(const PaneDocument* doc, const TextPane* pane) {
    if (doc->rowCount == 0) return {0, 0};
    int row = pane->firstRow < doc->rowCount ? pane->firstRow : doc->rowCount - 1;
    return doc->rows[row];
}

wchar_t* SpanTextWithoutLineEnds(const PaneDocument* doc, ReadingSpan span) {
    wchar_t* text = AllocArray<wchar_t>((size_t)(span.end - span.start) + 1);
    if (!text) return nullptr;
    size_t n = 0;
    for (uint32_t i = span.start; i < span.end && i < doc->length; i++)
        if (!IsLineBreak(doc->chars[i])) text[n++] = doc->chars[i];
    while (n && text[n - 1] == L' ') n--;  // the indent
    text[n] = 0;
    return text;
}

int SpanBoxes(const PaneDocument* doc, TextPane* pane, ReadingSpan span, RECT* boxes, int capacity) {
    int count = 0;
    int lastRow = pane->firstRow + pane->rowsDrawn;
    for (int row = pane->firstRow; row < lastRow && row < doc->rowCount && count < capacity; row++) {
        uint32_t start = doc->rows[row].start > span.start ? doc->rows[row].start : span.start;
        uint32_t end = doc->rows[row].end < span.end ? doc->rows[row].end : span.end;
        if (span.start == span.end && span.start >= doc->rows[row].start && span.start < doc->rows[row].end)
            end = start + 1;  // an empty range has the box of the unit it stands at
        bool found = false;
        RECT box = {0, 0, 0, 0};
        for (uint32_t at = start; at < end; at++) {
            uint16_t offset;
            RECT one;
            if (!StoredLetter(doc, at, &offset) || !CharacterBox(pane, offset, &one)) continue;
            if (!found) box = one;
            else UnionRect(&box, &box, &one);
            found = true;
        }
        if (found) boxes[count++] = box;
    }
    return count;
}

bool UnitAtPoint(const PaneDocument* doc, TextPane* pane, int x, int y, uint32_t* at) {
    uint16_t offset;
    if (!CharacterAtPoint(pane, x, y, &offset)) return false;
    uint32_t unit = ReadingUnitOfStored(doc->records, doc->recordCount, doc->form.mirror, offset);
    if (unit == kNoReadingUnit) return false;
    *at = unit;
    return true;
}
