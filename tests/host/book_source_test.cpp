// The book source format: letter codes, drawing order, section and outline
// markup into exact record bytes, the errors the compiler reports, and
// source written back from records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/book/book_source.h"
#include "tools/book/book_text.h"

namespace {

// The outlines here belong to a book of 178 pairs.
const int kLastSection = 356;

typedef std::vector<uint8_t> Bytes;

Bytes Codes(const std::string& utf8) {
    Bytes codes;
    std::string reason;
    size_t column = 0;
    EXPECT_TRUE(EncodeSourceText(utf8, &codes, &reason, &column)) << reason;
    return codes;
}

Bytes CompileSection(const std::string& source) {
    Bytes text;
    BookDiagnostics diagnostics;
    EXPECT_TRUE(ParseSectionSource("s.txt", 1, source, &text, &diagnostics))
        << (diagnostics.empty() ? "" : FormatDiagnostic(diagnostics[0]));
    return text;
}

Bytes CompileIndex(const std::string& source) {
    Bytes text;
    BookDiagnostics diagnostics;
    EXPECT_TRUE(ParseIndexSource("index.txt", source, kLastSection, &text, &diagnostics))
        << (diagnostics.empty() ? "" : FormatDiagnostic(diagnostics[0]));
    return text;
}

uint32_t NextRandom(uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

}  // namespace

TEST(BookText, HebrewLettersBraceMaqafAndLatinOneBecomeCodes) {
    EXPECT_EQ(Codes("אבץשת"), (Bytes{0x61, 0x62, 0x76, 0x7A, 0x7B}));
    EXPECT_EQ(Codes("ךםןףץ"), (Bytes{0x6B, 0x6E, 0x70, 0x74, 0x76}));
    EXPECT_EQ(Codes("{}־é"), (Bytes{0x7E, '}', '-', 0xE9}));
    EXPECT_EQ(Codes("\\\\\\[\\s\\x7F\\xff"), (Bytes{'\\', '[', ' ', 0x7F, 0xFF}));
}

TEST(BookText, CharactersWithoutACodeAreRefusedWithTheirColumn) {
    struct Case {
        const char* text;
        size_t column;
        const char* reason;
    } cases[] = {
        {"אב a", 5, "Latin small letter"}, {"~", 0, "stores \"{\""}, {"א\xD6\xB0", 2, "point or accent"},
        {"\t", 0, "tab"},                  {"\xD7", 0, "UTF-8"},         {"\\q", 0, "unknown escape"},
        {"\\x00", 0, "01 to FF"},         {"\xE2\x82\xAC", 0, "U+20AC"},
    };
    for (const Case& c : cases) {
        Bytes codes;
        std::string reason;
        size_t column = 99;
        EXPECT_FALSE(EncodeSourceText(c.text, &codes, &reason, &column)) << c.text;
        EXPECT_EQ(column, c.column) << c.text;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.text << ": " << reason;
    }
}

TEST(BookText, DrawingOrderReversesHebrewButKeepsNumbersAndMirrorsBrackets) {
    // Reading order: alef bet, space, "(12.5)", space, gimel {.
    Bytes reading = Codes("אב (12.5) ג{");
    Bytes expected = {'}', 0x63, ' ', '(', '1', '2', '.', '5', ')', ' ', 0x62, 0x61};
    EXPECT_EQ(ToDrawingOrder(reading), expected);
    EXPECT_EQ(ToDrawingOrder(Codes("AB CD")), Codes("CD AB"));
}

TEST(BookText, DrawingOrderAndSourceTextRoundTripAnyBytes) {
    uint32_t state = 5;
    for (int round = 0; round < 3000; round++) {
        Bytes bytes(NextRandom(&state) % 24);
        const uint8_t alphabet[] = {'1', '9', 'A', '.', '-', ' ', '(', ']', 0x7E, '}', 0x61, 0x7B, 0xE9, 0x85, 0x0A, '\\', '['};
        for (uint8_t& b : bytes) b = NextRandom(&state) % 3 ? alphabet[NextRandom(&state) % sizeof alphabet] : (uint8_t)(1 + NextRandom(&state) % 255);
        ASSERT_EQ(ToDrawingOrder(ToDrawingOrder(bytes)), bytes) << round;
        std::string source = DecodeToSourceText(bytes);
        // Source lines lose their outer spaces and a leading "[" opens markup;
        // the written text must survive both.
        ASSERT_TRUE(source.empty() || (source[0] != ' ' && source.back() != ' ' && source[0] != '[')) << source;
        ASSERT_EQ(Codes(source), bytes) << source;
    }
}

TEST(BookSource, EveryMarkupGivesItsRecordBytes) {
    Bytes text = CompileSection(
        "# comment\n"
        "[title] אב\n"
        "\n"
        "[subtitle] ג\n"
        "דה וז\n"
        "[hang=2 indent=5] א. בג\n"
        "\n"
        "[cont] דה\n"
        "\n"
        "[rule=80 center]\n"
        "\n\n"
        "[rule=50%]\n"
        "[spacer]\n"
        "[raw left] אב\n"
        "[large bold] א\n"
        "[small indent=63]    ב   \r\n");
    Bytes expected = {0xDC, 0,    0x62, 0x61, 0,                               // title
                      0xD1, 0,    0x63, 0,                                     // subtitle
                      0x31, 0,    0x67, 0x66, ' ', 0x65, 0x64, 0,              // plain, no blank row
                      0xB1, 0x85, 0x63, 0x62, ' ', '.', 0x61, 0,               // hanging word
                      0xB1, 0x40, ' ', 0x65, 0x64, 0,                          // continuation
                      0xC7, 80,   0,                                           // centred rule
                      0x27, 185,  0,                                           // 50 % rule
                      0x27, 0,    0,                                           // spacer
                      0x01, 0,    0x61, 0x62, 0,                               // stored as written
                      0x3C, 0,    0x61, 0,                                     // large bold
                      0x32, 63,   0x62, 0,                                     // small, indented
                      0};
    EXPECT_EQ(text, expected);
}

TEST(BookSource, BadParagraphsNameTheirLineAndReason) {
    struct Case {
        const char* source;
        int line;
        const char* reason;
    } cases[] = {
        {"א\nאב a\n", 2, "column 4: the Latin small letter"},
        {"[bogus] א\n", 1, "unknown markup \"bogus\""},
        {"[hang=4] א\n", 1, "hang is 1, 2 or 3"},
        {"[indent=64] א\n", 1, "indent is 0 to 63"},
        {"א\n[rule=161]\n", 2, "1 to 160"},
        {"א\n[rule=51%]\n", 2, "even"},
        {"א\n[spacer] ב\n", 2, "cannot carry text"},
        {"א\n[rule=20 bold]\n", 2, "only an alignment"},
        {"[large small] א\n", 1, "not both"},
        {"א\n\n[title] ב\n", 3, "title must be the first"},
        {"א\n[subtitle] ב\n", 2, "subtitle must open"},
        {"[title bold] א\n", 1, "fix the style"},
        {"[flags=0x31 center] א\n", 1, "flags= gives the whole style"},
        {"[flags=0x27] א\n", 1, "make a rule"},
        {"[]\nא\n", 1, "needs text"},
        {"[cont] א\n", 1, "needs a paragraph before it"},
        {"א\n[hang=2] ב ג\\s\n", 2, "for a continuation"},
        {"[א\n", 1, "not closed"},
        {"א\n@foo\n", 2, "unknown directive"},
        {"א\n[raw left noplain] ב\nג\n", 2, "flags byte would be 0"},
        {"# only a comment\n\n", 1, "no paragraphs"},
    };
    for (const Case& c : cases) {
        Bytes text;
        BookDiagnostics diagnostics;
        EXPECT_FALSE(ParseSectionSource("001.txt", 1, c.source, &text, &diagnostics)) << c.source;
        ASSERT_EQ(diagnostics.size(), 1u) << c.source;
        EXPECT_EQ(diagnostics[0].line, c.line) << c.source;
        EXPECT_NE(FormatDiagnostic(diagnostics[0]).find(c.reason), std::string::npos)
            << c.source << " gave " << FormatDiagnostic(diagnostics[0]);
    }
}

TEST(BookSource, SectionsAndIndexesOverTheSixteenBitLimitAreRefused) {
    std::string letters;
    for (int i = 0; i < 66000; i++) letters += "א";
    Bytes text;
    BookDiagnostics diagnostics;
    EXPECT_FALSE(ParseSectionSource("001.txt", 1, letters + "\n", &text, &diagnostics));
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].reason.find("at most 65535"), std::string::npos);

    std::string outline;
    for (int i = 0; i < 3000; i++) outline += "> 1 אבגדהוזחטיכלמנסעפצקרשת\n";
    diagnostics.clear();
    EXPECT_FALSE(ParseIndexSource("index.txt", outline, kLastSection, &text, &diagnostics));
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].reason.find("at most 65535"), std::string::npos);

    // 34 KB of links to every section: small enough alone, but with all of
    // them bookmarked the group in front would double it.
    std::string links, someLinks;
    for (int n = 1; n <= kLastSection; n++) {
        links += "> " + std::to_string(n) + " " + std::string(30, 'A') + letters.substr(0, 120) + "\n";
        if (n == 200) someLinks = links;
    }
    diagnostics.clear();
    EXPECT_FALSE(ParseIndexSource("index.txt", links, kLastSection, &text, &diagnostics));
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].reason.find("bookmark group"), std::string::npos) << diagnostics[0].reason;
    EXPECT_TRUE(CompileIndex(someLinks).size() > 18000);

    // Headings and labels numbered past the 14 bits an entry's number has
    // would turn into links: refused at the first of them.
    std::string labels;
    for (int i = 0; i < 15400; i++) labels += ". א\n";
    diagnostics.clear();
    EXPECT_FALSE(ParseIndexSource("index.txt", labels, kLastSection, &text, &diagnostics));
    ASSERT_FALSE(diagnostics.empty());
    EXPECT_EQ(diagnostics[0].line, 15383);  // numbered 1001 on, passing over 2167: 16384
    EXPECT_NE(diagnostics[0].reason.find("run past 16383"), std::string::npos) << diagnostics[0].reason;
}

TEST(BookSource, PairFilesSplitAtTheCommentaryLine) {
    SectionPair pair;
    BookDiagnostics diagnostics;
    EXPECT_TRUE(ParsePairSource("001.txt", "\xEF\xBB\xBF" "א\r\n\r\n@commentary\r\nב\r\n", &pair, &diagnostics));
    EXPECT_EQ(pair.mainText, (Bytes{0xB1, 0, 0x61, 0, 0}));
    EXPECT_EQ(pair.commentaryText, (Bytes{0x31, 0, 0x62, 0, 0}));

    EXPECT_FALSE(ParsePairSource("003.txt", "א\n", &pair, &diagnostics));
    EXPECT_NE(diagnostics.back().reason.find("commentary section is missing"), std::string::npos);
    EXPECT_FALSE(ParsePairSource("005.txt", "א\n@commentary\n\n# nothing\n", &pair, &diagnostics));
    EXPECT_EQ(diagnostics.back().line, 3);
    EXPECT_NE(diagnostics.back().reason.find("no paragraphs"), std::string::npos);
    EXPECT_FALSE(ParsePairSource("007.txt", "א\n@commentary\nב\n[bad] ג\n", &pair, &diagnostics));
    EXPECT_EQ(diagnostics.back().line, 4);
}

TEST(BookIndex, OutlineGivesRecordsWithDerivedVisibilityAndNumbers) {
    Bytes text = CompileIndex(
        "# outline\n"
        ". [large bold] אב\n"
        "- ג\n"
        "  > 1 ד\n"
        "  + ה\n"
        "    > 3 ו\n"
        "  . [small] ז\n"
        "+ [num=500] ח\n"
        "  > 5 [shown] ט\n");
    Bytes expected = {0xE9, 0x03, 0x8C, 0, 0x62, 0x61, 0,  // label 1001, visible
                      0xEA, 0x83, 0xC1, 0, 0x63, 0,        // expanded heading 1002
                      0x01, 0x40, 0x81, 1, 0x64, 0,        // link under it: visible
                      0xEB, 0x83, 0x81, 1, 0x65, 0,        // collapsed heading 1003
                      0x03, 0x40, 0x01, 2, 0x66, 0,        // link under it: hidden
                      0xEC, 0x03, 0x82, 1, 0x67, 0,        // label back at level 1: visible
                      0xF4, 0x81, 0x81, 0, 0x68, 0,        // heading numbered 500
                      0x05, 0x40, 0x81, 1, 0x69, 0,        // shown although collapsed
                      0, 0, 0, 0, 0};
    EXPECT_EQ(text, expected);
}

TEST(BookIndex, BadEntriesNameTheirLineAndReason) {
    struct Case {
        std::string source;
        int line;
        const char* reason;
    } cases[] = {
        {"- א\n  > 357 ב\n", 2, "section 357, which does not exist"},
        {"- א\n  > ב\n", 2, "names its section by number"},
        {"- א\n . ב\n", 2, "two spaces per level"},
        {"- א\n" + std::string(512, ' ') + "> 1 ב\n", 2, "level is 0 to 255"},
        {"- א\n* ב\n", 2, "starts with + or -"},
        {". [num=5] א\n", 1, "in place of section 5's link"},
        {"- [num=2167] א\n", 1, "bookmark group"},
        {"- [num=1500] א\n- [num=1500] ב\n", 2, "used by two"},
        {"- א\n  . [noplain hidden] ב\n", 2, "style byte would be 0"},
        {"- א\n- ב\n  > 1 ג\n", 1, "needs at least one entry indented under it"},
        {"> 1 א\n+ ב\n", 2, "needs at least one entry indented under it"},
        {". \n> 1 א\n", 1, "first entry needs text"},
        {"- [large small] א\n", 1, "not both"},
        {"- [style=0x81 bold] א\n", 1, "whole style byte"},
        {"# nothing\n", 0, "no entries"},
    };
    for (const Case& c : cases) {
        Bytes text;
        BookDiagnostics diagnostics;
        EXPECT_FALSE(ParseIndexSource("index.txt", c.source, kLastSection, &text, &diagnostics)) << c.source;
        ASSERT_EQ(diagnostics.size(), 1u) << c.source;
        EXPECT_EQ(diagnostics[0].line, c.line) << c.source;
        EXPECT_NE(diagnostics[0].reason.find(c.reason), std::string::npos) << c.source << " gave " << diagnostics[0].reason;
    }
}

TEST(BookRoundTrip, UnusualSectionRecordsComeBackByteForByte) {
    Bytes text = {
        0x11, 0x83, ' ', 0x61, 0x62, 0,                 // first record hanging, text opening with a space
        0x6D, 0,    '[', 0x85, 'Z', '\\', 0,            // alignment bits 0x60, stored as written
        0x16, 0,    ')', '5', '.', '1', '(', 0,         // large and small together
        0x0F, 10,   0x61, 0x62, 0,                      // a rule with the bold bit, carrying text
        0x31, 0,    0,                                  // empty paragraph
        0x31, 0x41, ' ', 0x63, 0x64, 0,                 // continuation
        0x31, 0xC0, ' ', 0x65, 0,                       // continuation with hanging code 3
        0xDC, 0,    0x61, 0,                            // title flags away from the top
        0xD1, 0,    0x62, 0,                            // subtitle flags away from the top
        0x30, 0,    0x61, ' ', 0,                       // plain bit cleared, space at the stored end
        0x87, 0,    0,                                  // spacer, left, with a blank row
        0x80, 0,    0x61, 0,                            // raw, left, not plain: only the blank-row bit
        0};
    std::string source, reason;
    ASSERT_TRUE(SectionTextToSource(text.data(), text.size(), &source, &reason)) << reason;
    EXPECT_EQ(CompileSection(source), text) << source;
}

TEST(BookRoundTrip, UnusualIndexRecordsComeBackByteForByte) {
    Bytes text = {0x10, 0x04, 0xA1, 0, 0x61, 0,   // label 1040, unused style bit
                  0xE9, 0x83, 0x81, 0, 0x62, 0,   // heading with the first automatic number
                  0x07, 0x40, 0xC1, 7, 0x63, 0,   // link with the expanded bit, deep level
                  0xEB, 0x83, 0x41, 1, 0x64, 0,   // expanded heading, hidden
                  0x01, 0x40, 0x93, 2, 0,         // link with empty text and key 0x13
                  0, 0, 0, 0, 0};
    std::string source, reason;
    ASSERT_TRUE(IndexTextToSource(text.data(), text.size(), kLastSection, &source, &reason)) << reason;
    EXPECT_EQ(CompileIndex(source), text) << source;
}

TEST(BookRoundTrip, DamagedRecordsAreReportedNotRead) {
    std::string source, reason;
    Bytes runaway = {0x31, 0, 0x61, 0x62};  // no NUL, no terminator
    EXPECT_FALSE(SectionTextToSource(runaway.data(), runaway.size(), &source, &reason));
    Bytes empty = {0};
    EXPECT_FALSE(SectionTextToSource(empty.data(), empty.size(), &source, &reason));
    Bytes index = {0x01, 0x40, 0x81, 0, 0x61};  // entry without its NUL
    EXPECT_FALSE(IndexTextToSource(index.data(), index.size(), kLastSection, &source, &reason));
    Bytes both = {0x01, 0xC0, 0x81, 0, 0x61, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(IndexTextToSource(both.data(), both.size(), kLastSection, &source, &reason));
    EXPECT_NE(reason.find("both link and heading"), std::string::npos);
}
