// The book information resource, book.txt, and trees of any number of pairs.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include "content/book_info.h"
#include "tools/book/book_tree.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const char kFullInfo[] =
    "id: my-book_2.0\n"
    "title: ספר הבדיקה\n"
    "pairs: 15883\n"
    "text.title: Test Text\n"
    "text.heTitle: טקסט\n"
    "text.edition: Vilna 1913\n"
    "text.source: http://example.com/text\n"
    "text.license: Public Domain\n"
    "commentary.title: Test Commentary\n"
    "commentary.heTitle: פירוש\n"
    "commentary.edition: Warsaw 1880\n"
    "commentary.source: http://example.com/commentary\n"
    "commentary.license: CC-BY-SA\n";

// Parses from a heap block of exactly the given size, so that a read past
// its end is caught by the address sanitizer.
bool Parse(const std::string& text, BookInfo* info) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[text.size() + 1]);
    memcpy(exact.get(), text.data(), text.size());
    return ParseBookInfo(exact.get(), text.size(), info);
}

std::string Format(const BookInfo& info) {
    Bytes out(kBookInfoMaxBytes);
    return std::string((const char*)out.data(), FormatBookInfo(&info, out.data(), out.size()));
}

std::string PairSource(int pair) {
    return "[title] סימן " + std::to_string(pair) + "\nא\n@commentary\n[title] ביאור\nב\n";
}

// A tree of `pairs` pairs, a chapter heading over every ten links.
SourceFiles SmallTree(int pairs) {
    SourceFiles files;
    std::string index;
    for (int pair = 1; pair <= pairs; pair++) {
        files[PairFileName(2 * pair - 1)] = PairSource(pair);
        if (pair % 10 == 1) index += "+ פרק " + std::to_string(pair / 10 + 1) + "\n";
        index += "  > " + std::to_string(2 * pair - 1) + " סימן\n";
    }
    files["index.txt"] = index;
    return files;
}

std::string Diagnostics(const BookDiagnostics& diagnostics) {
    std::string all;
    for (const BookDiagnostic& d : diagnostics) all += FormatDiagnostic(d) + "\n";
    return all;
}

}  // namespace

TEST(BookInfo, ReadsEveryKeyAndWritesTheSameBytesBack) {
    BookInfo info;
    ASSERT_TRUE(Parse(kFullInfo, &info));
    EXPECT_STREQ(info.id, "my-book_2.0");
    EXPECT_STREQ(info.title, "ספר הבדיקה");
    EXPECT_EQ(info.pairs, 15883);
    EXPECT_STREQ(info.text.edition, "Vilna 1913");
    EXPECT_STREQ(info.text.heTitle, "טקסט");
    EXPECT_STREQ(info.commentary.source, "http://example.com/commentary");
    EXPECT_STREQ(info.commentary.license, "CC-BY-SA");
    EXPECT_EQ(Format(info), kFullInfo);
    char credits[4096];
    ASSERT_GT(FormatBookCredits(&info, credits, sizeof credits), 0u);
    EXPECT_STREQ(credits, "ספר הבדיקה\r\nText: Test Text, Vilna 1913, http://example.com/text, Public Domain\r\n"
                          "Commentary: Test Commentary, Warsaw 1880, http://example.com/commentary, CC-BY-SA");
    EXPECT_EQ(FormatBookCredits(&info, credits, 40), 0u);
    EXPECT_TRUE(HasBookCredits(&info));

    // Later keys are skipped, the last line may lack its LF, "key:" may lack
    // its space, and a value keeps its own spaces and colons.
    ASSERT_TRUE(Parse("future.key: 1\nid:x\ntitle: a: b  \npairs: 1", &info));
    EXPECT_STREQ(info.id, "x");
    EXPECT_STREQ(info.title, "a: b  ");
    EXPECT_EQ(info.pairs, 1);
    EXPECT_EQ(Format(info), "id: x\ntitle: a: b  \npairs: 1\n");
    strcpy(info.id, kEditionBookId);
    EXPECT_FALSE(HasBookCredits(&info));  // the demonstration edition keeps its box

    // Every key's value may run to 512 bytes and the whole still fits.
    std::string longest(512, 'A');
    BookInfo full;
    ASSERT_TRUE(Parse(kFullInfo, &full));
    for (char* field : {full.title, full.text.title, full.text.source, full.commentary.license})
        memcpy(field, longest.c_str(), longest.size() + 1);
    std::string written = Format(full);
    ASSERT_FALSE(written.empty());
    ASSERT_TRUE(Parse(written, &info));
    EXPECT_EQ(std::string(info.commentary.license), longest);
}

TEST(BookInfo, RefusesWhatItCannotTrustWithoutReadingPastTheEnd) {
    const std::string bad[] = {
        "",                                        // no pairs
        "id: a\ntitle: b\n",                       // no pairs
        "pairs: 0\n", "pairs: 15884\n", "pairs: 007\n", "pairs: 12a\n", "pairs: -1\n", "pairs:\n",
        "pairs: 1\npairs: 2\n",                    // twice
        "pairs: 1\ntitle: a\ntitle: b\n",          // twice
        "pairs: 1\nid: a b\n",                     // a space in the id
        "pairs: 1\nid: ספר\n",
        "pairs: 1\nid: \n",
        "pairs: 1\nid: " + std::string(65, 'a') + "\n",
        "pairs: 1\ntitle: " + std::string(513, 'a') + "\n",
        "pairs: 1\nno colon here\n",
        "pairs: 1\n: value\n",
        "pairs: 1\nti tle: x\n",
        "pairs: 1\ntitle: a\rb\n",
        std::string("pairs: 1\ntitle: a\0b\n", 20),
        "pairs: 1\ntitle: \xD7\n",                 // a cut UTF-8 letter
        "pairs: 1\ntitle: \xC0\xAF\n",             // an overlong one
        "pairs: 1\n" + std::string(kBookInfoMaxBytes, '\n'),
    };
    for (const std::string& text : bad) {
        BookInfo info;
        memset(&info, 0x55, sizeof info);
        EXPECT_FALSE(Parse(text, &info)) << text.substr(0, 60);
        EXPECT_EQ(info.pairs, 0);
        EXPECT_EQ(info.id[0], 0);
    }
    // Every cut of a good resource gives an answer: once the pairs line is
    // whole, a cut at a line's end is read, and one inside a letter never.
    const size_t pairsEnd = strstr(kFullInfo, "pairs: 15883") + 12 - kFullInfo;
    for (size_t length = 1; length <= strlen(kFullInfo); length++) {
        BookInfo info;
        bool ok = Parse(std::string(kFullInfo, length), &info);
        bool lineEnd = kFullInfo[length] == '\n' || kFullInfo[length] == 0 || kFullInfo[length - 1] == '\n';
        bool insideLetter = (kFullInfo[length] & 0xC0) == 0x80;
        EXPECT_TRUE(ok || length < pairsEnd || !lineEnd) << length;
        EXPECT_FALSE(ok && insideLetter) << length;
        EXPECT_TRUE(!ok || info.pairs >= 1) << length;
    }
    BookInfo info;
    memset(&info, 0, sizeof info);
    info.pairs = 1;
    strcpy(info.id, "not an id");
    EXPECT_EQ(Format(info), "");
    info.id[0] = 0;
    info.pairs = 15884;
    EXPECT_EQ(Format(info), "");
}

TEST(BookTree, AnyNumberOfPairsFromOneCompilesAndComesBack) {
    for (int pairs : {1, 7, 501}) {
        SourceFiles files = SmallTree(pairs);
        if (pairs == 501) files["book.txt"] = "# about the book\n\nid: big\ntitle: ספר גדול\n text.license:  CC0 \n";
        ResourceSet resources;
        BookDiagnostics diagnostics;
        ASSERT_TRUE(CompileBook(files, &resources, &diagnostics)) << Diagnostics(diagnostics);
        EXPECT_EQ(resources.size(), (size_t)(2 * pairs + 2)) << pairs;
        EXPECT_TRUE(resources.count((uint16_t)(1000 + 2 * pairs)));
        BookInfo info;
        const Bytes& stored = resources.at(kBookInfoResource);
        ASSERT_TRUE(ParseBookInfo(stored.data(), stored.size(), &info));
        EXPECT_EQ(info.pairs, pairs);

        SourceFiles decompiled;
        std::string error;
        ASSERT_TRUE(DecompileBook(resources, &decompiled, &error)) << error;
        EXPECT_EQ(decompiled.count("book.txt"), pairs == 501 ? 1u : 0u);
        EXPECT_EQ(decompiled.count("1001.txt"), pairs == 501 ? 1u : 0u);
        ResourceSet again;
        ASSERT_TRUE(CompileBook(decompiled, &again, &diagnostics)) << Diagnostics(diagnostics);
        EXPECT_TRUE(again == resources) << pairs;
    }
    SourceFiles files = SmallTree(501);
    ResourceSet resources;
    BookDiagnostics diagnostics;
    ASSERT_TRUE(CompileBook(files, &resources, &diagnostics));
    const Bytes& stored = resources.at(kBookInfoResource);
    EXPECT_EQ(std::string(stored.begin(), stored.end()), "pairs: 501\n");

    // A program built before the book information: its sections say how many
    // pairs there are. Damaged information is refused, not guessed around.
    resources.erase(kBookInfoResource);
    SourceFiles decompiled;
    std::string error;
    ASSERT_TRUE(DecompileBook(resources, &decompiled, &error)) << error;
    EXPECT_EQ(decompiled.count("1001.txt"), 1u);
    EXPECT_EQ(decompiled.count("1003.txt"), 0u);
    resources[kBookInfoResource] = Bytes{'p', 'a', 'i', 'r', 's', ':', ' ', '5', '0', '2', '\n'};
    EXPECT_FALSE(DecompileBook(resources, &decompiled, &error));
    EXPECT_EQ(error, "resource 2003: missing");  // sections 1003 and 1004
    resources[kBookInfoResource] = Bytes{'x'};
    EXPECT_FALSE(DecompileBook(resources, &decompiled, &error));
    EXPECT_EQ(error, "resource 999: the book information is damaged");
}

TEST(BookTree, GapsStrangeNamesAndBadBookFilesAreEachReported) {
    SourceFiles files = SmallTree(10);
    files.erase("005.txt");
    files["0007.txt"] = PairSource(4);
    files["31767.txt"] = PairSource(4);
    files["012.txt"] = PairSource(4);
    files["index.txt"] += "  > 21 מעבר\n";
    files["book.txt"] = "id: two words\npairs: 3\ncolour: blue\ntitle: a\ntitle: b\njust text\n";
    ResourceSet resources;
    BookDiagnostics diagnostics;
    EXPECT_FALSE(CompileBook(files, &resources, &diagnostics));
    EXPECT_TRUE(resources.empty());
    std::string all = Diagnostics(diagnostics);
    for (const char* expected : {
             "005.txt: error: missing: sections 5 and 6 have no source (the pair files run from 001.txt without a gap)",
             "0007.txt: error: not part of the book", "31767.txt: error: not part of the book",
             "012.txt: error: not part of the book",
             "index.txt:12: error: link to section 21, which does not exist (sections are 1 to 20)",
             "book.txt:1: error: an id is 1 to 64", "book.txt:2: error: pairs is written by compile",
             "book.txt:3: error: unknown key \"colour\"", "book.txt:5: error: \"title\" is given twice",
             "book.txt:6: error: a line is \"key: value\""})
        EXPECT_NE(all.find(expected), std::string::npos) << expected << "\nin:\n" << all;
    EXPECT_EQ(diagnostics.size(), 10u) << all;

    diagnostics.clear();
    EXPECT_FALSE(CompileBook(SourceFiles{{"index.txt", "> 1 א\n"}}, &resources, &diagnostics));
    EXPECT_NE(Diagnostics(diagnostics).find("001.txt: error: missing: a book needs at least one pair"),
              std::string::npos);
}
