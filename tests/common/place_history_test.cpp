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

TEST(SectionNumeral, DigitsAndHebrewNumeralsAsTheBookWritesThem) {
    struct Case {
        const wchar_t* text;
        int result;
        int number;
    } cases[] = {
        {L" 012 ", kNumeralInBook, 12}, {L"178", kNumeralInBook, 178}, {L"יב", kNumeralInBook, 12},
        {L"י״ב", kNumeralInBook, 12},   {L"י\"ב", kNumeralInBook, 12}, {L"ו'", kNumeralInBook, 6},
        {L"קע״ח", kNumeralInBook, 178}, {L"טו", kNumeralInBook, 15},   {L"ט״ז", kNumeralInBook, 16},
        {L"קם", kNumeralInBook, 140},   {L"500", kNumeralOutsideBook, 500}, {L"0", kNumeralOutsideBook, 0},
        {L"תק", kNumeralOutsideBook, 500}, {L"99999999999999", kNumeralOutsideBook, kNumeralCap},
    };
    for (const Case& c : cases) {
        int number = -1;
        EXPECT_EQ(ReadSectionNumeral(c.text, 32, &number), c.result) << c.number;
        EXPECT_EQ(number, c.number);
    }
    int number = 0;
    for (const wchar_t* text : {L"", L" ", L"12a", L"-3", L"בי", L"יי", L"קת", L"״", L"ט ו"})
        EXPECT_EQ(ReadSectionNumeral(text, 32, &number), kNumeralUnreadable) << (int)text[0];
}
