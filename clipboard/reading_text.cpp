#include "clipboard/reading_text.h"

#include <stdlib.h>
#include <string.h>

#include "content/section_records.h"
#include "platform/mirrored_text.h"
#include "platform/services.h"

namespace {

const uint8_t kLargestPixelRule = 160;

struct Writer {
    ReadingOutput* out;
    size_t end;  // leaves the terminator its own place
    bool full;
};

bool HasRoom(Writer* writer, size_t count) {
    if (writer->end - writer->out->length >= count) return true;
    writer->full = true;
    return false;
}

void Put(Writer* writer, wchar_t c, uint16_t source) {
    ReadingOutput* out = writer->out;
    out->chars[out->length] = c;
    if (out->sources) out->sources[out->length] = source;
    out->length++;
}

void PutRepeated(Writer* writer, wchar_t c, size_t count, uint16_t source) {
    if (!HasRoom(writer, count)) return;
    for (size_t i = 0; i < count; i++) Put(writer, c, source);
}

// The record's letters by the form, in reading order.
void PutLetters(Writer* writer, const uint8_t* text, const ParagraphRecord& record, ReadingForm form) {
    uint32_t count = record.textLength;
    if (!HasRoom(writer, count)) return;
    for (uint32_t i = 0; i < count; i++) {
        uint32_t at = record.textOffset + (form.mirror ? count - 1 - i : i);
        wchar_t c = (wchar_t)CharacterOfCode(text[at], form.letterBase);
        Put(writer, form.mirror ? MirroredBracket(c) : c, (uint16_t)at);
    }
}

void PutLineEnd(Writer* writer, uint16_t source) {
    if (!HasRoom(writer, 2)) return;
    Put(writer, L'\r', source);
    Put(writer, L'\n', source);
}

void NoteRecord(ReadingOutput* out, const ParagraphRecord& record, uint32_t readStart, uint32_t blankStart) {
    if (!out->records || out->recordCount >= out->recordCapacity) return;
    ReadingRecord& noted = out->records[out->recordCount++];
    noted.storedStart = record.offset;
    noted.storedNext = record.nextOffset;
    noted.textOffset = record.textOffset;
    noted.textLength = record.textLength;
    noted.readStart = readStart;
    noted.blankStart = blankStart;
    noted.spacer = IsSpacerRecord(record.flags);
}

// The record holding stored offset `offset`: the last that starts at or
// before it. Null before the first.
const ReadingRecord* RecordOfStored(const ReadingRecord* records, uint32_t recordCount, uint32_t offset) {
    uint32_t low = 0, high = recordCount;
    while (low < high) {
        uint32_t middle = low + (high - low) / 2;
        if (records[middle].storedStart <= offset) low = middle + 1;
        else high = middle;
    }
    return low ? &records[low - 1] : nullptr;
}

// The first unit a row shows in reading order.
uint32_t RowAnchor(const ReadingRecord* records, uint32_t recordCount, bool mirror, const StoredRow& row) {
    const ReadingRecord* record = RecordOfStored(records, recordCount, row.start);
    if (!record) return 0;
    if (row.blank) return record->blankStart != kNoBlankRow ? record->blankStart : record->readStart;
    if (record->spacer || row.end <= row.start) return record->readStart;
    uint32_t first = ReadingUnitOfStored(records, recordCount, mirror, row.start);
    uint32_t last = ReadingUnitOfStored(records, recordCount, mirror, (uint32_t)row.end - 1);
    uint32_t anchor = first < last ? first : last;
    return anchor == kNoReadingUnit ? record->readStart : anchor;
}

struct AnchoredRow {
    uint32_t anchor;
    int row;
};

int CompareAnchoredRows(const void* a, const void* b) {
    const AnchoredRow* left = (const AnchoredRow*)a;
    const AnchoredRow* right = (const AnchoredRow*)b;
    if (left->anchor != right->anchor) return left->anchor < right->anchor ? -1 : 1;
    return left->row - right->row;  // rows that start together keep their order
}

}  // namespace

int RuleHyphenCount(uint8_t value) {
    return value <= kLargestPixelRule ? value : (value - kLargestPixelRule) * 2;
}

uint32_t MeasureCopyText(const uint8_t* text, CopyTextCounts* counts) {
    memset(counts, 0, sizeof *counts);
    RecordWalker walker;
    StartRecordWalk(&walker, text, kUnboundedWalk);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
        counts->records += (record.flags & kFlagParagraphEnd) ? 2 : 1;
        if (IsSpacerRecord(record.flags)) {
            counts->ruleChars += (uint32_t)RuleHyphenCount(record.indent);
        } else {
            counts->indentChars += (uint32_t)IndentPixels(record.indent);
        }
    }
    uint32_t textBytes = walker.position;  // the walk stops on the closing 0
    counts->textChars = textBytes + textBytes / 2;
    return counts->records;
}

size_t CopyTextBufferChars(const CopyTextCounts* counts) {
    size_t lineEndChars = 2 * (size_t)counts->records;
    return (size_t)counts->textChars + lineEndChars + counts->ruleChars + counts->indentChars + 1;
}

int BuildReadingText(const uint8_t* text, ReadingForm form, ReadingOutput* out) {
    out->length = 0;
    out->recordCount = 0;
    if (out->capacity == 0) return kCopyTextFull;
    Writer writer = {out, out->capacity - 1, false};
    RecordWalker walker;
    StartRecordWalk(&walker, text, kUnboundedWalk);
    ParagraphRecord record;
    while (!writer.full && NextParagraphRecord(&walker, &record)) {
        uint32_t readStart = (uint32_t)out->length;
        uint16_t own = (uint16_t)record.offset;
        if (IsSpacerRecord(record.flags)) {
            PutRepeated(&writer, L'-', (size_t)RuleHyphenCount(record.indent), own);
        } else {
            PutLetters(&writer, text, record, form);
            PutRepeated(&writer, L' ', (size_t)IndentPixels(record.indent), own);
        }
        PutLineEnd(&writer, own);
        uint32_t blankStart = kNoBlankRow;
        if (record.flags & kFlagParagraphEnd) {
            blankStart = (uint32_t)out->length;
            PutLineEnd(&writer, own);
        }
        if (!writer.full) NoteRecord(out, record, readStart, blankStart);
    }
    out->chars[out->length] = 0;
    return writer.full ? kCopyTextFull : kCopyTextBuilt;
}

uint32_t ReadingUnitOfStored(const ReadingRecord* records, uint32_t recordCount, bool mirror, uint32_t offset) {
    const ReadingRecord* record = RecordOfStored(records, recordCount, offset);
    if (!record || record->spacer) return kNoReadingUnit;
    if (offset < record->textOffset || offset >= record->textOffset + record->textLength) return kNoReadingUnit;
    uint32_t index = offset - record->textOffset;
    return record->readStart + (mirror ? record->textLength - 1 - index : index);
}

bool MapRowsToReading(const ReadingRecord* records, uint32_t recordCount, bool mirror, size_t length,
                      const StoredRow* rows, int rowCount, ReadingSpan* spans) {
    if (rowCount <= 0) return true;
    AnchoredRow* order = (AnchoredRow*)PlatformAlloc(sizeof(AnchoredRow) * (size_t)rowCount);
    if (!order) return false;
    for (int i = 0; i < rowCount; i++) order[i] = {RowAnchor(records, recordCount, mirror, rows[i]), i};
    qsort(order, (size_t)rowCount, sizeof *order, CompareAnchoredRows);
    order[0].anchor = 0;  // what comes before the first row read is its
    for (int i = 0; i < rowCount; i++) {
        uint32_t end = i + 1 < rowCount ? order[i + 1].anchor : (uint32_t)length;
        spans[order[i].row] = {order[i].anchor, end};
    }
    PlatformFree(order);
    return true;
}
