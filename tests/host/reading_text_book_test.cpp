// The reading text over the shipped edition: every section's rows, broken at
// two widths, cover the text exactly once, and each row's span holds the
// letters of the stored stretch it shows, read in the right direction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clipboard/reading_text.h"
#include "content/book_numbers.h"
#include "content/section_records.h"
#include "platform/mirrored_text.h"
#include "tests/host/edition_book.h"

namespace {

const int kUnicodeBase = 0x5D0;

struct Reading {
    std::wstring text;
    std::vector<uint16_t> sources;
    std::vector<ReadingRecord> records;
};

// The section with the guard bytes a loaded one ends in.
std::vector<uint8_t> SectionText(int section) {
    int error = 0;
    std::vector<uint8_t> text = ExpandResource(EditionResources().at((uint16_t)(1000 + section)), &error);
    text.resize(text.size() + 8, 0);
    return text;
}

Reading Read(const std::vector<uint8_t>& text, ReadingForm form) {
    CopyTextCounts counts;
    uint32_t records = MeasureCopyText(text.data(), &counts);
    Reading reading;
    reading.text.assign(CopyTextBufferChars(&counts), L'#');
    reading.sources.assign(reading.text.size(), 0);
    reading.records.resize(records);
    ReadingOutput out = {&reading.text[0], reading.text.size(), reading.sources.data(), reading.records.data(),
                         records, 0, 0};
    EXPECT_EQ(BuildReadingText(text.data(), form, &out), kCopyTextBuilt);
    reading.text.resize(out.length);
    reading.sources.resize(out.length);
    reading.records.resize(out.recordCount);
    return reading;
}

// Rows as a layout of `widthChars` characters makes them: each text record
// broken at spaces (the space at a break shown by neither line), one line
// for a rule, and a blank row after a paragraph's end.
std::vector<StoredRow> BreakRows(const std::vector<uint8_t>& text, int widthChars) {
    std::vector<StoredRow> rows;
    RecordWalker walker;
    StartRecordWalk(&walker, text.data(), kUnboundedWalk);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
        uint32_t start = record.textOffset, end = record.textOffset + record.textLength;
        if (IsSpacerRecord(record.flags) || start == end) {
            rows.push_back({(uint16_t)start, (uint16_t)start, false});
        } else {
            while (start < end) {
                uint32_t stop = start + (uint32_t)widthChars < end ? start + (uint32_t)widthChars : end;
                if (stop < end) {
                    uint32_t space = stop;
                    while (space > start && text[space] != kSpaceCode) space--;
                    if (space > start) stop = space;
                }
                rows.push_back({(uint16_t)start, (uint16_t)stop, false});
                start = stop < end && text[stop] == kSpaceCode ? stop + 1 : stop;
            }
        }
        if (record.flags & kFlagParagraphEnd) rows.push_back({rows.back().start, 0, true});
    }
    return rows;
}

std::wstring Trimmed(const std::wstring& s) {
    size_t first = s.find_first_not_of(L" \r\n"), last = s.find_last_not_of(L" \r\n");
    return first == std::wstring::npos ? L"" : s.substr(first, last - first + 1);
}

// The letters of a stored stretch as they read in `form`.
std::wstring LettersRead(const std::vector<uint8_t>& text, const StoredRow& row, ReadingForm form) {
    std::wstring letters;
    for (uint32_t at = row.start; at < row.end; at++) {
        wchar_t c = (wchar_t)CharacterOfCode(text[at], form.letterBase);
        letters += form.mirror ? (wchar_t)MirroredBracket(c) : c;
    }
    if (form.mirror) letters.assign(letters.rbegin(), letters.rend());
    return Trimmed(letters);
}

TEST(ReadingTextBook, RowsCoverEverySectionOnceAndReadTheirOwnLetters) {
    const ReadingForm forms[] = {{kUnicodeBase, true}, {97, false}};
    int rowsChecked = 0;
    for (int section = 1; section <= kLastBookSection; section++) {
        std::vector<uint8_t> text = SectionText(section);
        for (const ReadingForm& form : forms) {
            Reading reading = Read(text, form);
            for (int widthChars : {18, 61}) {
                std::vector<StoredRow> rows = BreakRows(text, widthChars);
                std::vector<ReadingSpan> spans(rows.size());
                ASSERT_TRUE(MapRowsToReading(reading.records.data(), (uint32_t)reading.records.size(), form.mirror,
                                             reading.text.size(), rows.data(), (int)rows.size(), spans.data()));
                std::vector<int> covered(reading.text.size(), 0);
                for (size_t r = 0; r < rows.size(); r++) {
                    ASSERT_LE(spans[r].start, spans[r].end);
                    ASSERT_LE(spans[r].end, reading.text.size());
                    for (uint32_t i = spans[r].start; i < spans[r].end; i++) covered[i]++;
                    std::wstring shown = reading.text.substr(spans[r].start, spans[r].end - spans[r].start);
                    if (rows[r].blank) {
                        EXPECT_EQ(shown, L"\r\n") << "section " << section << " row " << r;
                    } else if (rows[r].end > rows[r].start) {
                        EXPECT_EQ(Trimmed(shown), LettersRead(text, rows[r], form))
                            << "section " << section << " row " << r << " width " << widthChars;
                    }
                    rowsChecked++;
                }
                for (size_t i = 0; i < covered.size(); i++)
                    ASSERT_EQ(covered[i], 1) << "section " << section << " unit " << i;
            }
            // Every letter maps back to where it is stored, and from there to itself.
            for (size_t i = 0; i < reading.text.size(); i++) {
                uint32_t unit = ReadingUnitOfStored(reading.records.data(), (uint32_t)reading.records.size(),
                                                    form.mirror, reading.sources[i]);
                if (unit != kNoReadingUnit) {
                    ASSERT_EQ(unit, i) << "section " << section;
                }
            }
        }
    }
    EXPECT_GT(rowsChecked, 10000);
}

TEST(ReadingText, AFullBufferIsCutCleanlyAndTheRecordsStopWithIt) {
    const uint8_t text[] = {0x81, 0, 'a', 'b', 0, 0x01, 0x02, 'c', 0, 0, 0, 0, 0, 0, 0, 0};
    wchar_t chars[16];
    uint16_t sources[16];
    ReadingRecord records[4];
    ReadingOutput out = {chars, 16, sources, records, 4, 0, 0};
    ASSERT_EQ(BuildReadingText(text, {97, true}, &out), kCopyTextBuilt);
    EXPECT_EQ(std::wstring(chars), L"ba\r\n\r\nc  \r\n");
    EXPECT_EQ(out.recordCount, 2u);
    EXPECT_EQ(sources[0], 3);  // mirrored: the first unit read is the last stored
    EXPECT_EQ(records[0].blankStart, 4u);
    EXPECT_EQ(records[1].readStart, 6u);
    EXPECT_EQ(records[1].blankStart, kNoBlankRow);
    for (size_t capacity = 0; capacity < 12; capacity++) {
        wchar_t cut[16];
        for (wchar_t& c : cut) c = L'#';
        ReadingOutput small = {cut, capacity, nullptr, records, 4, 0, 0};
        EXPECT_EQ(BuildReadingText(text, {97, false}, &small), kCopyTextFull) << capacity;
        EXPECT_EQ(cut[capacity], L'#');
        EXPECT_LE(small.recordCount, 1u);
    }
}

}  // namespace
