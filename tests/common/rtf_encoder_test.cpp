// The Rich Text encoder and the assembly of new and appended documents.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "clipboard/rtf_document.h"
#include "clipboard/rtf_encoder.h"
#include "platform/services.h"

namespace {

// The body of `text`; also checks that the counting pass covers the writing pass.
std::string Encode(const std::u16string& text) {
    size_t counted = EncodeRtf(text.c_str(), nullptr);
    std::string out(counted + 16, '#');
    size_t written = EncodeRtf(text.c_str(), &out[0]);
    EXPECT_LE(written, counted);
    EXPECT_EQ(out[written], '#') << "wrote past what it reported";
    out.resize(written);
    return out;
}

const std::string kEnd = "\\par\\par\r\n";  // closes every body

std::string Document(const RtfAppendBase& base, const std::string& body) {
    // Sized exactly: the terminator is the last byte.
    std::string out(RtfDocumentBytes(base, body.size()), '#');
    size_t written = WriteRtfDocument(&out[0], base, body.data(), body.size());
    EXPECT_EQ(written + 1, out.size());
    EXPECT_EQ(out.back(), '\0');
    out.resize(written);
    return out;
}

// `body` appended to the clipboard's old Rich Text `old`.
std::string Appended(const std::string& old, const std::string& body) {
    return Document(RtfBaseFromDocument(old.data(), old.size()), body);
}

const std::string kSeparator = "\\qc\\cf2\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\fs20\\cf0\r\n";

// What opens the new part after another program's document, the separator's
// colour being entry `color` of its table.
std::string ForeignOpening(int color) {
    return "{\\pard\\plain\\rtlpar\\qc\\uc0\\cf" + std::to_string(color) +
           "\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\plain\\uc0\\fs20\r\n";
}
const std::string kRed = "\\red255\\green0\\blue0;";

TEST(RtfEncoder, HebrewSpacesAndLineEnds) {
    EXPECT_EQ(Encode(u"\u05D0\u05D1 \u05D2\r\n"), "\\u1488\\u1489  \\u1490\\par\\par\r\n" + kEnd);
    // The first space after an escape is its delimiter; elsewhere a space is a space.
    EXPECT_EQ(Encode(u"\u05D0   \u05D1"), "\\u1488    \\u1489" + kEnd);
    EXPECT_EQ(Encode(u"a, b  c"), "a, b  c" + kEnd);
    EXPECT_EQ(Encode(u"  a"), "  a" + kEnd);
    EXPECT_EQ(Encode(u"\u05D0\r\n  x"), "\\u1488\\par\\par\r\n  x" + kEnd);
    // One line end and a blank line both make one group.
    EXPECT_EQ(Encode(u"a\r\nb\r\n\r\nc\n\rd\r"),
              "a\\par\\par\r\nb\\par\\par\r\nc\\par\\par\r\nd\\par\\par\r\n" + kEnd);
    EXPECT_EQ(Encode(u""), kEnd);
}

TEST(RtfEncoder, EscapesSpecialsAndDigits) {
    EXPECT_EQ(Encode(u"\\{x}"), "\\\\\\{x\\}" + kEnd);
    EXPECT_EQ(Encode(u"\u05D05"), "\\u1488 5" + kEnd);
    EXPECT_EQ(Encode(u"a5\u05D0-9"), "a5\\u1488-9" + kEnd);
    EXPECT_EQ(Encode(u"\t\u00E0\u007F\u0001"), "\\u9\\u224\\u127\\u1" + kEnd);
    EXPECT_EQ(Encode(u"\u05EA\uFB37\uFFFF"), "\\u1514\\u64311\\u65535" + kEnd);
    EXPECT_EQ(Encode(u"\uFB2C\uFB4B7"), "\\u1513\\u1468\\u1473\\u1493\\u1465 7" + kEnd);
}

TEST(RtfEncoder, DecompositionTableCoversThePresentationForms) {
    int entries = 0;
    for (unsigned c = 0; c <= 0xFFFF; c++) {
        const Decomposition* found = FindDecomposition((char16_t)c);
        if (!found) continue;
        entries++;
        EXPECT_EQ(found->key, c);
        EXPECT_GE(c, 0xFB2Au);
        EXPECT_LE(c, 0xFB4Bu);
        // Every form starts from a letter and adds one or two points.
        EXPECT_GE(found->replacement[0], 0x05D0);
        EXPECT_LE(found->replacement[0], 0x05EA);
        EXPECT_GE(found->replacement[1], 0x05B0);
        EXPECT_LE(found->replacement[1], 0x05C7);
    }
    EXPECT_EQ(entries, 27);
    EXPECT_EQ(FindDecomposition(0xFB41)->replacement[0], 0x05E1);
    EXPECT_EQ(FindDecomposition(0xFB2B)->replacement[1], 0x05C2);
    EXPECT_EQ(FindDecomposition(0xFB4B)->replacement[1], 0x05B9);
    EXPECT_EQ(FindDecomposition(0xFB2D)->replacement[2], 0x05C2);
    EXPECT_EQ(FindDecomposition(0xFB33)->replacement[2], 0);
}

TEST(RtfDocument, NewDocument) {
    std::string body = Encode(u"\u05D0\u05D1 \u05D2\r\n");
    std::string expected =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset177\\cpg1255 David;}}{\\colortbl\\red0\\green0"
        "\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;}\\rtldoc\\pard\\rtlpar\\qr"
        "\\lang1033\\f0\\fs20\\uc0\r\n"
        "\\u1488\\u1489  \\u1490\\par\\par\r\n\\par\\par\r\n}\r\n";
    EXPECT_EQ(Appended("", body), expected);
    // Data that does not begin as Rich Text does is none at all.
    EXPECT_EQ(Appended("plain words}", body), expected);
    EXPECT_EQ(Appended(" {\\rtf1 x}", body), expected);
    EXPECT_EQ(Appended("{\\rt", body), expected);
}

TEST(RtfDocument, AppendToOursTrimsItAndAddsTheSeparator) {
    std::string ours = kRtfHeader + std::string("\\u1488\\par\\par\r\n}\r\n \t");
    EXPECT_EQ(Appended(ours, "B"), kRtfHeader + std::string("\\u1488\\par\\par\r\n") + kSeparator + "B}\r\n");
    // Only one closing brace goes, and only at the very end.
    EXPECT_EQ(TrimRtfForAppend("{a}}\t", 5), 3u);
    EXPECT_EQ(TrimRtfForAppend("{a} x", 5), 5u);
    EXPECT_EQ(TrimRtfForAppend(" \r\n\t", 4), 0u);
    EXPECT_EQ(TrimRtfForAppend("}", 1), 0u);
    // Plain text found alone comes first, encoded as a body is.
    std::string oldBody = Encode(u"a \u05D0");
    EXPECT_EQ(Document(RtfBaseFromTextBody(oldBody.data(), oldBody.size()), "B"),
              kRtfHeader + std::string("a \\u1488\\par\\par\r\n") + kSeparator + "B}\r\n");
}

// A word processor's document leaves \uc1, a left-aligned left-to-right
// paragraph and its own colour 2 in force: the new part sets its own.
TEST(RtfDocument, AppendToAnotherProgramsDocumentInAGroupOfItsOwn) {
    const std::string start =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}}{\\colortbl;\\red0\\green0\\blue0;\\red0\\green128\\blue0;";
    const std::string text = "}\r\n\\pard\\ltrpar\\ql\\cf2 a\\u1488?\\par\r\n";
    EXPECT_EQ(Appended(start + text + "}\r\n", "B"), start + kRed + text + ForeignOpening(3) + "B}}\r\n");
}

TEST(RtfDocument, AnotherProgramsDocumentIsContinuedWhereItCanBe) {
    struct Case {
        const char* old;
        const char* expected;  // before the opening of the new part, which gets `color`
        int color;
    } cases[] = {
        // No colour table: one is added after the version word. Text that no
        // paragraph mark ends keeps its own paragraph.
        {"{\\rtf1 abc}", "{\\rtf1 {\\colortbl;%RED%}abc{\\par", 1},
        {"{\\rtf1\\ansi x\\par}", "{\\rtf1{\\colortbl;%RED%}\\ansi x\\par{", 1},
        // The table's last entry without its ";".
        {"{\\rtf1{\\colortbl\\red1\\green2\\blue3}\\par}", "{\\rtf1{\\colortbl\\red1\\green2\\blue3;%RED%}\\par{", 1},
        {"{\\rtf1{\\colortbl;;}\\par}", "{\\rtf1{\\colortbl;;%RED%}\\par{", 2},
        // Groups that hold no text, and a backslash before a line end, which
        // is a paragraph mark.
        {"{\\rtf1 a\\par{\\*\\themedata 41}{\\info{\\title t}}}",
         "{\\rtf1 {\\colortbl;%RED%}a\\par{\\*\\themedata 41}{\\info{\\title t}}{", 1},
        {"{\\rtf1 a\\\n}", "{\\rtf1 {\\colortbl;%RED%}a\\\n{", 1},
        // Only the first table counts; braces in binary data are data.
        {"{\\rtf1{\\colortbl;}{\\colortbl;;}{\\pict\\bin3 }{}}}",
         "{\\rtf1{\\colortbl;%RED%}{\\colortbl;;}{\\pict\\bin3 }{}}{", 1},
        // Open groups are closed; what follows the document's end is dropped.
        {"{\\rtf1 {\\b bold", "{\\rtf1 {\\colortbl;%RED%}{\\b bold}{\\par", 1},
        {"{\\rtf1 a\\par}}x{", "{\\rtf1 {\\colortbl;%RED%}a\\par{", 1},
        // Cut where what follows would swallow the new part.
        {"{\\rtf1 a\\par\\bin9 {}", "{\\rtf1 {\\colortbl;%RED%}a\\par{", 1},
        {"{\\rtf1 a\\par\\'4", "{\\rtf1 {\\colortbl;%RED%}a\\par{", 1},
        {"{\\rtf1 a\\par\\", "{\\rtf1 {\\colortbl;%RED%}a\\par{", 1},
        {"{\\rtf", "{\\rtf{\\colortbl;%RED%}{", 1},
    };
    for (const Case& c : cases) {
        std::string expected = c.expected;
        expected.replace(expected.find("%RED%"), 5, kRed);
        std::string opening = ForeignOpening(c.color);
        expected += opening.substr(1) + "B}}\r\n";
        std::string document = Appended(c.old, "B");
        EXPECT_EQ(document, expected) << c.old;
        // The result is one whole group, closed by its last brace.
        ForeignRtf again = ScanForeignRtf(document.data(), document.size());
        EXPECT_EQ(again.keptBytes, document.size() - 3) << c.old;
        EXPECT_EQ(again.openGroups, 1u) << c.old;
    }
}

TEST(RtfEncoder, BuildRtfBodyCountsOnceAndTerminates) {
    size_t byteCount = 99;
    char* body = BuildRtfBody(u"\u05D0 1", PlatformAlloc, &byteCount);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::string(body), "\\u1488  1" + kEnd);
    EXPECT_EQ(byteCount, strlen(body));
    PlatformFree(body);
    FailAllocationsAfter(0);
    EXPECT_EQ(BuildRtfBody(u"x", PlatformAlloc, &byteCount), nullptr);
    FailAllocationsAfter(-1);
    EXPECT_EQ(byteCount, 0u);
}

}  // namespace
