// The import from the library's export: characters, markup, structure and a
// round trip through the resources. The fixtures are written for these tests
// in the export's shape.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/book/import.h"

namespace {

std::vector<ImportParagraph> Convert(const std::string& raw, ImportReport* report) {
    std::vector<ImportParagraph> paragraphs;
    ConvertSegment(raw, ImportPlace{"t.json", "1:1", 0}, report, &paragraphs);
    return paragraphs;
}

std::string Joined(const std::vector<ImportParagraph>& paragraphs) {
    std::string out;
    for (const ImportParagraph& p : paragraphs) {
        out += out.empty() ? "" : " | ";
        out += p.rule ? "<rule>" : (p.bold ? "B:" : "") + std::string(p.large ? "L:" : "") + (p.small ? "S:" : "") + p.text;
    }
    return out;
}

const char kText[] = R"({
  "title": "Example", "heTitle": "דוגמה", "versionTitle": "Test Edition", "versionSource": "http://example.org/t",
  "license": "CC-BY-NC", "language": "he", "sectionNames": ["Chapter", "Mishnah"],
  "text": [["אחת", "", "שלש"], ["ארבע"]]
})";

const char kCommentary[] = R"({
  "title": "Rav on Example", "heTitle": "פירוש הרב", "versionTitle": "Test Commentary", "license": "CC0",
  "sectionNames": ["Chapter", "Mishnah", "Comment"],
  "text": [[["על אחת", "ועוד"], [], ["על שלש"]], [[], ["אין כאן"]], [["ואף לא כאן"]]]
})";

ImportInput Input(const std::string& text, const std::string& commentary = "") {
    ImportInput in;
    in.textName = "t.json";
    in.text = text;
    if (!commentary.empty()) {
        in.commentaryName = "c.json";
        in.commentary = commentary;
    }
    in.unit = kPairPerSegment;
    in.unitGiven = false;
    return in;
}

struct Imported {
    bool ok;
    SourceFiles files;
    ImportReport report;
    std::vector<std::string> errors;
};

Imported Import(const ImportInput& in) {
    Imported out;
    out.ok = ImportBook(in, &out.files, &out.report, &out.errors);
    return out;
}

std::string AllErrors(const Imported& imported) {
    std::string all;
    for (const std::string& e : imported.errors) all += e + "\n";
    return all;
}

bool Has(const std::string& haystack, const std::string& needle) { return haystack.find(needle) != std::string::npos; }

}  // namespace

TEST(BookImport, CharactersBecomeTheConsonantsTheBookStores) {
    // בְּרֵאשִׁ֖ית with maqaf and sof pasuq, a geresh, gershayim, a ligature.
    const std::string pointed = "בְּרֵאשִׁ֖ית־בָּרָ֣א׃ ר׳ רש״י ײ";
    struct Case {
        std::string raw, stored;
    } cases[] = {
        {pointed, "בראשית-ברא: ר' רש\"י יי"},
        {"\uFB20 \uFB21 \uFB2A \uFB4F", "ע א ש אל"},  // presentation forms
        {"\u201Cא\u201D \u2018ב\u2019 \u2013 \u2026", "\"א\" 'ב' - ..."},   // quotes, dash, ellipsis
        {"א\u00A0ב\u200F\u202Bג\u202C\uFEFF", "א בג"},                        // a no-break space, direction marks
        {"abc ~ \u2603|\u05C0", "ABC ? ?||"},                               // small Latin, "~", a snowman, paseq
    };
    ImportReport report;
    for (const Case& c : cases) EXPECT_EQ(Joined(Convert(c.raw, &report)), c.stored) << c.raw;
    ImportReport counted;
    Convert(pointed, &counted);
    std::map<std::string, int> expected = {
        {"cantillation marks dropped", 2}, {"vowel points and dots dropped", 8}, {"maqaf as \"-\"", 1},
        {"sof pasuq as \":\"", 1}, {"geresh as \"'\"", 1}, {"gershayim as '\"'", 1},
        {"Yiddish ligatures as their letters", 1}};
    EXPECT_EQ(counted.counts, expected);
    ASSERT_EQ(report.unknown.count(0x2603), 1u);
    EXPECT_EQ(report.unknown.at(0x2603).places[0].offset, 6u);
    EXPECT_EQ(report.unknown.at('~').count, 1);
}

TEST(BookImport, MarkupKeepsWhatTheBookCanHold) {
    struct Case {
        const char* raw;
        const char* paragraphs;
    } cases[] = {
        {"<b>כולה מודגשת</b>", "B:כולה מודגשת"},
        {"  <big><b>גדולה</b></big> ", "B:L:גדולה"},
        {"<small>קטנה<br>גם זו</small>", "S:קטנה | S:גם זו"},
        {"<b>פתיחה</b> והמשך", "פתיחה והמשך"},  // inside a paragraph: dropped
        {"ראשונה<br/>שנייה<br><br>שלישית", "ראשונה | שנייה | שלישית"},
        {"לפני<hr>אחרי", "לפני | <rule> | אחרי"},
        {"מילה<sup class=\"footnote-marker\">1</sup><i class=\"footnote\">הערה <i>פנימית</i> כאן</i> סוף",
         "מילה סוף"},
        {"א<i data-commentator=\"Rav\" data-label=\"ב\"></i>ג", "אג"},
        {"<span class=\"x\">עטוף</span> <q>ציטוט</q>", "עטוף ציטוט"},
        {"&lt;b&gt; &amp;amp; &#1488;&#x5D1; &bogus; a < b", "<B> &AMP; אב &BOGUS; A < B"},
    };
    ImportReport report;
    for (const Case& c : cases) EXPECT_EQ(Joined(Convert(c.raw, &report)), c.paragraphs) << c.raw;
    EXPECT_EQ(report.counts["footnotes dropped"], 1);
    EXPECT_EQ(report.counts["footnote markers dropped"], 1);
    EXPECT_EQ(report.counts["cross-reference markers dropped"], 1);
    EXPECT_EQ(report.counts["other tags unwrapped"], 2);
    EXPECT_EQ(report.counts["formatting inside a paragraph dropped"], 1);
    EXPECT_EQ(report.counts["entities decoded"], 5);  // "&amp;amp;" once
}

TEST(BookImport, TextAndCommentaryBecomePairsChaptersAndBookInformation) {
    // The third chapter's comment has no segment of the text to sit on, nor
    // the second chapter's second: both are listed.
    Imported stray = Import(Input(kText, kCommentary));
    EXPECT_FALSE(stray.ok);
    EXPECT_TRUE(stray.files.empty());
    EXPECT_TRUE(Has(AllErrors(stray), "c.json: comments on addresses the text does not have: 2:2, 3:1")) << AllErrors(stray);

    std::string commentary = kCommentary;
    commentary.replace(commentary.find(", [[\"ואף"), std::string(", [[\"ואף לא כאן\"]]").size(), "");
    commentary.replace(commentary.find("[\"אין כאן\"]"), std::string("[\"אין כאן\"]").size(), "[]");
    Imported book = Import(Input(kText, commentary));
    ASSERT_TRUE(book.ok) << AllErrors(book);
    EXPECT_EQ(book.report.pairs, 4);
    EXPECT_EQ(book.files.size(), 6u);  // four pairs, the outline and book.txt
    const std::string& first = book.files.at("001.txt");
    EXPECT_TRUE(Has(first, "[title] פרק א' משנה א'\n\n[subtitle] דוגמה\n\nאחת\n\n@commentary\n\n"
                           "[title] פירוש הרב\n\n[subtitle] על פרק א' משנה א'\n\nעל אחת\n\nועוד\n"))
        << first;
    // An empty segment, and one without comments, keep their title and subtitle.
    EXPECT_TRUE(Has(book.files.at("003.txt"), "[subtitle] דוגמה\n\n@commentary\n\n[title] פירוש הרב\n\n"
                                              "[subtitle] על פרק א' משנה ב'\n\n"));
    EXPECT_EQ(book.report.emptySegments, 1);
    EXPECT_EQ(book.report.emptyPlaces[0].address, "1:2");
    EXPECT_EQ(book.files.at("index.txt"),
              "# The outline (imported by lorvan-book).\n. [large bold num=1005] דוגמה\n- [bold] פרק א'\n"
              "  > 1 משנה א'\n  > 3 משנה ב'\n  > 5 משנה ג'\n+ [bold] פרק ב'\n  > 7 משנה א'\n");
    const std::string& info = book.files.at("book.txt");
    EXPECT_TRUE(Has(info, "id: Example\ntitle: דוגמה\ntext.title: Example\ntext.heTitle: דוגמה\n"
                          "text.edition: Test Edition\ntext.source: http://example.org/t\ntext.license: CC-BY-NC\n"
                          "commentary.title: Rav on Example\n"))
        << info;
    ASSERT_EQ(book.report.warnings.size(), 1u);
    EXPECT_TRUE(Has(book.report.warnings[0], "t.json: licensed CC-BY-NC, which forbids commercial use"));

    // Every chapter one pair: its segments numbered, the comments under the
    // segment's name.
    ImportInput perChapter = Input(kText, commentary);
    perChapter.unit = kPairPerChapter;
    perChapter.unitGiven = true;
    Imported chapters = Import(perChapter);
    ASSERT_TRUE(chapters.ok) << AllErrors(chapters);
    EXPECT_EQ(chapters.report.pairs, 2);
    EXPECT_TRUE(Has(chapters.files.at("001.txt"), "[title] פרק א'\n\n[subtitle] דוגמה\n\n(א) אחת\n\n(ג) שלש\n\n"
                                                  "@commentary\n\n[title] פירוש הרב\n\n[subtitle] על פרק א'\n\n"
                                                  "[bold] משנה א'\nעל אחת\n\nועוד\n\n[bold] משנה ג'\nעל שלש\n"))
        << chapters.files.at("001.txt");
    EXPECT_TRUE(Has(chapters.files.at("index.txt"), "\n> 1 פרק א'\n> 3 פרק ב'\n"));

    // Only "NC" as a word of the licence forbids commercial use.
    std::string openText = kText;
    openText.replace(openText.find("CC-BY-NC"), 8, "Open Licence");
    EXPECT_TRUE(Import(Input(openText, commentary)).report.warnings.empty());

    // A commentary on another work is refused.
    std::string other = commentary;
    other.replace(other.find("Rav on Example"), 14, "Rav on Another");
    EXPECT_TRUE(Has(AllErrors(Import(Input(kText, other))), "c.json: comments on \"Another\", not on \"Example\""));
}

TEST(BookImport, NodesFoliosAndDepthsAreReadFromTheSchema) {
    const char complexText[] = R"({"title": "Complex", "heTitle": "מורכב", "license": "CC0", "versionTitle": "V",
        "text": {"": [["גוף"]], "Introduction": [["הקדמה"], ["שנייה"]]}})";
    Imported node = Import([&] { ImportInput in = Input(complexText); in.node = "Introduction"; return in; }());
    ASSERT_TRUE(node.ok) << AllErrors(node);
    EXPECT_EQ(node.report.pairs, 2);
    EXPECT_TRUE(Has(node.files.at("003.txt"), "שנייה"));
    Imported byDefault = Import(Input(complexText));
    ASSERT_TRUE(byDefault.ok) << AllErrors(byDefault);
    EXPECT_TRUE(Has(byDefault.files.at("001.txt"), "גוף"));
    Imported unknown = Import([&] { ImportInput in = Input(complexText); in.node = "Epilogue"; return in; }());
    EXPECT_TRUE(Has(AllErrors(unknown), "t.json: no node \"Epilogue\"; the nodes are \"\", \"Introduction\""))
        << AllErrors(unknown);

    // Leaves and sides: the first leaf is empty, as in the printed volumes.
    const char folioText[] = R"({"title": "Tractate", "heTitle": "מסכת", "license": "CC0", "versionTitle": "V",
        "text": [[], [], ["שורה ראשונה", "שורה שנייה"], ["בעמוד ב"]]})";
    ImportInput folio = Input(folioText);
    folio.schemaName = "s.json";
    folio.schema = R"({"title": "Tractate", "schema": {"nodeType": "JaggedArrayNode", "depth": 2,
        "addressTypes": ["Talmud", "Integer"], "sectionNames": ["Daf", "Line"], "heSectionNames": ["דף", "שורה"]}})";
    Imported leaves = Import(folio);
    ASSERT_TRUE(leaves.ok) << AllErrors(leaves);
    EXPECT_EQ(leaves.report.pairs, 3);
    EXPECT_TRUE(Has(leaves.files.at("001.txt"), "[title] דף ב' עמוד א' שורה א'\n"));
    EXPECT_TRUE(Has(leaves.files.at("005.txt"), "[title] דף ב' עמוד ב' שורה א'\n"));
    EXPECT_TRUE(Has(leaves.files.at("index.txt"), "- [bold] דף ב' עמוד א'\n  > 1 שורה א'\n  > 3 שורה ב'\n"
                                                  "+ [bold] דף ב' עמוד ב'\n  > 5 שורה א'\n"));

    // Depth 3 takes --per chapter; other depths are refused.
    const char deepText[] = R"({"title": "Deep", "heTitle": "עמוק", "license": "CC0", "versionTitle": "V",
        "sectionNames": ["Book", "Chapter", "Verse"], "text": [[["א", "ב"], ["ג"]], [["ד"]]]})";
    EXPECT_TRUE(Has(AllErrors(Import(Input(deepText))), "the text has depth 3"));
    ImportInput deep = Input(deepText);
    deep.unit = kPairPerChapter;
    deep.unitGiven = true;
    Imported verses = Import(deep);
    ASSERT_TRUE(verses.ok) << AllErrors(verses);
    EXPECT_EQ(verses.report.pairs, 3);
    EXPECT_TRUE(Has(verses.files.at("001.txt"), "[title] ספר א' פרק א'\n\n[subtitle] עמוק\n\n(א) א\n\n(ב) ב\n"));
    const char flatText[] = R"({"title": "Flat", "license": "CC0", "text": ["א", "ב"]})";
    EXPECT_TRUE(Has(AllErrors(Import(Input(flatText))), "the text has depth 1"));
    EXPECT_TRUE(Has(AllErrors(Import(Input("{\"title\": "))), "t.json: not a version file"));
}

TEST(BookImport, AnImportedTreeCompilesDecompilesAndCompilesToTheSameResources) {
    std::string text = R"({"title": "Round", "heTitle": "סיבוב", "versionTitle": "merged", "sectionNames": ["Chapter", "Verse"],
        "text": [[")";
    for (int i = 0; i < 30; i++)
        text += std::string(i ? "\", \"" : "") + (i % 5 == 0 ? "<b>פסוק מודגש</b>" : "פָּסוּק (א) ק״ו<br>ועוד 12.5 \\\\ [x] #@");
    text += "\"], [\"<hr>\", \"ב\"]]}";
    Imported book = Import(Input(text));
    ASSERT_TRUE(book.ok) << AllErrors(book);
    EXPECT_EQ(book.report.pairs, 32);
    ASSERT_EQ(book.report.warnings.size(), 1u);
    EXPECT_TRUE(Has(book.report.warnings[0], "merged file, which mixes editions under no licence of its own"));
    ResourceSet resources, again;
    BookDiagnostics diagnostics;
    ASSERT_TRUE(CompileBook(book.files, &resources, &diagnostics));
    SourceFiles decompiled;
    std::string error;
    ASSERT_TRUE(DecompileBook(resources, &decompiled, &error)) << error;
    ASSERT_TRUE(CompileBook(decompiled, &again, &diagnostics)) << FormatDiagnostic(diagnostics[0]);
    EXPECT_TRUE(again == resources);
    EXPECT_EQ(decompiled.at("book.txt").find("id: Round\ntitle: סיבוב\n") != std::string::npos, true);
}
