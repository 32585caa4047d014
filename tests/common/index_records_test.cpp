// Walking index records and putting the bookmark group in front of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navigation/index_records.h"
#include "platform/services.h"
#include "tests/common/index_builder.h"

namespace {

struct Record {
    uint16_t id;
    uint8_t style;
    uint8_t indent;
    std::string text;
    bool operator==(const Record& other) const {
        return id == other.id && style == other.style && indent == other.indent && text == other.text;
    }
};

std::ostream& operator<<(std::ostream& out, const Record& r) {
    return out << std::hex << r.id << "/" << (int)r.style << "/" << std::dec << (int)r.indent << " " << r.text;
}

std::vector<Record> Records(const IndexText& text) {
    std::vector<Record> records;
    IndexWalker walker;
    StartIndexWalk(&walker, text.bytes, text.byteCount);
    IndexRecord record;
    while (NextIndexRecord(&walker, &record)) {
        records.push_back({record.id, record.style, record.indent,
                           std::string((const char*)text.bytes + record.textOffset, record.textLength)});
    }
    return records;
}

const Record kGroupHeading = {0x8877, 0xC1, 1, "jiyu"};

IndexBuilder BookIndex() {
    IndexBuilder index;
    index.Add(0x8000 | 1001, 0xC9, 0, "cba")  // an expanded heading
        .Link(3, "gimel", 1)
        .Add(1002, 0x83, 1, "label")
        .Link(5, "he", 1)
        .Link(7, "zayin", 1, 0x8D)
        .End();
    return index;
}

const uint16_t kNoBookmarks[] = {0};

}  // namespace

TEST(IndexRecords, WalkStopsAtTheEndRecordOrTheLastWholeRecord) {
    IndexBuilder index = BookIndex();
    IndexText text = index.Take();
    std::vector<Record> records = Records(text);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0], (Record{0x83E9, 0xC9, 0, "cba"}));
    EXPECT_EQ(records[4], (Record{0x4007, 0x8D, 1, "zayin"}));
    uint32_t wholeBytes = (uint32_t)index.bytes.size() - kIndexEndBytes;
    EXPECT_EQ(IndexRecordsBytes(text.bytes, text.byteCount), wholeBytes);

    // Cut inside the last record's text, or just before its zero byte: the
    // list ends with the record before it. The copies are exactly as long as
    // the bound, so a read past it is caught by the address sanitizer.
    uint32_t lastStart = wholeBytes - (4 + 5 + 1);
    for (uint32_t cut : {wholeBytes - 1, lastStart + 6, lastStart + 4, lastStart + 2, lastStart + 1, lastStart}) {
        IndexText shorter = {(uint8_t*)PlatformAlloc(cut), cut};
        memcpy(shorter.bytes, text.bytes, cut);
        EXPECT_EQ(Records(shorter).size(), 4u) << "cut at " << cut;
        EXPECT_EQ(IndexRecordsBytes(shorter.bytes, shorter.byteCount), lastStart);
        PlatformFree(shorter.bytes);
    }
    // No end record at all: the bound alone ends the list.
    EXPECT_EQ(Records({text.bytes, wholeBytes}).size(), 5u);
    PlatformFree(text.bytes);
}

TEST(IndexRecords, DamagedTextsNeverReadPastTheirBound) {
    // A first record without a zero byte, a lone style byte, and nothing at all.
    std::vector<std::vector<uint8_t>> damaged = {{0x01, 0x40, 0x81, 2, 'a', 'b'}, {0x01, 0x40, 0x81}, {7}, {}};
    for (const std::vector<uint8_t>& bytes : damaged) {
        IndexText text = {(uint8_t*)PlatformAlloc(bytes.size()), (uint32_t)bytes.size()};
        if (!bytes.empty()) memcpy(text.bytes, bytes.data(), bytes.size());
        EXPECT_TRUE(Records(text).empty());
        IndexRecord found;
        EXPECT_FALSE(FindIndexRecord(text.bytes, text.byteCount, 0x4001, &found));
        uint16_t bookmark[] = {1, 0};
        IndexText joined = PrependBookmarkGroup(bookmark, 1, text);
        EXPECT_EQ(Records(joined), std::vector<Record>{kGroupHeading});
        PlatformFree(joined.bytes);
    }
    EXPECT_TRUE(Records({nullptr, 100}).empty());
}

TEST(BookmarkGroup, ListsLinkedBookmarksInTheirOrderWithTheIndexText) {
    IndexText index = BookIndex().Take();
    std::vector<Record> indexRecords = Records(index);
    // 9 has no link in the index and gets no record; 3 appears once per bookmark.
    const uint16_t bookmarks[] = {7, 9, 3, 5, 0};
    IndexText joined = PrependBookmarkGroup(bookmarks, 4, index);
    ASSERT_NE(joined.bytes, nullptr);
    std::vector<Record> expected = {kGroupHeading, {0x4007, 0x81, 2, "zayin"}, {0x4003, 0x81, 2, "gimel"},
                                    {0x4005, 0x81, 2, "he"}};
    expected.insert(expected.end(), indexRecords.begin(), indexRecords.end());
    EXPECT_EQ(Records(joined), expected);
    // Written with a five-byte end, and counted exactly.
    ASSERT_GE(joined.byteCount, kIndexEndBytes);
    for (uint32_t i = joined.byteCount - kIndexEndBytes; i < joined.byteCount; i++) EXPECT_EQ(joined.bytes[i], 0);
    EXPECT_EQ(IndexRecordsBytes(joined.bytes, joined.byteCount), joined.byteCount - kIndexEndBytes);
    PlatformFree(joined.bytes);
}

TEST(BookmarkGroup, EmptyListsAndMissingLinks) {
    IndexText index = BookIndex().Take();
    // No list, a count of 0, or a list that starts with its 0: the same buffer.
    EXPECT_EQ(PrependBookmarkGroup(nullptr, 3, index).bytes, index.bytes);
    const uint16_t some[] = {3, 0};
    EXPECT_EQ(PrependBookmarkGroup(some, 0, index).bytes, index.bytes);
    EXPECT_EQ(PrependBookmarkGroup(kNoBookmarks, 1, index).bytes, index.bytes);

    // Bookmarks without a link: the heading alone, then the index.
    const uint16_t unlinked[] = {11, 13, 0};
    IndexText joined = PrependBookmarkGroup(unlinked, 2, index);
    std::vector<Record> records = Records(joined);
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0], kGroupHeading);
    EXPECT_EQ(records[1].text, "cba");
    PlatformFree(joined.bytes);

    // No index: the heading alone.
    IndexText alone = PrependBookmarkGroup(some, 1, IndexText{nullptr, 0});
    EXPECT_EQ(Records(alone), std::vector<Record>{kGroupHeading});
    PlatformFree(alone.bytes);
}

TEST(BookmarkGroup, KeepsTheIndexAloneWhenTheJoinCannotBeMade) {
    // An index text that nearly fills 16 bits: with the group it would not fit,
    // and its own records come back untouched rather than a wrapped size.
    IndexBuilder big;
    big.Link(3, std::string(400, 'a'), 1);
    while (big.bytes.size() < 0xFFFF - 300) big.Add(1001, 0x81, 1, std::string(200, 'b'));
    big.End();
    IndexText index = big.Take();
    const uint16_t bookmarks[] = {3, 0};
    IndexText result = PrependBookmarkGroup(bookmarks, 1, index);
    EXPECT_EQ(result.bytes, index.bytes);
    EXPECT_EQ(result.byteCount, index.byteCount);

    // Out of memory: the index alone, still owned by the caller.
    IndexText small = BookIndex().Take();
    FailAllocationsAfter(0);
    result = PrependBookmarkGroup(bookmarks, 1, small);
    FailAllocationsAfter(-1);
    EXPECT_EQ(result.bytes, small.bytes);
    EXPECT_EQ(Records(result).size(), 5u);
    PlatformFree(small.bytes);
    PlatformFree(index.bytes);
}
