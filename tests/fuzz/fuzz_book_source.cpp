// libFuzzer target for the book tools. The first byte picks what the rest is:
//   0  a pair file          1  an outline file
//   2  a section text, written as source and compiled again
//   3  an index text, written as source and compiled again
//   4  a program file whose resources are read
// Compiled source must be read to its end; written-back source that compiles
// must give the same bytes again.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <algorithm>

#include <string>
#include <vector>

#include "content/section_records.h"
#include "tools/book/book_source.h"
#include "tools/book/book_tree.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// Outlines of a book of 178 pairs.
const int kLastSection = 356;

// The reader steps over a zero-value spacer's third byte without reading it,
// so the source cannot keep it: the compiler always writes 0 there.
Bytes WithSpacerEndsCleared(const Bytes& text) {
    Bytes cleared = text;
    cleared.insert(cleared.end(), 3, 0);
    RecordWalker walker;
    StartRecordWalk(&walker, cleared.data(), (uint32_t)cleared.size());
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record))
        if (IsSpacerRecord(record.flags) && record.indent == 0) cleared[record.offset + 2] = 0;
    cleared.resize(text.size());
    return cleared;
}

// Records that come back must be the ones the walker read, up to the end byte.
// A text may stop short of its end byte: the loader's three guard bytes
// stand in for what is missing.
void SectionRoundTrip(const Bytes& original) {
    Bytes text = WithSpacerEndsCleared(original);
    text.insert(text.end(), 3, 0);
    std::string source, reason;
    if (!SectionTextToSource(text.data(), text.size(), &source, &reason)) return;
    Bytes again;
    BookDiagnostics diagnostics;
    if (!ParseSectionSource("fuzz", 1, source, &again, &diagnostics)) return;
    if (again.size() > text.size() || !std::equal(again.begin(), again.end(), text.begin())) abort();
}

void IndexRoundTrip(const Bytes& original) {
    Bytes text = original;
    text.insert(text.end(), 3, 0);  // as if the entries had their end
    std::string source, reason;
    if (!IndexTextToSource(text.data(), text.size(), kLastSection, &source, &reason)) return;
    Bytes again;
    BookDiagnostics diagnostics;
    if (!ParseIndexSource("fuzz", source, kLastSection, &again, &diagnostics)) return;
    // The compiler closes the index with five zeros; compare the entries.
    size_t entries = again.size() - 5;
    if (entries > text.size() || !std::equal(again.begin(), again.begin() + (ptrdiff_t)entries, text.begin())) abort();
}

// A compiled section must be read to its very end: no record may stop the
// walk early (a zero flags byte) or run past the terminator.
void CheckCompiledSection(const Bytes& text) {
    if (text.empty() || text.size() > 0xFFFF) abort();
    RecordWalker walker;
    StartRecordWalk(&walker, text.data(), (uint32_t)text.size());
    ParagraphRecord record;
    uint32_t end = 0;
    while (NextParagraphRecord(&walker, &record)) end = record.nextOffset;
    if (walker.damaged || end + 1 != text.size()) abort();
}

// A compiled index: every entry's style byte nonzero, five zeros at the end.
void CheckCompiledIndex(const Bytes& text) {
    size_t at = 0;
    while (at + 4 < text.size() && text[at + 2] != 0) {
        size_t end = at + 4;
        while (end < text.size() && text[end] != 0) end++;
        at = end + 1;
    }
    if (text.size() > 0xFFFF || at + 5 != text.size()) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Bytes rest(data + 1, data + size);
    std::string text(rest.begin(), rest.end());
    BookDiagnostics diagnostics;
    switch (data[0] % 5) {
        case 0: {
            SectionPair pair;
            if (ParsePairSource("fuzz.txt", text, &pair, &diagnostics)) {
                CheckCompiledSection(pair.mainText);
                CheckCompiledSection(pair.commentaryText);
            }
            break;
        }
        case 1: {
            Bytes index;
            if (ParseIndexSource("index.txt", text, kLastSection, &index, &diagnostics)) CheckCompiledIndex(index);
            break;
        }
        case 2: SectionRoundTrip(rest); break;
        case 3: IndexRoundTrip(rest); break;
        default: {
            ResourceSet resources;
            std::string error;
            ReadPeRawDataResources(rest, &resources, &error);
            break;
        }
    }
    return 0;
}
