// Back and Forward's list of places, its stored form, and the numerals that
// Go To reads.
#include <gtest/gtest.h>

#include <vector>

#include "navigation/place_history.h"
#include "navigation/section_numeral.h"

namespace {

BookPlace At(int section, int offset = 0) { return BookPlace{(uint16_t)section, (uint16_t)offset}; }

bool Same(BookPlace a, BookPlace b) { return a.section == b.section && a.topOffset == b.topOffset; }

std::vector<uint8_t> Stored(const PlaceHistory& history) {
    std::vector<uint8_t> bytes(kHistoryMaxBytes);
    bytes.resize(WriteHistory(&history, bytes.data()));
    return bytes;
}

int Numeral(const wchar_t* text, int* number) { return ReadSectionNumeral(text, 32, number); }

}  // namespace

TEST(PlaceHistory, BackAndForwardReturnToThePlacesAsLeft) {
    PlaceHistory history;
    ClearHistory(&history);
    BookPlace to;
    EXPECT_FALSE(StepBack(&history, At(11), &to));
    RecordMove(&history, At(11, 40), At(101));
    RecordMove(&history, At(101, 300), At(13, 7));  // scrolled in 101 before the search
    EXPECT_EQ(history.count, 3);

    ASSERT_TRUE(StepBack(&history, At(13, 90), &to));
    EXPECT_TRUE(Same(to, At(101, 300)));
    ASSERT_TRUE(StepBack(&history, At(101, 320), &to));
    EXPECT_TRUE(Same(to, At(11, 40)));
    EXPECT_FALSE(StepBack(&history, At(11, 40), &to));
    ASSERT_TRUE(StepForward(&history, At(11, 40), &to));
    EXPECT_TRUE(Same(to, At(101, 320)));  // where Back left it, not where it was first
    ASSERT_TRUE(StepForward(&history, At(101, 320), &to));
    EXPECT_TRUE(Same(to, At(13, 90)));
    EXPECT_FALSE(StepForward(&history, At(13, 90), &to));

    // A move after going back drops the places ahead; a step taken before
    // it (no move) is where Back then returns to.
    StepBack(&history, At(13, 90), &to);
    RecordMove(&history, At(103, 5), At(51));
    EXPECT_FALSE(CanGoForward(&history));
    ASSERT_TRUE(StepBack(&history, At(51), &to));
    EXPECT_TRUE(Same(to, At(103, 5)));
    EXPECT_EQ(history.count, 3);
}

TEST(PlaceHistory, KeepsTheLastFiftyPlaces) {
    PlaceHistory history;
    ClearHistory(&history);
    for (int i = 0; i < 60; i++) RecordMove(&history, At(2 * i + 1, i), At(2 * i + 3, i + 1));
    EXPECT_EQ(history.count, kHistoryPlaces);
    BookPlace here = At(121, 60);
    BookPlace to;
    int steps = 0;
    while (StepBack(&history, here, &to)) {
        here = to;
        steps++;
    }
    EXPECT_EQ(steps, kHistoryPlaces - 1);
    EXPECT_TRUE(Same(here, At(23, 11)));  // the first 11 places went
}

TEST(PlaceHistory, StoredFormRoundTripsAndDamageCostsOnlyTheList) {
    PlaceHistory history;
    ClearHistory(&history);
    RecordMove(&history, At(11, 40), At(101, 0xFFFF));
    RecordMove(&history, At(101, 300), At(355, 7));
    BookPlace to;
    StepBack(&history, At(355, 9), &to);
    std::vector<uint8_t> bytes = Stored(history);
    ASSERT_EQ(bytes.size(), kHistoryHeaderBytes + 3 * kHistoryPlaceBytes);

    PlaceHistory read;
    ASSERT_TRUE(ReadHistory(bytes.data(), bytes.size(), &read));
    EXPECT_EQ(read.count, 3);
    EXPECT_EQ(read.current, 1);
    for (int i = 0; i < 3; i++) EXPECT_TRUE(Same(read.places[i], history.places[i]));
    PlaceHistory empty;
    ClearHistory(&empty);
    std::vector<uint8_t> none = Stored(empty);
    EXPECT_TRUE(ReadHistory(none.data(), none.size(), &read));
    EXPECT_EQ(read.count, 0);

    auto damaged = [&](std::vector<uint8_t> value) {
        PlaceHistory out = history;
        bool ok = ReadHistory(value.data(), value.size(), &out);
        return !ok && out.count == 0 && out.current == 0;
    };
    std::vector<uint8_t> v = bytes;
    EXPECT_TRUE(damaged({}));
    EXPECT_TRUE(damaged({1, 0, 3}));
    v.pop_back();
    EXPECT_TRUE(damaged(v));  // short
    v = bytes;
    v.push_back(0);
    EXPECT_TRUE(damaged(v));  // long
    v = bytes;
    v[0] = 2;
    EXPECT_TRUE(damaged(v));  // another format
    v = bytes;
    v[4] = 3;
    EXPECT_TRUE(damaged(v));  // current past the list
    v = bytes;
    v[6] = 12;
    EXPECT_TRUE(damaged(v));  // a commentary section
    v = bytes;
    v[6] = 0x65;
    v[7] = 1;
    EXPECT_TRUE(damaged(v));  // 357, past the book
    v = none;
    v[4] = 1;
    EXPECT_TRUE(damaged(v));  // an empty list with a current entry
    std::vector<uint8_t> huge(kHistoryHeaderBytes + 51 * kHistoryPlaceBytes, 0);
    huge[0] = 1;
    huge[2] = 51;
    for (size_t i = kHistoryHeaderBytes; i < huge.size(); i += kHistoryPlaceBytes) huge[i] = 1;
    EXPECT_TRUE(damaged(huge));  // more places than are kept
}

TEST(SectionNumeral, DigitsAndHebrewNumeralsAsTheBookWritesThem) {
    struct Case {
        const wchar_t* text;
        int number;
    } cases[] = {
        {L"12", 12},         {L" 012 ", 12},      {L"178", 178},       {L"1", 1},
        {L"יב", 12},         {L"י״ב", 12},        {L"י\"ב", 12},       {L"יב'", 12},
        {L"ו'", 6},          {L"ו׳", 6},          {L"קמח", 148},       {L"קע״ח", 178},
        {L"טו", 15},         {L"ט״ז", 16},        {L"יה", 15},         {L"צט", 99},
        {L"ך", 20},          {L"קם", 140},
    };
    for (const Case& c : cases) {
        int number = -1;
        EXPECT_EQ(Numeral(c.text, &number), kNumeralInBook) << (int)c.text[0];
        EXPECT_EQ(number, c.number) << (int)c.text[0];
    }
    int number = -1;
    EXPECT_EQ(Numeral(L"500", &number), kNumeralOutsideBook);
    EXPECT_EQ(number, 500);
    EXPECT_EQ(Numeral(L"0", &number), kNumeralOutsideBook);
    EXPECT_EQ(Numeral(L"179", &number), kNumeralOutsideBook);
    EXPECT_EQ(Numeral(L"99999999999999999999", &number), kNumeralOutsideBook);
    EXPECT_EQ(number, kNumeralCap);
    EXPECT_EQ(Numeral(L"תק", &number), kNumeralOutsideBook);
    EXPECT_EQ(number, 500);
    EXPECT_EQ(Numeral(L"קפ", &number), kNumeralOutsideBook);

    const wchar_t* unreadable[] = {L"", L"   ", L"12a", L"-3", L"1 2", L"בי", L"יי", L"קת", L"״", L"abc", L"ט ו"};
    for (const wchar_t* text : unreadable) EXPECT_EQ(Numeral(text, &number), kNumeralUnreadable) << (int)text[0];
    // Only the units given are read.
    EXPECT_EQ(ReadSectionNumeral(L"12345", 2, &number), kNumeralInBook);
    EXPECT_EQ(number, 12);
}
