// Copy and Append: the copy text of a section, and what the real clipboard
// holds afterwards with either family of letter bases.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/commands.h"
#include "clipboard/clipboard_writer.h"
#include "clipboard/copy_text.h"
#include "clipboard/rtf_document.h"
#include "pane_test_support.h"
#include "reader_test_support.h"

namespace {

const std::string kGroup = "\\par\\par\r\n";  // what a run of line ends becomes
const std::string kRtfEnd = kGroup + "}\r\n";   // a body's last group, then the document's end
const std::string kSeparator = "\\qc\\cf2\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\fs20\\cf0\r\n";

// What one format of the clipboard holds; `present` false when it has none.
struct ClipboardForm {
    bool present = false;
    std::string bytes;
};

ClipboardForm ReadForm(UINT format) {
    ClipboardForm form;
    if (!OpenClipboard(nullptr)) return form;
    HANDLE data = GetClipboardData(format);
    const char* locked = data ? (const char*)GlobalLock(data) : nullptr;
    if (locked) {
        form.present = true;
        form.bytes.assign(locked, GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return form;
}

// The clipboard's Unicode text up to its terminator, or "<none>".
std::wstring ClipboardText() {
    ClipboardForm form = ReadForm(CF_UNICODETEXT);
    if (!form.present) return L"<none>";
    std::wstring text((const wchar_t*)form.bytes.data(), form.bytes.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

std::string ClipboardRtf() {
    ClipboardForm form = ReadForm(RichTextFormat());
    if (!form.present) return "<none>";
    return form.bytes.substr(0, form.bytes.find('\0'));
}

class CopyTest : public PaneTest {
protected:
    HWND owner = nullptr;

    void SetUp() override {
        PaneTest::SetUp();
        gApp.mainPane = nullptr;
        gSplit.bottomPane = nullptr;
        gSplit.activePane = nullptr;
        owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        gApp.mainWindow = owner;
    }
    void TearDown() override {
        gSplit.activePane = nullptr;
        DestroyWindow(owner);
        PaneTest::TearDown();
    }
    // A pane that holds `section` as its text, and nothing laid out.
    TextPane* PaneWith(const SectionBuilder& section) {
        TextPane* made = CreateTextPane(canvas.dc, nullptr, &gApp.font, 0);
        made->text = section.Take();
        return made;
    }
    std::wstring CopyText(const SectionBuilder& section) {
        uint8_t* text = section.Take();
        CopyTextCounts counts;
        MeasureCopyText(text, &counts);
        std::wstring out(CopyTextBufferChars(&counts), L'#');
        EXPECT_EQ(BuildCopyText(text, &out[0], out.size() * sizeof(wchar_t)), kCopyTextBuilt);
        PlatformFree(text);
        return out.substr(0, out.find(L'\0'));
    }
};

TEST_F(CopyTest, RecordsBecomeLinesWithIndentsRulesAndBlankLines) {
    UseFont(kMonoFace, 16, kLetterBaseAscii);
    SectionBuilder section;
    section.Add(0x81, 0, "ab");
    section.Add(0x01, 0x45, "c{~");  // hanging code 1, indent 5
    section.Add(0x07, 200, "skipped");
    section.Add(0x07, 0, "");
    section.Add(0x87, 161, "");
    section.Add(0x01, 0x3F, "");
    EXPECT_EQ(CopyText(section), L"ab\r\n\r\nc{{     \r\n" + std::wstring(80, L'-') + L"\r\n\r\n--\r\n\r\n" +
                                     std::wstring(63, L' ') + L"\r\n");

    // The measured buffer is tight enough to matter: one character less is
    // refused without a write past its end.
    SectionBuilder full;
    full.Add(0x01, 0, "abc");  // 3 + 2 + 1 characters
    uint8_t* text = full.Take();
    wchar_t buffer[6] = {L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(BuildCopyText(text, buffer, 5 * sizeof(wchar_t) + 1), kCopyTextFull);
    EXPECT_EQ(buffer[5], L'#');
    EXPECT_EQ(BuildCopyText(text, buffer, 6 * sizeof(wchar_t)), kCopyTextBuilt);
    EXPECT_EQ(std::wstring(buffer), L"abc\r\n");
    PlatformFree(text);
}

TEST_F(CopyTest, MirroringFollowsTheLetterBaseAndReverse) {
    SectionBuilder section;
    section.Add(0x01, 0, "(ab]");
    struct Case {
        int letterBase;
        bool reverse;
        const wchar_t* expected;
    } cases[] = {
        {kLetterBaseAscii, false, L"(ab]\r\n"},
        {kLetterBaseAscii, true, L"(ab]\r\n"},
        {kLetterBaseCodePage, false, L"(\u00E0\u00E1]\r\n"},
        {kLetterBaseCodePage, true, L"[\u00E1\u00E0)\r\n"},
        {kLetterBaseUnicode, false, L"[\u05D1\u05D0)\r\n"},
        {kLetterBaseUnicode, true, L"(\u05D0\u05D1]\r\n"},
    };
    TextPane* copied = PaneWith(section);
    for (const Case& c : cases) {
        UseFont(kMonoFace, 16, c.letterBase);
        uint32_t flags = kFlagsDefault | (c.reverse ? kFlagReverse : 0);
        gApp.flags = flags;
        CopyPaneText(copied, 0);
        EXPECT_EQ(ClipboardText(), c.expected) << c.letterBase << " " << c.reverse;
        EXPECT_EQ(gApp.flags, flags);
    }
    DestroyTextPane(copied);
}

TEST_F(CopyTest, UnicodeLettersGiveRichTextBesideTheText) {
    UseFont(kMonoFace, 16, kLetterBaseUnicode);
    SectionBuilder first, second;
    first.Add(0x81, 0, "ab 5");
    second.Add(0x01, 0, "c");
    TextPane* mainPane = PaneWith(first);
    TextPane* bottomPane = PaneWith(second);
    gApp.mainPane = mainPane;

    // No active pane: the main pane is copied.
    EXPECT_EQ(DispatchCommand(owner, 40007), 0);
    const std::string firstBody = "5 \\u1489\\u1488" + kGroup;
    EXPECT_EQ(ClipboardRtf(), kRtfHeader + firstBody + kRtfEnd);
    EXPECT_EQ(ReadForm(RichTextFormat()).bytes.size(), ClipboardRtf().size() + 1) << "spare bytes in the block";
    EXPECT_EQ(ClipboardText(), L"5 \u05D1\u05D0\r\n\r\n");

    gSplit.activePane = bottomPane;
    EXPECT_EQ(DispatchCommand(owner, 40009), 0);
    EXPECT_EQ(ClipboardRtf(), kRtfHeader + firstBody + kGroup + kSeparator + "\\u1490" + kGroup + kRtfEnd);
    EXPECT_EQ(ClipboardText(), L"5 \u05D1\u05D0\r\n\r\n\u05D2\r\n");

    gApp.mainPane = nullptr;
    DestroyTextPane(mainPane);
    DestroyTextPane(bottomPane);
}

// Another program's plain text alone, or beside data that is no Rich Text:
// the Rich Text starts with that text too, so a paste of either form holds it.
TEST_F(CopyTest, AppendAfterPlainTextAloneKeepsBothFormsAlike) {
    UseFont(kMonoFace, 16, kLetterBaseUnicode);
    SectionBuilder section;
    section.Add(0x01, 0, "c");
    TextPane* copied = PaneWith(section);
    const std::string oldBody = "a \\{x\\}\\u1488 5" + kGroup + kGroup;
    const std::string expectedRtf = kRtfHeader + oldBody + kSeparator + "\\u1490" + kGroup + kRtfEnd;
    ASSERT_TRUE(PutClipboard({{CF_UNICODETEXT, WideBytes(L"a {x}\u05D05\r\n")}}));
    CopyPaneText(copied, 1);
    EXPECT_EQ(ClipboardRtf(), expectedRtf);
    EXPECT_EQ(ClipboardText(), L"a {x}\u05D05\r\n\u05D2\r\n");

    ASSERT_TRUE(PutClipboard({{RichTextFormat(), "plain words}"}, {CF_UNICODETEXT, WideBytes(L"a {x}\u05D05\r\n")}}));
    CopyPaneText(copied, 1);
    EXPECT_EQ(ClipboardRtf(), expectedRtf);
    DestroyTextPane(copied);
}

TEST_F(CopyTest, OtherProgramsDataIsReadWithinItsBlock) {
    // Neither form ends in a terminator: the copy must stop at the block's end.
    ASSERT_TRUE(PutClipboard({{RichTextFormat(), "{\\rtf1 old}"},
                             {CF_UNICODETEXT, std::string((const char*)L"old", 6)}}));
    uint32_t byteCount = 0;
    uint8_t* rtf = ReadClipboardData(&byteCount, RichTextFormat());
    ASSERT_NE(rtf, nullptr);
    EXPECT_EQ(std::string((const char*)rtf), "{\\rtf1 old}");
    EXPECT_EQ(byteCount, 11u);
    PlatformFree(rtf);
    uint8_t* text = ReadClipboardData(&byteCount, 0);
    ASSERT_NE(text, nullptr);
    // Wine may end a text format itself; either way the copy stays inside the block.
    std::wstring oldText((const wchar_t*)text);
    EXPECT_EQ(oldText.size() * sizeof(wchar_t), byteCount);
    EXPECT_LE(byteCount, 6u);
    EXPECT_EQ(std::wstring(L"old").substr(0, oldText.size()), oldText);
    PlatformFree(text);

    UseFont(kMonoFace, 16, kLetterBaseUnicode);
    SectionBuilder section;
    section.Add(0x01, 0, "a");
    TextPane* copied = PaneWith(section);
    CopyPaneText(copied, 1);
    // Another program's document: the new part brings its own state and colour.
    EXPECT_EQ(ClipboardRtf(), "{\\rtf1 {\\colortbl;\\red255\\green0\\blue0;}old"
                              "{\\par\\pard\\plain\\rtlpar\\qc\\uc0\\cf1\\fs72\\b*  *  *  *  *\\b0\\par\\par"
                              "\\qr\\plain\\uc0\\fs20\r\n\\u1488" +
                                  kGroup + kGroup + "}}\r\n");
    EXPECT_EQ(ClipboardText(), oldText + L"\u05D0\r\n");
    DestroyTextPane(copied);
}

// Fails the n-th allocation of a Copy or Append for every n in turn, with
// our Rich Text beside the old text and with the old text alone: the
// clipboard is left unchanged, empty or complete, never with part of a text,
// the flags word is always put back, and running out of memory ends the
// program in order.
TEST_F(CopyTest, FailedAllocationsNeverLeavePartOfATextOnTheClipboard) {
    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    SectionBuilder section;
    section.Add(0x81, 0, "ab");
    TextPane* copied = PaneWith(section);
    const std::string oldBody = "old" + kGroup;
    const std::string body = "\\u1489\\u1488" + kGroup + kRtfEnd;
    for (bool oldRichText : {true, false}) {
        const std::string oldRtf = oldRichText ? kRtfHeader + oldBody + "}\r\n" : "<none>";
        for (int letterBase : {kLetterBaseAscii, kLetterBaseUnicode}) {
            UseFont(kMonoFace, 16, letterBase);
            bool unicode = letterBase == kLetterBaseUnicode;
            std::wstring letters = unicode ? L"\u05D1\u05D0\r\n\r\n" : L"ab\r\n\r\n";
            for (int append = 0; append <= 1; append++) {
                std::wstring fullText = (append ? L"old" : L"") + letters;
                std::string fullRtf = kRtfHeader + (append ? oldBody + kSeparator : "") + body;
                bool completed = false;
                for (int allowed = 0; !completed && allowed < 20; allowed++) {
                    if (oldRichText) {
                        ASSERT_TRUE(PutClipboard({{RichTextFormat(), oldRtf}, {CF_UNICODETEXT, WideBytes(L"old")}}));
                    } else {
                        ASSERT_TRUE(PutClipboard({{CF_UNICODETEXT, WideBytes(L"old")}}));
                    }
                    ReleaseTextBuffers();
                    ResetSettingsSaved();
                    boxes.shown.clear();
                    gApp.flags = kFlagsDefault;
                    FailAllocationsAfter(allowed);
                    CopyPaneText(copied, append);
                    FailAllocationsAfter(-1);
                    SCOPED_TRACE(testing::Message() << oldRichText << " " << letterBase << " append " << append
                                                    << " after " << allowed);
                    EXPECT_EQ(gApp.flags, kFlagsDefault);
                    EXPECT_EQ(TakeQuitMessage(), !boxes.shown.empty());

                    std::wstring text = ClipboardText();
                    std::string rtf = ClipboardRtf();
                    bool unchanged = text == L"old" && rtf == oldRtf;
                    bool empty = text == L"<none>" && rtf == "<none>";
                    completed = text == fullText && rtf == (unicode ? fullRtf : "<none>");
                    EXPECT_TRUE(unchanged || empty || completed) << "text " << text.size() << " rtf " << rtf;
                }
                EXPECT_TRUE(completed);
            }
        }
    }
    DestroyTextPane(copied);
}

}  // namespace
