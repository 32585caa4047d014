// The one heading every surface names a section by: reading order, the
// number a reader knows, and the cut at a word.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/section_heading.h"
#include "content/section_records.h"

namespace {

// A section text of a title, a subtitle (either may be absent) and one
// paragraph, in drawing order as the book stores titles, with its guard bytes.
std::vector<uint8_t> Titled(const std::wstring& title, const std::wstring& subtitle) {
    std::vector<uint8_t> bytes;
    auto add = [&bytes](uint8_t flags, const std::wstring& reading) {
        bytes.push_back(flags);
        bytes.push_back(0);
        for (auto c = reading.rbegin(); c != reading.rend(); ++c) {
            wchar_t drawn = *c == L'(' ? L')' : *c == L')' ? L'(' : *c;
            bytes.push_back(drawn >= 0x5D0 && drawn <= 0x5EA ? (uint8_t)(0x61 + (drawn - 0x5D0)) : (uint8_t)drawn);
        }
        bytes.push_back(0);
    };
    if (!title.empty()) add(kTitleFlags, title);
    if (!subtitle.empty()) add(kSubtitleFlags, subtitle);
    add(0xB0, L"גוף");
    bytes.insert(bytes.end(), 4, 0);
    return bytes;
}

std::wstring Heading(const std::vector<uint8_t>& text, int section, int room = kSectionHeadingChars) {
    std::vector<wchar_t> out((size_t)room + 1, L'#');
    int length = SectionHeading(text.empty() ? nullptr : text.data(), section, out.data(), room);
    EXPECT_EQ(out[(size_t)length], 0) << "unterminated";
    EXPECT_LT(length, room > 0 ? room : 1);
    return std::wstring(out.data(), (size_t)length);
}

}  // namespace

TEST(SectionHeading, IsTitleThenSubtitleInReadingOrderOrElseThePairNumber) {
    EXPECT_EQ(Heading(Titled(L"סימן ו'", L"פרק א' (משנה ו')"), 11), L"סימן ו', פרק א' (משנה ו')");
    EXPECT_EQ(Heading(Titled(L"  סימן ז' ", L""), 13), L"סימן ז'");  // spaces at the ends go
    EXPECT_EQ(Heading(Titled(L"", L"פרק ב'"), 13), L"פרק ב'");
    // Untitled, a section is known by its pair: main text and commentary alike.
    EXPECT_EQ(Heading(Titled(L"", L""), 23), L"12");
    EXPECT_EQ(Heading(Titled(L"", L""), 24), L"12");
    EXPECT_EQ(Heading({}, 1), L"1");
    EXPECT_EQ(Heading(Titled(L"", L""), 355, 3), L"");  // "178" has no room: nothing, never a part
}

TEST(SectionHeading, ALongHeadingKeepsItsStartAndLosesWholeWordsAtItsEnd) {
    // Longer than any room: eighty words of four letters and a space.
    std::wstring words;
    for (int i = 0; i < 80; i++) words += std::wstring(L"אבג") + (wchar_t)(0x5D0 + i % 27) + L" ";
    words.pop_back();
    std::vector<uint8_t> text = Titled(words, L"פרק א'");
    for (int room : {kSectionHeadingChars, 64, 31, 12, 6}) {
        std::wstring heading = Heading(text, 1, room);
        ASSERT_GE(heading.size(), 2u) << room;
        EXPECT_EQ(heading.back(), L'\x2026') << room;
        std::wstring kept = heading.substr(0, heading.size() - 1);
        EXPECT_EQ(words.compare(0, kept.size(), kept), 0) << "the start is what is kept, at " << room;
        EXPECT_EQ(kept.size() % 5, 4u) << "whole words only, at " << room;
        EXPECT_GE(heading.size() + 5, (size_t)room) << "no more than a word is given up, at " << room;
    }
    // A first word longer than the room is cut inside it; a room of one
    // character holds only the mark of the cut.
    EXPECT_EQ(Heading(Titled(L"אבגדהוזחטיכל", L""), 1, 5), L"אבג\x2026");
    EXPECT_EQ(Heading(text, 1, 2), L"\x2026");
    EXPECT_EQ(Heading(text, 1, 1), L"");
    // What fits exactly is not cut.
    EXPECT_EQ(Heading(Titled(L"אב גד", L""), 1, 6), L"אב גד");
    EXPECT_EQ(Heading(Titled(L"אב גד", L""), 1, 5), L"אב\x2026");
}
