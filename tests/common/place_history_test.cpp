// Back and Forward's list of places, its stored form, and the numerals that
// Go To reads.
#include <gtest/gtest.h>

#include <vector>

#include "navigation/place_history.h"
#include "navigation/section_numeral.h"

namespace {

BookPlace At(int section, int offset = 0) { return BookPlace{(uint16_t)section, (uint16_t)offset}; }
bool Same(BookPlace a, BookPlace b) { return a.section == b.section && a.topOffset == b.topOffset; }

}  // namespace

TEST(PlaceHistory, BackAndForwardReturnToEachPlaceAsItWasLeft) {
    PlaceHistory history;
    ClearHistory(&history);
    BookPlace to;
    RecordMove(&history, At(11, 40), At(101));
    RecordMove(&history, At(101, 300), At(13, 7));  // scrolled in 101 before the search
    ASSERT_TRUE(StepBack(&history, At(13, 90), &to));
    EXPECT_TRUE(Same(to, At(101, 300)));
    ASSERT_TRUE(StepBack(&history, At(101, 320), &to));
    EXPECT_TRUE(Same(to, At(11, 40)));
    EXPECT_FALSE(StepBack(&history, At(11, 40), &to));
    ASSERT_TRUE(StepForward(&history, At(11, 40), &to));
    EXPECT_TRUE(Same(to, At(101, 320)));  // as Back left it
    // A move from here drops the places ahead.
    RecordMove(&history, At(103, 5), At(51));
    EXPECT_FALSE(CanGoForward(&history));
    EXPECT_EQ(history.count, 3);

    // Only the last fifty stay.
    for (int i = 0; i < 60; i++) RecordMove(&history, At(2 * i + 1, i), At(2 * i + 3, i + 1));
    EXPECT_EQ(history.count, kHistoryPlaces);
    int steps = 0;
    for (BookPlace here = At(121, 60); StepBack(&history, here, &to); here = to) steps++;
    EXPECT_EQ(steps, kHistoryPlaces - 1);
    EXPECT_TRUE(Same(to, At(23, 11)));
}

TEST(PlaceHistory, StoredFormRoundTripsAndDamageCostsOnlyTheList) {
    PlaceHistory history;
    ClearHistory(&history);
    RecordMove(&history, At(11, 40), At(101, 0xFFFF));
    RecordMove(&history, At(101, 300), At(355, 7));
    std::vector<uint8_t> bytes(kHistoryMaxBytes);
    bytes.resize(WriteHistory(&history, bytes.data()));
    PlaceHistory read;
    ASSERT_TRUE(ReadHistory(bytes.data(), bytes.size(), &read));
    ASSERT_EQ(read.count, 3);
    EXPECT_EQ(read.current, 2);
    for (int i = 0; i < 3; i++) EXPECT_TRUE(Same(read.places[i], history.places[i]));

    auto with = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> changed = bytes;
        changed[at] = value;
        return changed;
    };
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    std::vector<std::vector<uint8_t>> damaged = {
        with(0, 2),   // another format
        with(2, 51),  // more places than are kept
        with(4, 3),   // current past the list
        with(6, 12),  // a commentary section
        with(7, 2),   // past the book
        longer,
        std::vector<uint8_t>(bytes.begin(), bytes.end() - 1),
        std::vector<uint8_t>(bytes.begin(), bytes.begin() + 5),
    };
    for (const std::vector<uint8_t>& value : damaged) {
        read = history;
        EXPECT_FALSE(ReadHistory(value.data(), value.size(), &read)) << value.size();
        EXPECT_EQ(read.count, 0);
    }
}

TEST(SectionNumeral, DigitsAndHebrewNumeralsOnlyAsTheBookWritesThem) {
    const int kNo = kNumeralUnreadable;
    struct Case {
        const wchar_t* text;
        int result;
        int number;
    } cases[] = {
        // Digits.
        {L" 012 ", kNumeralInBook, 12}, {L"178", kNumeralInBook, 178}, {L"500", kNumeralOutsideBook, 500},
        {L"0", kNumeralOutsideBook, 0}, {L"99999999999999", kNumeralOutsideBook, kNumeralCap},
        // Letters from the largest value down, with or without the mark in its place.
        {L"יב", kNumeralInBook, 12}, {L"י״ב", kNumeralInBook, 12}, {L"י\"ב", kNumeralInBook, 12},
        {L"ו'", kNumeralInBook, 6}, {L"ו׳", kNumeralInBook, 6}, {L"קע״ח", kNumeralInBook, 178},
        {L"ט״ו", kNumeralInBook, 15}, {L"טז", kNumeralInBook, 16}, {L"קט״ז", kNumeralInBook, 116},
        {L"קם", kNumeralInBook, 140}, {L"ק״ם", kNumeralInBook, 140}, {L"ך", kNumeralInBook, 20},
        {L"תק", kNumeralOutsideBook, 500}, {L"תת״ק", kNumeralOutsideBook, 900},
        // 15 and 16 are never written 10 + 5 and 10 + 6.
        {L"יה", kNo, 0}, {L"יו", kNo, 0}, {L"י״ה", kNo, 0}, {L"קיה", kNo, 0}, {L"קי״ו", kNo, 0},
        // A final form only at the end.
        {L"ךב", kNo, 0}, {L"ם״ב", kNo, 0}, {L"קןה", kNo, 0},
        // One mark at most, and only where it belongs.
        {L"י״״ב", kNo, 0}, {L"י\"\"ב", kNo, 0}, {L"״יב", kNo, 0}, {L"'א", kNo, 0}, {L"״", kNo, 0},
        {L"יב'", kNo, 0}, {L"ה״", kNo, 0}, {L"קע״ח׳", kNo, 0}, {L"ק״עח", kNo, 0}, {L"''", kNo, 0},
        // Letters out of order or not a numeral at all.
        {L"", kNo, 0}, {L" ", kNo, 0}, {L"12a", kNo, 0}, {L"-3", kNo, 0}, {L"בי", kNo, 0}, {L"יי", kNo, 0},
        {L"קת", kNo, 0}, {L"ט ו", kNo, 0}, {L"טוב", kNo, 0}, {L"ט״י", kNo, 0},
    };
    for (const Case& c : cases) {
        int number = -1;
        EXPECT_EQ(ReadSectionNumeral(c.text, 32, &number), c.result) << "case " << (&c - cases);
        EXPECT_EQ(number, c.number) << "case " << (&c - cases);
    }
}
