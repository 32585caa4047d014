// Walking paragraph records and finding the section titles.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "content/section_records.h"
#include "tests/common/sample_sections.h"

namespace {

std::vector<ParagraphRecord> WalkAll(const uint8_t* text, uint32_t limit, bool* damaged) {
    RecordWalker walker;
    StartRecordWalk(&walker, text, limit);
    std::vector<ParagraphRecord> records;
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) records.push_back(record);
    *damaged = walker.damaged;
    return records;
}

std::string TextOf(const std::vector<uint8_t>& section, const ParagraphRecord& record) {
    return std::string((const char*)section.data() + record.textOffset, record.textLength);
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int v : values) bytes.push_back((uint8_t)v);
    return bytes;
}

}  // namespace

TEST(SectionRecords, WalksEveryKindOfRecord) {
    std::vector<uint8_t> section = SampleSectionText();
    bool damaged = true;
    std::vector<ParagraphRecord> records = WalkAll(section.data(), (uint32_t)section.size(), &damaged);
    EXPECT_FALSE(damaged);
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0].flags, kTitleFlags);
    EXPECT_EQ(TextOf(section, records[0]), "abg dhw");
    EXPECT_EQ(TextOf(section, records[2]), "klm nsp-ex qrs tu");
    EXPECT_EQ(HangingCode(records[2].indent), 1);
    EXPECT_EQ(IndentPixels(records[2].indent), 5);
    EXPECT_TRUE(IsSpacerRecord(records[3].flags));
    EXPECT_EQ(records[3].indent, 200);
    // The zero-value spacer is three bytes; the next record follows at once.
    EXPECT_TRUE(IsSpacerRecord(records[4].flags));
    EXPECT_EQ(records[4].nextOffset, records[4].offset + 3);
    EXPECT_EQ(records[5].offset, records[4].offset + 3);
    EXPECT_EQ(records[5].nextOffset, section.size() - 1);
}

TEST(SectionRecords, ZeroSpacerIsSteppedOverWithoutScanning) {
    // Whatever follows the value byte, a zero spacer ends three bytes on.
    std::vector<uint8_t> section = Bytes({0x07, 0, 'x', 0x81, 0, 0, 0});
    bool damaged = false;
    std::vector<ParagraphRecord> records = WalkAll(section.data(), (uint32_t)section.size(), &damaged);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].offset, 3u);
    EXPECT_EQ(records[1].textLength, 0u);
}

TEST(SectionRecords, StopsAtTheLimitOfDamagedText) {
    bool damaged = false;
    std::vector<uint8_t> unterminated = Bytes({0x81, 0, 'a', 'b', 'c'});
    EXPECT_TRUE(WalkAll(unterminated.data(), (uint32_t)unterminated.size(), &damaged).empty());
    EXPECT_TRUE(damaged);

    std::vector<uint8_t> cutAfterFlags = Bytes({0x81, 0, 'a', 0, 0x81});
    EXPECT_EQ(WalkAll(cutAfterFlags.data(), (uint32_t)cutAfterFlags.size(), &damaged).size(), 1u);
    EXPECT_TRUE(damaged);

    // A zero spacer whose three bytes pass the end.
    std::vector<uint8_t> cutSpacer = Bytes({0x07, 0});
    EXPECT_TRUE(WalkAll(cutSpacer.data(), (uint32_t)cutSpacer.size(), &damaged).empty());
    EXPECT_TRUE(damaged);

    std::vector<uint8_t> empty = Bytes({0});
    EXPECT_TRUE(WalkAll(empty.data(), 1, &damaged).empty());
    EXPECT_FALSE(damaged);
    EXPECT_TRUE(WalkAll(nullptr, 10, &damaged).empty());
}

TEST(SectionRecords, GuardBytesEndAnyWalkOfALoadedSection) {
    // What the loader returns for damaged text that lacks its final zero:
    // the text, then three zero bytes. The walk must finish inside them.
    for (int flags : {0x81, 0x07}) {
        std::vector<uint8_t> buffer = Bytes({0x81, 0, 'a', 0, flags, 0, 0, 0});
        bool damaged = true;
        std::vector<ParagraphRecord> records = WalkAll(buffer.data(), kUnboundedWalk, &damaged);
        EXPECT_EQ(records.size(), 2u);
        EXPECT_LE(records.back().nextOffset, buffer.size() - 1);
        EXPECT_FALSE(damaged);
    }
}

TEST(SectionRecords, FindsTitles) {
    std::vector<uint8_t> section = SampleSectionText();
    TitleLine title, subtitle;
    FindSectionTitles(section.data(), &title, &subtitle);
    EXPECT_EQ(std::string((const char*)title.text, title.length), "abg dhw");
    EXPECT_EQ(std::string((const char*)subtitle.text, subtitle.length), "zxj");
    EXPECT_EQ(title.width, 0);

    std::vector<uint8_t> subtitleOnly = Bytes({0xD1, 0, 'q', 0, 0x81, 0, 'r', 0, 0, 0, 0});
    FindSectionTitles(subtitleOnly.data(), &title, &subtitle);
    EXPECT_EQ(title.length, 0);
    EXPECT_EQ(subtitle.length, 1);

    // A subtitle record after something other than the title is ordinary text.
    std::vector<uint8_t> late = Bytes({0x81, 0, 'q', 0, 0xD1, 0, 'r', 0, 0, 0, 0});
    FindSectionTitles(late.data(), &title, &subtitle);
    EXPECT_EQ(subtitle.length, 0);
    EXPECT_EQ(subtitle.text, nullptr);

    FindSectionTitles(section.data(), nullptr, &subtitle);  // a missing out is allowed
    EXPECT_EQ(subtitle.length, 3);
    std::vector<uint8_t> empty = Bytes({0, 0, 0});
    FindSectionTitles(empty.data(), &title, &subtitle);
    EXPECT_EQ(title.length + subtitle.length, 0);
}
