// libFuzzer target: a search string field as the registry may hold it (any
// bytes, "?" and "*" anywhere, perhaps no terminator), a start offset and a
// section text of arbitrary bytes. The search must find what the plain rules
// find, every match reported must lie inside one record and match the
// pattern, and nothing may be read outside the buffers. The field shown as
// the dialog shows it must read back as itself.
//
// With the search options, every match the section lists (Find All) must be
// what the plain rules find in each record with final forms made regular and
// vav and yod left out, and stepping back from each match (Search Previous)
// must give the one listed before it.
//
// Input: 34 bytes of search string field, 2 bytes of start offset, 1 mode
// byte, then the section text. With the mode's low bit set the pattern and
// the text are folded into a few letters, so that matches are common; bits
// 1 to 3 pick the letter base, bits 4 and 5 the options.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "content/section_records.h"
#include "navigation/search_match.h"
#include "platform/services.h"
#include "tests/common/search_reference.h"

namespace {

const size_t kFieldBytes = 34;
const size_t kHeaderBytes = kFieldBytes + 3;

// Letters with their final forms, vav and yod among them.
uint8_t FoldPatternByte(uint8_t b) { return (uint8_t)"abnofj?*"[b % 8]; }
uint8_t FoldTextByte(uint8_t b) { return b == 0 ? 0 : (uint8_t)"abnofj?* \x91"[b % 10]; }

// Whether text[0 .. length - 1] as a whole is a match of pattern[0 .. n - 1]
// under the matcher's rules: the last byte literal, "?" any byte, "*" any run
// with the part before it matched as a pattern of its own. Checked the other
// way round from the matcher: every end of the starred prefix is tried, with
// the answers kept so that many stars stay cheap.
struct WholeMatcher {
    const uint8_t* pattern;
    const uint8_t* text;
    int textLength;
    std::vector<int8_t> known;  // (n, length) -> -1 unknown, 0 or 1

    bool Matches(int n, int length) {
        int8_t& answer = known[(size_t)n * (textLength + 1) + length];
        if (answer < 0) answer = Compute(n, length) ? 1 : 0;
        return answer == 1;
    }

    bool Compute(int n, int length) {
        if (n <= 0 || length <= 0 || text[length - 1] != pattern[n - 1]) return false;
        int j = n - 2;
        int t = length - 2;
        while (j >= 0) {
            if (t < 0) return false;
            if (pattern[j] == text[t] || pattern[j] == kAnyByte) {
                j--;
                t--;
            } else if (pattern[j] == kAnyRun) {
                for (int end = t; end >= 0; end--) {
                    if (Matches(j, end + 1)) return true;
                }
                return false;
            } else {
                return false;
            }
        }
        return t < 0;
    }
};

bool WholeMatch(const SearchPattern& pattern, const uint8_t* text, int length) {
    WholeMatcher matcher = {pattern.bytes, text, length, {}};
    matcher.known.assign((size_t)(pattern.length + 1) * (length + 1), -1);
    return matcher.Matches(pattern.length, length);
}

// The first match by the plain rules: from `start` down in the record that
// holds it, then every later record in full.
int ReferenceFind(const uint8_t* text, uint32_t size, uint16_t start, const SearchPattern& pattern) {
    RecordWalker walker;
    StartRecordWalk(&walker, text, size < 0x10000 ? size : 0x10000);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
        uint32_t endOffset = record.textOffset + record.textLength;
        if (start > endOffset || record.textLength == 0) continue;
        ptrdiff_t highest = start >= record.textOffset ? start - record.textOffset : record.textLength - 1;
        int length = 0;
        ptrdiff_t end = ReferenceMatch(text + record.textOffset, pattern.bytes, pattern.length, highest, &length);
        if (end >= 0) return (int)(record.textOffset + end);
    }
    return 0;
}

void CheckMatch(const uint8_t* text, uint32_t size, uint16_t startOffset, const SearchPattern& pattern, int end,
                int length) {
    if (end != ReferenceFind(text, size, startOffset, pattern)) abort();
    if (end <= 0) return;
    if (length <= 0 || length > end + 1) abort();
    int start = end - length + 1;
    // The match lies inside the text of one record.
    RecordWalker walker;
    StartRecordWalk(&walker, text, size);
    ParagraphRecord record;
    bool inside = false;
    while (NextParagraphRecord(&walker, &record)) {
        if ((uint32_t)start >= record.textOffset && (uint32_t)end < record.textOffset + record.textLength) {
            inside = true;
            break;
        }
    }
    if (!inside) abort();
    if (!WholeMatch(pattern, text + start, length)) abort();
}

// The search string as the dialog shows it reads back as itself under the
// Unicode letters, runs of spaces apart; other bases only must not misbehave.
void CheckReadBack(const uint8_t* field, int letterBase) {
    SearchPattern pattern = PatternOfSearchString(field, kFieldBytes);
    wchar_t shown[kFieldBytes];
    bool spaceRun = false;
    for (int i = 0; i < pattern.length; i++) {
        shown[i] = (wchar_t)CharacterOfCode(field[i], letterBase);
        spaceRun = spaceRun || (i > 0 && field[i] == ' ' && field[i - 1] == ' ');
    }
    shown[pattern.length] = 0;
    uint8_t* back = (uint8_t*)malloc(kFieldBytes);
    EditTextToSearchString(shown, letterBase, back, kFieldBytes);
    bool exact = memcmp(back, field, (size_t)pattern.length) == 0 && back[pattern.length] == 0;
    if (letterBase == 0x5D0 && !spaceRun && !exact) abort();
    free(back);
}

typedef std::vector<SectionHit> Hits;

bool KeepHit(void* context, const SectionHit* hit) {
    ((Hits*)context)->push_back(*hit);
    return true;
}

// Find All against the plain rules record by record, then Search Previous
// against Find All's order.
void CheckWithOptions(const uint8_t* text, uint32_t size, const SearchPattern& pattern) {
    Hits hits;
    int count = FindAllInSectionText(text, size, &pattern, PlatformAlloc, KeepHit, &hits);
    if (count != (int)hits.size()) abort();
    size_t next = 0;
    RecordWalker walker;
    StartRecordWalk(&walker, text, size < 0x10000 ? size : 0x10000);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
        auto wanted = ReferenceMatchesInRecord(text + record.textOffset, (int)record.textLength, pattern.bytes,
                                               pattern.length, pattern.options);
        for (const auto& match : wanted) {
            if (next >= hits.size()) abort();
            const SectionHit& hit = hits[next++];
            if (hit.endOffset != record.textOffset + match.first || hit.length != match.second) abort();
            if (hit.recordStart != record.textOffset || hit.recordEnd != record.textOffset + record.textLength)
                abort();
        }
    }
    if (next != hits.size()) abort();
    for (size_t i = 0; i <= hits.size(); i++) {
        int bound = i < hits.size() ? hits[i].endOffset : kPastEveryRecord;
        int length = 0;
        int before = FindBeforeInSectionText(text, size, bound, &pattern, PlatformAlloc, &length);
        int wantedEnd = i > 0 ? hits[i - 1].endOffset : 0;
        if (before != wantedEnd || (before > 0 && length != hits[i - 1].length)) abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderBytes) return 0;
    bool folded = data[kFieldBytes + 2] & 1;
    // Exact-size heap copies, so that any read past them is caught.
    uint8_t* field = (uint8_t*)malloc(kFieldBytes);
    for (size_t i = 0; i < kFieldBytes; i++) field[i] = folded && data[i] ? FoldPatternByte(data[i]) : data[i];
    uint16_t start = (uint16_t)(data[kFieldBytes] | data[kFieldBytes + 1] << 8);
    size_t textBytes = size - kHeaderBytes;
    uint8_t* text = (uint8_t*)malloc(textBytes ? textBytes : 1);
    for (size_t i = 0; i < textBytes; i++) {
        uint8_t b = data[kHeaderBytes + i];
        text[i] = folded ? FoldTextByte(b) : b;
    }

    SearchPattern pattern = PatternOfSearchString(field, kFieldBytes);
    int length = 0;
    int end = FindInSectionText(text, (uint32_t)textBytes, start, &pattern, PlatformAlloc, &length);
    CheckMatch(text, (uint32_t)textBytes, start, pattern, end, length);
    end = FindInSectionText(text, (uint32_t)textBytes, 0, &pattern, PlatformAlloc, &length);
    CheckMatch(text, (uint32_t)textBytes, 0, pattern, end, length);

    const int letterBases[] = {0x5D0, 224, 97, 0x7FFFFFFF, -1};
    CheckReadBack(field, letterBases[((data[kFieldBytes + 2] >> 1) & 7) % 5]);

    pattern.options = (data[kFieldBytes + 2] >> 4) & kSearchKnownOptions;
    CheckWithOptions(text, (uint32_t)textBytes, pattern);

    free(text);
    free(field);
    return 0;
}
