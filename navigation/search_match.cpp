#include "navigation/search_match.h"

#include "content/section_records.h"
#include "platform/services.h"

namespace {

// Offsets are 16-bit: a walk never looks past the first 64 KiB.
const uint32_t kMaxSearchedBytes = 0x10000;
const uint8_t kSpace = ' ';
const int kLetterCount = 27;

bool SameByte(uint8_t patternByte, uint8_t textByte) {
    return patternByte == textByte || patternByte == kAnyByte;
}

}  // namespace

SearchPattern PatternOfSearchString(const uint8_t* searchString, size_t fieldBytes) {
    SearchPattern pattern = {searchString, 0};
    if (!searchString) return pattern;
    size_t most = fieldBytes < (size_t)kMaxSearchCodes ? fieldBytes : (size_t)kMaxSearchCodes;
    while ((size_t)pattern.length < most && searchString[pattern.length]) pattern.length++;
    return pattern;
}

const uint8_t* MatchBackward(const uint8_t* recordText, const uint8_t* pattern, int patternLength,
                             const uint8_t* highest, int* matchLength) {
    if (patternLength <= 0 || !highest || highest < recordText) return nullptr;
    // The last byte is compared as it is: a "?" or "*" there is an ordinary byte.
    uint8_t last = pattern[patternLength - 1];
    // Positions are counted from the record's start, so that nothing points before it.
    for (ptrdiff_t end = highest - recordText; end >= 0; end--) {
        if (recordText[end] != last) continue;
        int j = patternLength - 2;
        ptrdiff_t t = end - 1;
        while (j >= 0 && t >= 0 && SameByte(pattern[j], recordText[t])) {
            j--;
            t--;
        }
        if (j < 0) {
            *matchLength = (int)(end - t);
            return recordText + end;
        }
        if (t < 0 || pattern[j] != kAnyRun) continue;
        int prefixLength = 0;
        const uint8_t* prefixEnd = MatchBackward(recordText, pattern, j, recordText + t, &prefixLength);
        if (!prefixEnd) return nullptr;
        *matchLength = (int)(recordText + end - prefixEnd) + prefixLength;
        return recordText + end;
    }
    return nullptr;
}

uint32_t ListSectionRecords(const uint8_t* text, uint32_t limit, RecordSpan* spans, uint32_t capacity) {
    RecordWalker walker;
    StartRecordWalk(&walker, text, limit < kMaxSearchedBytes ? limit : kMaxSearchedBytes);
    ParagraphRecord record;
    uint32_t count = 0;
    while (NextParagraphRecord(&walker, &record)) {
        if (count < capacity) {
            spans[count].textOffset = (uint16_t)record.textOffset;
            spans[count].endOffset = (uint16_t)(record.textOffset + record.textLength);
        }
        count++;
    }
    return count;
}

int FindInSectionText(const uint8_t* text, uint32_t limit, uint16_t startOffset, const SearchPattern* pattern,
                      SearchAllocator allocate, int* matchLength) {
    if (!text || pattern->length <= 0) return 0;
    uint32_t count = ListSectionRecords(text, limit, nullptr, 0);
    if (count == 0) return 0;
    RecordSpan* spans = (RecordSpan*)allocate(count * sizeof(RecordSpan));
    if (!spans) return kSearchNoMemory;
    ListSectionRecords(text, limit, spans, count);

    int found = 0;
    for (uint32_t i = 0; i < count && !found; i++) {
        const RecordSpan& span = spans[i];
        if (startOffset > span.endOffset) continue;
        if (span.endOffset == span.textOffset) continue;  // no text to search
        uint16_t highest = startOffset >= span.textOffset ? startOffset : (uint16_t)(span.endOffset - 1);
        int length = 0;
        const uint8_t* end = MatchBackward(text + span.textOffset, pattern->bytes, pattern->length,
                                           text + highest, &length);
        if (end) {
            found = (int)(end - text);
            *matchLength = length;
        }
    }
    PlatformFree(spans);
    return found;
}

void EditTextToSearchString(const wchar_t* text, int letterBase, uint8_t* field, size_t fieldBytes) {
    if (!field || fieldBytes == 0) return;
    size_t most = fieldBytes - 1 < (size_t)kMaxSearchCodes ? fieldBytes - 1 : (size_t)kMaxSearchCodes;
    size_t count = 0;
    for (const wchar_t* c = text; c && *c && count < most; c++) {
        long value = (long)*c;
        uint8_t code = value >= letterBase && value < letterBase + kLetterCount
                           ? (uint8_t)(kFirstLetterCode + (value - letterBase))
                           : (uint8_t)(value & 0xFF);
        // Of a run of spaces only the last is kept.
        if (code == kSpace && count > 0 && field[count - 1] == kSpace) count--;
        field[count++] = code;
    }
    field[count] = 0;
}

uint16_t ResumeOffsetOf(const ResumeView* view) {
    bool markOffTopLine = view->markEnd < view->topOffset || view->markEnd > view->topEnd;
    if (markOffTopLine && view->firstRow < view->lastFirstRow) return (uint16_t)(view->topEnd - 1);
    if (view->markStart == view->topOffset) return view->nextEnd;
    return (uint16_t)(view->markStart - 1);
}
