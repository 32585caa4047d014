// The search's matcher, the record search of a section, the typed text made
// into a search string, and where a search resumes in a pane.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "navigation/search_match.h"
#include "platform/services.h"
#include "tests/common/search_reference.h"

namespace {

struct Found {
    int end;  // index of the match's last byte in the record, -1 for none
    int length;
};

// Matches `pattern` in `record`, trying end positions from `highest` down.
Found Match(const std::string& record, const std::string& pattern, int highest = -1) {
    const uint8_t* text = (const uint8_t*)record.data();
    if (highest < 0) highest = (int)record.size() - 1;
    int length = 0;
    const uint8_t* end = MatchBackward(text, (const uint8_t*)pattern.data(), (int)pattern.size(), text + highest,
                                       &length);
    return end ? Found{(int)(end - text), length} : Found{-1, 0};
}

// A section text of text records with the given texts, ended like a loaded one.
std::vector<uint8_t> Section(const std::vector<std::string>& texts, uint8_t flags = 0x91) {
    std::vector<uint8_t> bytes;
    for (const std::string& text : texts) {
        bytes.push_back(flags);
        bytes.push_back(0);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), {0, 0, 0});
    return bytes;
}

SearchPattern PatternOf(const std::string& codes, uint32_t options = 0) {
    return {(const uint8_t*)codes.data(), (int)codes.size(), options};
}

void* FailingAllocator(size_t) { return nullptr; }

// Offset of the match's last byte and its length, searching from `start`.
Found Find(const std::vector<uint8_t>& section, const std::string& codes, uint16_t start) {
    SearchPattern pattern = PatternOf(codes);
    int length = 0;
    int end = FindInSectionText(section.data(), (uint32_t)section.size(), start, &pattern, PlatformAlloc, &length);
    return end > 0 ? Found{end, length} : Found{end, 0};
}

// Every match FindAllInSectionText reports, as (end offset, length).
std::vector<std::pair<int, int>> FindAll(const std::vector<uint8_t>& section, const std::string& codes,
                                         uint32_t options = 0) {
    SearchPattern pattern = PatternOf(codes, options);
    std::vector<std::pair<int, int>> hits;
    auto keep = [](void* context, const SectionHit* hit) {
        ((std::vector<std::pair<int, int>>*)context)->push_back({hit->endOffset, hit->length});
        return true;
    };
    int count = FindAllInSectionText(section.data(), (uint32_t)section.size(), &pattern, PlatformAlloc, keep, &hits);
    EXPECT_EQ(count, (int)hits.size());
    return hits;
}

Found FindBefore(const std::vector<uint8_t>& section, const std::string& codes, int bound, uint32_t options = 0) {
    SearchPattern pattern = PatternOf(codes, options);
    int length = 0;
    int end = FindBeforeInSectionText(section.data(), (uint32_t)section.size(), bound, &pattern, PlatformAlloc,
                                      &length);
    return end > 0 ? Found{end, length} : Found{end, 0};
}

std::string SearchStringOf(const std::wstring& typed, int letterBase) {
    uint8_t field[34];
    memset(field, 0x55, sizeof field);
    EditTextToSearchString(typed.c_str(), letterBase, field, sizeof field);
    return std::string((const char*)field);
}

}  // namespace

TEST(MatchBackward, FindsTheHighestMatchWithinTheRecord) {
    Found found = Match("xab", "ab");
    EXPECT_EQ(found.end, 2);
    EXPECT_EQ(found.length, 2);
    EXPECT_EQ(Match("abxab", "ab").end, 4);      // tried from the highest end down
    EXPECT_EQ(Match("abxab", "ab", 3).end, 1);   // nothing above `highest` counts
    EXPECT_EQ(Match("ab", "ab", 0).end, -1);     // the record's start comes first
    EXPECT_EQ(Match("ba", "ab").end, -1);
    EXPECT_EQ(Match("abc", "").end, -1);          // an empty pattern matches nothing
}

TEST(MatchBackward, WildcardsAreOrdinaryInTheLastPlaceAndStarTakesTheShortestStretch) {
    EXPECT_EQ(Match("a b", "a?b").length, 3);  // "?" is any byte, a space too
    EXPECT_EQ(Match("ab", "a?").end, -1);      // in the last place an ordinary byte
    EXPECT_EQ(Match("ab", "a*").end, -1);
    EXPECT_EQ(Match("ba*", "a*").end, 2);
    // The last b is tried first; the nearest a before it starts the match.
    Found found = Match("axaybzb", "a*b");
    EXPECT_EQ(found.end, 6);
    EXPECT_EQ(found.length, 5);  // "aybzb"
    EXPECT_EQ(Match("ab", "a*b").length, 2);  // the run may be empty
    EXPECT_EQ(Match("azzbzzc", "a*b*c").length, 7);
    // A leading star has an empty pattern before it, which matches nothing.
    EXPECT_EQ(Match("xab", "*ab").end, -1);
}

TEST(MatchBackward, AgreesWithTheRulesOnLongRecords) {
    // Long records go eight bytes at a time; every end position, block edge
    // and wildcard place must still give what the rules give.
    uint32_t state = 1;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    for (int round = 0; round < 4000; round++) {
        std::string text(1 + next(90), ' ');
        for (char& c : text) c = "aab b?*"[next(7)];
        std::string pattern(1 + next(5), ' ');
        for (char& c : pattern) c = "ab?*"[next(4)];
        int highest = (int)next((uint32_t)text.size());
        int wantedLength = 0;
        ptrdiff_t wanted = ReferenceMatch((const uint8_t*)text.data(), (const uint8_t*)pattern.data(),
                                          (int)pattern.size(), highest, &wantedLength);
        Found found = Match(text, pattern, highest);
        ASSERT_EQ(found.end, wanted) << "\"" << pattern << "\" in \"" << text << "\" from " << highest;
        if (wanted >= 0) {
            ASSERT_EQ(found.length, wantedLength) << pattern << " in " << text;
        }
    }
}

TEST(FindInSectionText, SearchesFromTheStartDownThenLaterRecordsInFull) {
    // "ab ab" at 2..6 with its 0 at 7; the next record's "ab" at 10..11.
    std::vector<uint8_t> section = Section({"ab ab", "ab"});
    EXPECT_EQ(Find(section, "ab", 0).end, 6);   // from 0 every record in full
    EXPECT_EQ(Find(section, "ab", 5).end, 3);   // inside the first: from there down
    EXPECT_EQ(Find(section, "ab", 2).end, 11);  // the first holds none below 2
    EXPECT_EQ(Find(section, "ab", 8).end, 11);  // between records: the next in full
    EXPECT_EQ(Find(section, "ab", 65535).end, 0);
    EXPECT_EQ(Find(section, "ab", 5).length, 2);
}

TEST(FindInSectionText, NeverMatchesAcrossRecordsButSearchesSpacerText) {
    EXPECT_EQ(Find(Section({"xa", "by"}), "ab", 0).end, 0);
    EXPECT_EQ(Find(Section({"xa", "by"}), "a*b", 0).end, 0);
    // A rule's text is never shown but is still searched; a zero spacer has none.
    std::vector<uint8_t> section = {0x07, 0, 0, 0x07, 5, 'a', 'b', 0, 0x91, 0, 'c', 0, 0, 0, 0};
    EXPECT_EQ(Find(section, "ab", 0).end, 6);
    EXPECT_EQ(Find(section, "c", 0).end, 10);
}

TEST(FindInSectionText, StaysInsideDamagedTextAndReportsMissingMemory) {
    // The last record has no end within the buffer: it is not searched, and
    // nothing is read past the buffer (the sanitizers watch this).
    std::vector<uint8_t> damaged = {0x91, 0, 'a', 'b', 0, 0x91, 0, 'a', 'b'};
    EXPECT_EQ(Find(damaged, "ab", 0).end, 3);
    std::vector<uint8_t> section = Section({"ab"});
    SearchPattern pattern = PatternOf("ab");
    int length = 0;
    EXPECT_EQ(FindInSectionText(section.data(), (uint32_t)section.size(), 0, &pattern, FailingAllocator, &length),
              kSearchNoMemory);
    SearchPattern empty = PatternOf("");
    EXPECT_EQ(FindInSectionText(section.data(), (uint32_t)section.size(), 0, &empty, FailingAllocator, &length), 0);
}

TEST(SearchString, StoredBytesGiveABoundedPattern) {
    uint8_t field[34];
    memset(field, '*', sizeof field);  // no terminator anywhere
    EXPECT_EQ(PatternOfSearchString(field, sizeof field).length, 33);
    field[5] = 0;
    EXPECT_EQ(PatternOfSearchString(field, sizeof field).length, 5);
    EXPECT_EQ(PatternOfSearchString(field, 3).length, 3);
}

TEST(SearchString, TypedTextBecomesLetterCodesInTheOrderTyped) {
    // Keys 1, 2 and 3 leave gimel, bet, alef in the edit, left to right.
    EXPECT_EQ(SearchStringOf(L"\x05D2\x05D1\x05D0", 0x5D0), "cba");
    EXPECT_EQ(SearchStringOf(L"\x05EA\x05E9", 0x5D0), "{z");
    EXPECT_EQ(SearchStringOf(L"\x00E0\x00FA", 224), "a{");
    EXPECT_EQ(SearchStringOf(L"ab{", 97), "ab{");
    // Elsewhere "{" is the escape it is shown for.
    EXPECT_EQ(SearchStringOf(L"{\x05D4}", 0x5D0), "~e}");
    EXPECT_EQ(SearchStringOf(L"{\x00E4}", 224), "~e}");
    // Outside the letters a character keeps its low byte: with base 224 an
    // alef from the input panel is stored as 0xD0 and matches only that byte.
    EXPECT_EQ(SearchStringOf(L"\x05D0?*", 224), "\xD0?*");
}

TEST(SearchString, RunsOfSpacesBecomeOneAndTheLengthIsBounded) {
    EXPECT_EQ(SearchStringOf(L"  \x05D0   \x05D1  ", 0x5D0), " a b ");
    EXPECT_EQ(SearchStringOf(L"", 0x5D0), "");
    EXPECT_EQ(SearchStringOf(std::wstring(50, L'\x05D0'), 0x5D0), std::string(33, 'a'));
}

TEST(ResumeOffset, FollowsTheTopLineAndTheMark) {
    // Top line: stored bytes 100..119; the next line ends at 99.
    ResumeView view = {100, 120, 99, 0, 10, 0, 0, false, false, 0};
    EXPECT_EQ(ResumeOffsetOf(&view), 119);  // no mark: the top line's last byte
    view.markStart = 300;
    view.markEnd = 303;
    EXPECT_EQ(ResumeOffsetOf(&view), 119);  // a mark off the top line is left behind
    view.markStart = 110;
    view.markEnd = 113;
    EXPECT_EQ(ResumeOffsetOf(&view), 109);  // just before the last match
    view.markStart = 100;
    EXPECT_EQ(ResumeOffsetOf(&view), 99);   // the match began the top line
    view.nextEnd = 0;                       // and the top line is the last
    EXPECT_EQ(ResumeOffsetOf(&view), 99);
    // At the end of the section the view cannot move, so a mark further down
    // is where the search goes on; with no mark it starts past every record.
    view.firstRow = 10;
    view.markStart = 300;
    view.markEnd = 303;
    EXPECT_EQ(ResumeOffsetOf(&view), 299);
    view.markStart = view.markEnd = 0;
    EXPECT_EQ(ResumeOffsetOf(&view), 65535);
    // Just before a match that begins its record lies the gap before the
    // record, which would search it in full again: the search goes on with
    // the record after it, whose flags byte is at 171.
    view = {100, 120, 0, 10, 10, 150, 153, false, true, 171};
    EXPECT_EQ(ResumeOffsetOf(&view), 171);
    view.markOnNoLine = true;
    EXPECT_EQ(ResumeOffsetOf(&view), 171);
}

TEST(SearchOptions, FinalFormsAndFullSpellingMatchWhenAsked) {
    // Codes: "n" final mem, "o" mem, "f" vav, "j" yod; "zmo" shin lamed mem.
    std::vector<uint8_t> section = Section({"xx zmfo", "zmn"});
    typedef std::vector<std::pair<int, int>> Hits;
    EXPECT_EQ(FindAll(section, "zmo"), Hits({}));  // byte for byte without options
    EXPECT_EQ(FindAll(section, "zmo", kSearchFinalLetters), Hits({{14, 3}}));
    // Vav and yod left out of text and pattern alike; the match covers the
    // text as it stands, the vav inside it too.
    EXPECT_EQ(FindAll(section, "zmo", kSearchSkipVavYod), Hits({{8, 4}}));
    EXPECT_EQ(FindAll(section, "zjmfo", kSearchSkipVavYod), Hits({{8, 4}}));
    EXPECT_EQ(FindAll(section, "zmn", kSearchFinalLetters | kSearchSkipVavYod), Hits({{8, 4}, {14, 3}}));
    // "?" stands for a letter that is compared, "*" keeps its meaning.
    EXPECT_EQ(FindAll(section, "z?o", kSearchSkipVavYod), Hits({{8, 4}}));
    EXPECT_EQ(FindAll(section, "x*o", kSearchSkipVavYod), Hits({{8, 6}}));  // from the nearer x
    // A pattern of vav and yod alone would be empty: it is looked for as typed.
    EXPECT_EQ(FindAll(section, "f", kSearchSkipVavYod), Hits({{7, 1}}));
    // Unknown option bits change nothing.
    EXPECT_EQ(FindAll(section, "zmo", 0xFFFFFFF0u), Hits({}));
}

TEST(SearchOptions, AgreeWithThePlainRulesOnRandomRecords) {
    uint32_t state = 7;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    const char kLetters[] = "nofjkl ?*";
    for (int round = 0; round < 3000; round++) {
        std::string text(1 + next(60), ' ');
        for (char& c : text) c = kLetters[next(9)];
        std::string pattern(1 + next(5), ' ');
        for (char& c : pattern) c = kLetters[next(9)];
        uint32_t options = next(4);
        std::vector<std::pair<int, int>> wanted = ReferenceMatchesInRecord(
            (const uint8_t*)text.data(), (int)text.size(), (const uint8_t*)pattern.data(), (int)pattern.size(), options);
        for (auto& match : wanted) match.first += 2;  // the record's text starts at offset 2
        ASSERT_EQ(FindAll(Section({text}), pattern, options), wanted)
            << "\"" << pattern << "\" in \"" << text << "\" options " << options;
    }
}

TEST(FindAllInSectionText, ListsTheMatchesInSearchAgainsOrder) {
    // "ab ab" at 2..6, "xx" at 10..11, "ab" at 15..16.
    std::vector<uint8_t> section = Section({"ab ab", "xx", "ab"});
    typedef std::vector<std::pair<int, int>> Hits;
    EXPECT_EQ(FindAll(section, "ab"), Hits({{6, 2}, {3, 2}, {16, 2}}));
    // Each match ends before the one before it starts, as Search Again goes on.
    EXPECT_EQ(FindAll(Section({"aaaa"}), "aa"), Hits({{5, 2}, {3, 2}}));
    std::vector<uint8_t> damaged = {0x91, 0, 'a', 'b', 0, 0x91, 0, 'a', 'b'};
    EXPECT_EQ(FindAll(damaged, "ab"), Hits({{3, 2}}));
    std::string codes = "ab";
    SearchPattern pattern = PatternOf(codes, kSearchFinalLetters);
    auto refuse = [](void*, const SectionHit*) { return false; };
    EXPECT_EQ(FindAllInSectionText(section.data(), (uint32_t)section.size(), &pattern, PlatformAlloc, refuse, nullptr),
              kSearchNoMemory);
    EXPECT_EQ(FindAllInSectionText(section.data(), (uint32_t)section.size(), &pattern, FailingAllocator, refuse,
                                   nullptr),
              kSearchNoMemory);
}

TEST(FindBeforeInSectionText, StepsBackThroughWhatFindAllLists) {
    std::vector<uint8_t> section = Section({"ab ab", "xx", "ab nab"});
    for (uint32_t options : {0u, (uint32_t)kSearchFinalLetters}) {
        std::vector<std::pair<int, int>> hits = FindAll(section, "ab", options);
        ASSERT_EQ(hits.size(), 4u);
        // From each match the one before it; from past every record the last.
        EXPECT_EQ(FindBefore(section, "ab", hits[0].first, options).end, 0);
        for (size_t i = 1; i < hits.size(); i++) {
            Found before = FindBefore(section, "ab", hits[i].first, options);
            EXPECT_EQ(before.end, hits[i - 1].first);
            EXPECT_EQ(before.length, hits[i - 1].second);
        }
        EXPECT_EQ(FindBefore(section, "ab", kPastEveryRecord, options).end, hits.back().first);
    }
    // A bound between records: everything in the records before it.
    EXPECT_EQ(FindBefore(section, "ab", 8).end, 3);
    EXPECT_EQ(FindBefore(section, "xx", 8).end, 0);
}

TEST(ResumeOffset, SearchPreviousLooksBackFromTheSamePlaces) {
    ResumeView view = {100, 120, 99, 0, 10, 0, 0, false, false, 0};
    EXPECT_EQ(BackwardBoundOf(&view), 119);  // the top line, as Search Again starts there
    view.markStart = 110;
    view.markEnd = 113;
    EXPECT_EQ(BackwardBoundOf(&view), 112);  // the last match is left behind
    view.markStart = 100;
    EXPECT_EQ(BackwardBoundOf(&view), 112);
    view.markStart = 300;
    view.markEnd = 303;
    EXPECT_EQ(BackwardBoundOf(&view), 119);  // a mark scrolled away from
    view.firstRow = 10;
    EXPECT_EQ(BackwardBoundOf(&view), 302);
    view.markStart = view.markEnd = 0;
    EXPECT_EQ(BackwardBoundOf(&view), kPastEveryRecord);
    view = {100, 120, 99, 0, 10, 300, 303, true, true, 310};
    EXPECT_EQ(BackwardBoundOf(&view), 302);  // a mark no line shows
}
