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
    SearchPattern pattern = {searchString, 0, 0};
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

// ---- The options ---------------------------------------------------------------

namespace {

const uint8_t kVavCode = 0x66;
const uint8_t kYodCode = 0x6A;

// One record's text as the matcher compares it: the record itself, or with
// options a folded copy whose bytes remember their offsets in the section.
struct RecordView {
    const uint8_t* bytes;
    int length;
    const uint16_t* offsets;  // null: byte i lies at `first` + i
    uint16_t first;
};

uint16_t OffsetOfIndex(const RecordView* view, int index) {
    return view->offsets ? view->offsets[index] : (uint16_t)(view->first + index);
}

// The pattern as compared, and with options the room to fold one record.
struct Matcher {
    const uint8_t* pattern;
    int patternLength;
    uint32_t options;
    void* block;  // owned: the folded pattern and record
    uint8_t* foldedBytes;
    uint16_t* foldedOffsets;
};

int FoldPattern(const SearchPattern* pattern, uint32_t options, uint8_t* folded) {
    int length = 0;
    for (int i = 0; i < pattern->length; i++) {
        int code = ComparedCode(pattern->bytes[i], options);
        if (code != kSkippedCode) folded[length++] = (uint8_t)code;
    }
    return length;
}

uint32_t LongestRecord(const RecordList* list) {
    uint32_t longest = 0;
    for (uint32_t i = 0; i < list->count; i++) {
        uint32_t length = (uint32_t)(list->spans[i].endOffset - list->spans[i].textOffset) + 1;
        if (length > longest) longest = length;
    }
    return longest;
}

// False when the working memory could not be had.
bool PrepareMatcher(const SearchPattern* pattern, const RecordList* list, SearchAllocator allocate, Matcher* matcher) {
    *matcher = {pattern->bytes, pattern->length, pattern->options & kSearchKnownOptions, nullptr, nullptr, nullptr};
    if (!matcher->options) return true;
    uint32_t longest = LongestRecord(list);
    size_t offsetsBytes = (size_t)longest * sizeof(uint16_t);
    size_t bytes = offsetsBytes + longest + (size_t)pattern->length;
    matcher->block = allocate(bytes ? bytes : 1);
    if (!matcher->block) return false;
    matcher->foldedOffsets = (uint16_t*)matcher->block;
    matcher->foldedBytes = (uint8_t*)matcher->block + offsetsBytes;
    uint8_t* folded = matcher->foldedBytes + longest;
    int length = FoldPattern(pattern, matcher->options, folded);
    // A pattern of nothing but vav and yod would be left empty, and find
    // nothing; it is looked for as it was typed instead.
    if (length == 0 && (matcher->options & kSearchSkipVavYod)) {
        matcher->options &= ~kSearchSkipVavYod;
        length = FoldPattern(pattern, matcher->options, folded);
    }
    matcher->pattern = folded;
    matcher->patternLength = length;
    return true;
}

void ReleaseMatcher(Matcher* matcher) {
    PlatformFree(matcher->block);
    matcher->block = nullptr;
}

// A section's records and the matcher over them, for one search of it.
struct SectionSearch {
    RecordList list;
    Matcher matcher;
};

// False, with nothing held, when the working memory could not be had.
bool OpenSectionSearch(const uint8_t* text, uint32_t limit, const SearchPattern* pattern, SearchAllocator allocate,
                       SectionSearch* search) {
    if (!ListSectionRecords(text, limit, allocate, &search->list)) return false;
    if (PrepareMatcher(pattern, &search->list, allocate, &search->matcher)) return true;
    PlatformFree(search->list.spans);
    return false;
}

void CloseSectionSearch(SectionSearch* search) {
    ReleaseMatcher(&search->matcher);
    PlatformFree(search->list.spans);
}

// The record's text from its first byte up to `last` (inclusive), as compared.
RecordView ViewOfRecord(const Matcher* matcher, const uint8_t* text, const RecordSpan& span, uint16_t last) {
    RecordView view = {text + span.textOffset, last - span.textOffset + 1, nullptr, span.textOffset};
    if (!matcher->options) return view;
    int length = 0;
    for (uint32_t offset = span.textOffset; offset <= last; offset++) {
        int code = ComparedCode(text[offset], matcher->options);
        if (code == kSkippedCode) continue;
        matcher->foldedBytes[length] = (uint8_t)code;
        matcher->foldedOffsets[length] = (uint16_t)offset;
        length++;
    }
    return {matcher->foldedBytes, length, matcher->foldedOffsets, span.textOffset};
}

// The match with the highest end at or below index `highest` of the view.
// Its start index goes to *startIndex.
bool MatchInView(const Matcher* matcher, const RecordView* view, int highest, SectionHit* hit, int* startIndex) {
    if (highest < 0 || highest >= view->length) return false;
    int length = 0;
    const uint8_t* end = MatchBackward(view->bytes, matcher->pattern, matcher->patternLength, view->bytes + highest,
                                       &length);
    if (!end) return false;
    int endIndex = (int)(end - view->bytes);
    *startIndex = endIndex - length + 1;
    hit->endOffset = OffsetOfIndex(view, endIndex);
    hit->length = (uint16_t)(hit->endOffset - OffsetOfIndex(view, *startIndex) + 1);
    return true;
}

bool HasText(const RecordSpan& span) { return span.endOffset != span.textOffset; }

// Calls `visit` with every match of the record in Search Again's order, each
// ending before the last one started, until it returns false. False when
// `visit` asked to stop.
template <typename Visit>
bool ForEachMatchInRecord(const Matcher* matcher, const uint8_t* text, const RecordSpan& span, Visit visit) {
    RecordView view = ViewOfRecord(matcher, text, span, (uint16_t)(span.endOffset - 1));
    SectionHit hit = {0, 0, span.textOffset, span.endOffset};
    int highest = view.length - 1;
    int startIndex = 0;
    while (MatchInView(matcher, &view, highest, &hit, &startIndex)) {
        if (!visit(hit)) return false;
        highest = startIndex - 1;
    }
    return true;
}

}  // namespace

int ComparedCode(uint8_t code, uint32_t options) {
    if ((options & kSearchSkipVavYod) && (code == kVavCode || code == kYodCode)) return kSkippedCode;
    if (options & kSearchFinalLetters) {
        switch (code) {
        // Each final form comes just before its regular letter.
        case 0x6B: case 0x6E: case 0x70: case 0x74: case 0x76: return code + 1;
        default: break;
        }
    }
    return code;
}

int FindInSectionText(const uint8_t* text, uint32_t limit, uint16_t startOffset, const SearchPattern* pattern,
                      SearchAllocator allocate, int* matchLength) {
    if (!text || pattern->length <= 0) return 0;
    SectionSearch search;
    if (!OpenSectionSearch(text, limit, pattern, allocate, &search)) return kSearchNoMemory;
    const RecordList& list = search.list;
    Matcher& matcher = search.matcher;
    int found = 0;
    for (uint32_t i = 0; i < list.count && !found; i++) {
        const RecordSpan& span = list.spans[i];
        if (startOffset > span.endOffset) continue;
        if (!HasText(span)) continue;
        uint16_t highest = startOffset >= span.textOffset ? startOffset : (uint16_t)(span.endOffset - 1);
        RecordView view = ViewOfRecord(&matcher, text, span, highest);
        SectionHit hit;
        int startIndex = 0;
        if (MatchInView(&matcher, &view, view.length - 1, &hit, &startIndex)) {
            found = hit.endOffset;
            *matchLength = hit.length;
        }
    }
    CloseSectionSearch(&search);
    return found;
}

int FindAllInSectionText(const uint8_t* text, uint32_t limit, const SearchPattern* pattern, SearchAllocator allocate,
                         SectionHitSink sink, void* context) {
    if (!text || pattern->length <= 0) return 0;
    SectionSearch search;
    if (!OpenSectionSearch(text, limit, pattern, allocate, &search)) return kSearchNoMemory;
    const RecordList& list = search.list;
    Matcher& matcher = search.matcher;
    int count = 0;
    bool kept = true;
    for (uint32_t i = 0; i < list.count && kept; i++) {
        if (!HasText(list.spans[i])) continue;
        kept = ForEachMatchInRecord(&matcher, text, list.spans[i], [&](const SectionHit& hit) {
            count++;
            return sink(context, &hit);
        });
    }
    CloseSectionSearch(&search);
    return kept ? count : kSearchNoMemory;
}

int FindBeforeInSectionText(const uint8_t* text, uint32_t limit, int boundOffset, const SearchPattern* pattern,
                            SearchAllocator allocate, int* matchLength) {
    if (!text || pattern->length <= 0) return 0;
    SectionSearch search;
    if (!OpenSectionSearch(text, limit, pattern, allocate, &search)) return kSearchNoMemory;
    const RecordList& list = search.list;
    Matcher& matcher = search.matcher;
    SectionHit last = {0, 0, 0, 0};
    for (uint32_t i = 0; i < list.count; i++) {
        const RecordSpan& span = list.spans[i];
        if (boundOffset < span.textOffset) break;  // this record and the rest come after
        if (!HasText(span)) continue;
        bool holdsBound = boundOffset <= span.endOffset;
        // The matches come from the highest end down; in the record holding
        // the bound only those above it are before it.
        ForEachMatchInRecord(&matcher, text, span, [&](const SectionHit& hit) {
            if (holdsBound && hit.endOffset <= boundOffset) return false;
            last = hit;
            return true;
        });
        if (holdsBound) break;
    }
    CloseSectionSearch(&search);
    if (last.length) *matchLength = last.length;
    return last.endOffset;
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

namespace {

bool MarkOffTopLine(const ResumeView* view) { return view->markEnd < view->topOffset || view->markEnd > view->topEnd; }

uint16_t JustBeforeMark(const ResumeView* view) {
    return view->markBeginsRecord ? view->nextRecord : (uint16_t)(view->markStart - 1);
}

}  // namespace

uint16_t ResumeOffsetOf(const ResumeView* view) {
    if (view->markOnNoLine) return JustBeforeMark(view);
    if (MarkOffTopLine(view) && view->firstRow < view->lastFirstRow) return (uint16_t)(view->topEnd - 1);
    // Past the last line there is no next line to go on from; 0 would search
    // the whole section again and find the same match for ever.
    if (view->markStart == view->topOffset && view->nextEnd) return view->nextEnd;
    return JustBeforeMark(view);
}

int BackwardBoundOf(const ResumeView* view) {
    bool marked = view->markStart || view->markEnd;
    if (view->markOnNoLine) return view->markEnd - 1;
    if (MarkOffTopLine(view) && view->firstRow < view->lastFirstRow) return view->topEnd - 1;
    return marked ? view->markEnd - 1 : kPastEveryRecord;
}
