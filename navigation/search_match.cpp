#include "navigation/search_match.h"

#include <string.h>

#include "content/section_records.h"
#include "platform/services.h"

namespace {

// Offsets are 16-bit: a walk never looks past the first 64 KiB.
const uint32_t kMaxSearchedBytes = 0x10000;
const uint8_t kSpace = ' ';

const uint32_t kFirstListCapacity = 64;  // records; most sections have fewer

bool SameByte(uint8_t patternByte, uint8_t textByte) {
    return patternByte == textByte || patternByte == kAnyByte;
}

const uint64_t kEveryByte = 0x0101010101010101ull;
const uint64_t kLowSevenBits = 0x7F7F7F7F7F7F7F7Full;

// Eight text bytes with text[0] in the lowest byte, whatever the machine's order.
uint64_t LoadEightBytes(const uint8_t* text) {
    uint64_t word;
    memcpy(&word, text, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}

// Bit 7 of a byte of the result is set exactly where that byte of `word`
// equals the byte repeated in `wanted`.
uint64_t BytesEqualTo(uint64_t word, uint64_t wanted) {
    uint64_t differs = word ^ wanted;
    return ~(((differs & kLowSevenBits) + kLowSevenBits) | differs | kLowSevenBits);
}

enum EndResult { kEndFails, kEndMatches, kRecordFails };

// Whether a match ends at `end`, whose byte is the pattern's last.
EndResult TryEnd(const uint8_t* recordText, const uint8_t* pattern, int patternLength, ptrdiff_t end,
                 int* matchLength) {
    int j = patternLength - 2;
    ptrdiff_t t = end - 1;
    while (j >= 0 && t >= 0 && SameByte(pattern[j], recordText[t])) {
        j--;
        t--;
    }
    if (j < 0) {
        *matchLength = (int)(end - t);
        return kEndMatches;
    }
    if (t < 0 || pattern[j] != kAnyRun) return kEndFails;
    // Without the part before the star below here, no lower end can have it either.
    int prefixLength = 0;
    const uint8_t* prefixEnd = MatchBackward(recordText, pattern, j, recordText + t, &prefixLength);
    if (!prefixEnd) return kRecordFails;
    *matchLength = (int)(recordText + end - prefixEnd) + prefixLength;
    return kEndMatches;
}

// The end positions in text[base .. base + 7] worth trying, as bit 7 of
// their bytes: those that hold the pattern's last byte and, when the byte
// before it in the pattern is a plain one, have that byte before them.
struct EndFilter {
    uint64_t last;      // the pattern's last byte in every byte
    uint64_t before;    // the byte before it in every byte
    bool checkBefore;
};

EndFilter MakeEndFilter(const uint8_t* pattern, int patternLength) {
    EndFilter filter = {kEveryByte * pattern[patternLength - 1], 0, false};
    if (patternLength >= 2) {
        uint8_t before = pattern[patternLength - 2];
        filter.checkBefore = before != kAnyByte && before != kAnyRun;
        filter.before = kEveryByte * before;
    }
    return filter;
}

uint64_t CandidateEnds(const EndFilter* filter, const uint8_t* recordText, ptrdiff_t base) {
    uint64_t hits = BytesEqualTo(LoadEightBytes(recordText + base), filter->last);
    // Without a test of `hits` first: which blocks hold the last byte is too
    // hard to predict, and a wrong guess costs more than the second look.
    if (filter->checkBefore && base > 0) hits &= BytesEqualTo(LoadEightBytes(recordText + base - 1), filter->before);
    return hits;
}

// Positions are counted from the record's start, so that nothing points
// before it. A search that fails reads every byte of the book, so the end
// positions worth trying are found eight bytes at a time.
const uint8_t* MatchInRecord(const uint8_t* recordText, const uint8_t* pattern, int patternLength,
                             ptrdiff_t highest, int* matchLength) {
    // The last byte is compared as it is: a "?" or "*" there is an ordinary byte.
    uint8_t last = pattern[patternLength - 1];
    EndFilter filter = MakeEndFilter(pattern, patternLength);
    ptrdiff_t top = highest;  // the highest position not yet tried
    while (top >= 0) {
        uint64_t hits = 0;
        ptrdiff_t base = top;
        if (top >= 7) {
            base = top - 7;
            hits = CandidateEnds(&filter, recordText, base);
        } else if (recordText[top] == last) {
            hits = 0x80;
        }
        while (hits) {
            int bit = 63 - __builtin_clzll(hits);  // the highest end first
            ptrdiff_t end = base + bit / 8;
            EndResult result = TryEnd(recordText, pattern, patternLength, end, matchLength);
            if (result == kEndMatches) return recordText + end;
            if (result == kRecordFails) return nullptr;
            hits &= ~(1ull << bit);
        }
        top = base - 1;
    }
    return nullptr;
}

// Room for at least one more span: the list doubles when it is full.
bool MakeRoomForSpan(RecordList* list, uint32_t* capacity, SearchAllocator allocate) {
    if (list->count < *capacity) return true;
    uint32_t larger = *capacity ? *capacity * 2 : kFirstListCapacity;
    RecordSpan* spans = (RecordSpan*)allocate(larger * sizeof(RecordSpan));
    if (!spans) return false;
    if (list->count) memcpy(spans, list->spans, list->count * sizeof(RecordSpan));
    PlatformFree(list->spans);
    list->spans = spans;
    *capacity = larger;
    return true;
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
    return MatchInRecord(recordText, pattern, patternLength, highest - recordText, matchLength);
}

bool ListSectionRecords(const uint8_t* text, uint32_t limit, SearchAllocator allocate, RecordList* list) {
    list->spans = nullptr;
    list->count = 0;
    RecordWalker walker;
    StartRecordWalk(&walker, text, limit < kMaxSearchedBytes ? limit : kMaxSearchedBytes);
    ParagraphRecord record;
    uint32_t capacity = 0;
    while (NextParagraphRecord(&walker, &record)) {
        if (!MakeRoomForSpan(list, &capacity, allocate)) {
            PlatformFree(list->spans);
            list->spans = nullptr;
            list->count = 0;
            return false;
        }
        list->spans[list->count].textOffset = (uint16_t)record.textOffset;
        list->spans[list->count].endOffset = (uint16_t)(record.textOffset + record.textLength);
        list->count++;
    }
    return true;
}

int FindInSectionText(const uint8_t* text, uint32_t limit, uint16_t startOffset, const SearchPattern* pattern,
                      SearchAllocator allocate, int* matchLength) {
    if (!text || pattern->length <= 0) return 0;
    RecordList list;
    if (!ListSectionRecords(text, limit, allocate, &list)) return kSearchNoMemory;
    int found = 0;
    for (uint32_t i = 0; i < list.count && !found; i++) {
        const RecordSpan& span = list.spans[i];
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
    PlatformFree(list.spans);
    return found;
}

void EditTextToSearchString(const wchar_t* text, int letterBase, uint8_t* field, size_t fieldBytes) {
    if (!field || fieldBytes == 0) return;
    size_t most = fieldBytes - 1 < (size_t)kMaxSearchCodes ? fieldBytes - 1 : (size_t)kMaxSearchCodes;
    size_t count = 0;
    for (const wchar_t* c = text; c && *c && count < most; c++) {
        uint8_t code = CodeOfCharacter((uint32_t)*c, letterBase);
        // Of a run of spaces only the last is kept.
        if (code == kSpace && count > 0 && field[count - 1] == kSpace) count--;
        field[count++] = code;
    }
    field[count] = 0;
}

uint16_t ResumeOffsetOf(const ResumeView* view) {
    if (view->markOnNoLine) return (uint16_t)(view->markStart - 1);
    bool markOffTopLine = view->markEnd < view->topOffset || view->markEnd > view->topEnd;
    if (markOffTopLine && view->firstRow < view->lastFirstRow) return (uint16_t)(view->topEnd - 1);
    if (view->markStart == view->topOffset) return view->nextEnd;
    return (uint16_t)(view->markStart - 1);
}
