// libFuzzer target: arbitrary bytes as an expanded section (with the guard
// bytes a loaded one ends in), turned into the reading text of Copy and the
// screen readers in both forms; rows made from its records, and rows whose
// offsets come from the bytes themselves, must each get a span, and the
// spans must cover the text exactly once.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "clipboard/reading_text.h"
#include "content/section_records.h"
#include "content/section_store.h"

namespace {

void Check(bool ok) {
    if (!ok) abort();
}

std::vector<StoredRow> RowsOf(const uint8_t* text, const uint8_t* data, size_t size) {
    std::vector<StoredRow> rows;
    RecordWalker walker;
    StartRecordWalk(&walker, text, kUnboundedWalk);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
        uint32_t start = record.textOffset, end = record.textOffset + record.textLength;
        do {
            uint32_t stop = start + 7 < end ? start + 7 : end;
            rows.push_back({(uint16_t)start, (uint16_t)stop, false});
            start = stop;
        } while (start < end);
        if (record.flags & kFlagParagraphEnd) rows.push_back({rows.back().start, 0, true});
    }
    // Rows a damaged layout might hand over: anywhere at all.
    for (size_t i = 0; i + 2 < size && i < 24; i += 3)
        rows.push_back({(uint16_t)(data[i] | data[i + 1] << 8), (uint16_t)(data[i + 1] | data[i + 2] << 8),
                        (data[i + 2] & 1) != 0});
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xF000) return 0;
    std::vector<uint8_t> text(data, data + size);
    text.resize(size + kSectionTailBytes, 0);
    CopyTextCounts counts;
    uint32_t recordCount = MeasureCopyText(text.data(), &counts);
    size_t capacity = CopyTextBufferChars(&counts);
    std::vector<wchar_t> chars(capacity);
    std::vector<uint16_t> sources(capacity);
    std::vector<ReadingRecord> records(recordCount + 1);
    for (bool mirror : {false, true}) {
        ReadingOutput out = {chars.data(), capacity, sources.data(), records.data(), recordCount, 0, 0};
        Check(BuildReadingText(text.data(), {0x5D0, mirror}, &out) == kCopyTextBuilt);
        std::vector<StoredRow> rows = RowsOf(text.data(), data, size);
        std::vector<ReadingSpan> spans(rows.size());
        Check(MapRowsToReading(records.data(), out.recordCount, mirror, out.length, rows.data(), (int)rows.size(),
                               spans.data()));
        std::vector<uint8_t> covered(out.length, 0);
        for (const ReadingSpan& span : spans) {
            Check(span.start <= span.end && span.end <= out.length);
            for (uint32_t i = span.start; i < span.end; i++) covered[i]++;
        }
        for (size_t i = 0; i < covered.size(); i++) Check(covered[i] == 1 || rows.empty());
        for (size_t i = 0; i < out.length; i++) {
            uint32_t unit = ReadingUnitOfStored(records.data(), out.recordCount, mirror, sources[i]);
            Check(unit == kNoReadingUnit || unit < out.length);
        }
    }
    return 0;
}
