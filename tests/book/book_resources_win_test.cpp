// The book embedded in this program, as the reader finds it: every section
// and the index expand through LoadSectionText, and what they expand to is
// what the panes and the chooser can use.
#include <gtest/gtest.h>

#include <stdint.h>

#include <set>

#include "content/section_records.h"
#include "content/section_store.h"
#include "platform/services.h"

namespace {

const int kSections = 356;

uint16_t BigEndian16(const uint8_t* p) { return (uint16_t)(p[0] << 8 | p[1]); }

// The resource's header fields: reserved words and the expanded length.
struct ResourceHeader {
    uint16_t reserved1, reserved2, expandedLength;
};

ResourceHeader HeaderOf(uint16_t id) {
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(FindRawDataResource(id, &bytes, &size), kResourceFound) << id;
    if (!bytes || size < 10) return ResourceHeader{0, 0, 0};
    EXPECT_EQ(BigEndian16(bytes), size - kSectionHeaderBytes) << id;
    return ResourceHeader{BigEndian16(bytes + 2), BigEndian16(bytes + 4), BigEndian16(bytes + 8)};
}

// Walks a section's records: they must end exactly at the expanded length,
// and the first must be one the layout accepts.
void CheckSectionRecords(int section, const uint8_t* text, uint16_t expandedLength) {
    RecordWalker walker;
    StartRecordWalk(&walker, text, expandedLength);
    ParagraphRecord record;
    int count = 0;
    while (NextParagraphRecord(&walker, &record)) {
        if (count++ == 0 && !IsSpacerRecord(record.flags)) {
            EXPECT_GT(record.textLength, 0u) << section;
        }
    }
    EXPECT_FALSE(walker.damaged) << section;
    EXPECT_GT(count, 0) << section;
    EXPECT_EQ(walker.position + 1, expandedLength) << section << ": the end byte closes the section";
    TitleLine title, subtitle;
    FindSectionTitles(text, &title, &subtitle);
    EXPECT_GT(title.length, 0) << section;
    EXPECT_GT(subtitle.length, 0) << section;
}

}  // namespace

TEST(BookResources, EverySectionExpandsAndReadsAsRecords) {
    for (int section = 1; section <= kSections; section++) {
        ResourceHeader header = HeaderOf((uint16_t)(1000 + section));
        EXPECT_EQ(header.reserved1, section + 20);
        EXPECT_EQ(header.reserved2, section + 20);
        int error = 0;
        uint8_t* text = LoadSectionText(section, &error);
        ASSERT_NE(text, nullptr) << "section " << section << " error " << error;
        CheckSectionRecords(section, text, header.expandedLength);
        PlatformFree(text);
    }
    int error = 0;
    EXPECT_EQ(LoadSectionText(kSections + 1, &error), nullptr);
    EXPECT_EQ(error, kSectionNoResource);
}

TEST(BookResources, IndexExpandsAndLinksEveryMainSection) {
    ResourceHeader header = HeaderOf(32767);
    EXPECT_EQ(header.reserved1, 1);
    EXPECT_EQ(header.reserved2, 255);
    int error = 0;
    uint32_t textBytes = 0;
    uint8_t* text = LoadSectionTextWithLength(kIndexSectionNumber, &textBytes, &error);
    ASSERT_NE(text, nullptr) << error;
    EXPECT_EQ(textBytes, header.expandedLength);
    std::set<int> linked;
    int headings = 0, labels = 0;
    uint32_t at = 0;
    while (at + 4 < header.expandedLength && text[at + 2] != 0) {
        uint16_t id = (uint16_t)(text[at] | text[at + 1] << 8);
        if (id & 0x8000) headings++;
        else if (id & 0x4000) linked.insert(id & 0x3FFF);
        else labels++;
        uint32_t end = at + 4;
        while (end < header.expandedLength && text[end] != 0) end++;
        ASSERT_LT(end, header.expandedLength);
        at = end + 1;
    }
    EXPECT_EQ(at + 5, header.expandedLength) << "five zero bytes close the index";
    for (int section = 1; section <= kSections; section += 2) EXPECT_EQ(linked.count(section), 1u) << section;
    EXPECT_GT(headings, 0);
    EXPECT_GT(labels, 0);
    PlatformFree(text);
}
