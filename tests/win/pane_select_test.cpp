// Selecting in a pane: the screen mapped to the text and back on every line
// of hanging and reversed paragraphs, a selection in reading order across
// reversed paragraphs with what Copy makes of it, and its drawing.
#include "app/context_menu.h"
#include "clipboard/copy_text.h"
#include "content/section_heading.h"
#include "tests/win/pane_test_support.h"
#include "tests/win/reader_test_support.h"

namespace {

const uint8_t kPlainHanging = 0x81;     // left-aligned, stored in line order, paragraph end
const uint8_t kReversedRight = 0xB0;    // reversed, right-aligned, paragraph end
const uint8_t kHangCode1 = 0x40;
const uint8_t kHangCode2 = 0x80;

class SelectTest : public PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        gApp.lesson = 7;
        gSplit.bottomPane = nullptr;
    }
    // The stored offset of reading character `readingIndex` of a reversed
    // paragraph whose text starts at `textOffset`.
    static uint16_t ReadAt(uint16_t textOffset, const std::wstring& reading, int readingIndex) {
        return (uint16_t)(textOffset + reading.size() - 1 - readingIndex);
    }
    std::wstring SelectionText() {
        std::vector<wchar_t> buffer(SelectionTextBufferChars(pane));
        uint32_t saved = gApp.flags;
        if (gApp.font.letterBase == kLetterBaseUnicode) gApp.flags ^= kFlagReverse;  // as Copy does
        int built = BuildSelectionText(pane, buffer.data(), buffer.size() * sizeof(wchar_t));
        gApp.flags = saved;
        return built == kCopyTextBuilt ? std::wstring(buffer.data()) : L"<failed>";
    }
};

}  // namespace

TEST_F(SelectTest, EveryLineOfHangingAndReversedParagraphsIsSelectedByItsEnds) {
    MakePane(10, 5, 230, 460);
    SectionBuilder section;
    section.Add(kPlainHanging, kHangCode1, "abc defg hij klmno pqr stu vwxyz abc def ghij kl mnop");
    section.Add(kReversedRight, kHangCode2 | 6,
                DrawingOrder(L"מתני' ביכורים אמרו אחר בשדה שנים שאם בשדה מציאה שלשה בשלש חנם השוכר"));
    section.Add(kReversedRight & ~kFlagParagraphEnd, 4, DrawingOrder(L"הנר ודברים לפיכך המים ושכור המים ובשנים"));
    ASSERT_EQ(Layout(section), kLayoutDone);
    bool plainHangs = false, reversedHangs = false;
    for (int i = 0; i < pane->lineCount; i++) {
        const TextLine& line = Line(i);
        plainHangs |= line.hangWidth && !(line.flags & kFlagReversed);
        reversedHangs |= line.hangWidth && (line.flags & kFlagReversed);
        EXPECT_EQ(SelectLineByItsEnds(pane, line), "") << "line " << i;
    }
    EXPECT_TRUE(plainHangs && reversedHangs);
    EXPECT_GT(pane->lineCount, 6);

    // Beside a line, above the text and in a blank row the nearest character is taken.
    uint16_t offset = 0;
    const TextLine& first = Line(0);
    ASSERT_TRUE(CharacterAtPoint(pane, pane->left + pane->width + 50, pane->top - 40, &offset));
    EXPECT_EQ(offset, first.offset + first.length - 1);
    int blankRowY = pane->top;
    for (int i = 0; !(Line(i).flags & kFlagParagraphEnd); i++) blankRowY += Line(i + 1).height;
    ASSERT_TRUE(CharacterAtPoint(pane, -100, blankRowY + first.height + 2, &offset));
    EXPECT_LT(offset, Line(1).offset + Line(1).length);  // still the first paragraph
}

TEST_F(SelectTest, ReadingOrderRunsBackwardsThroughReversedParagraphsAndCopiesWithItsSource) {
    MakePane(10, 5, 400, 400);
    const std::wstring first = L"אב גד הו זח";
    const std::wstring second = L"טי כל מנ סע";
    SectionBuilder section;
    section.Add(kTitleFlags, 0, DrawingOrder(L"סימן ב'"));
    section.Add(kSubtitleFlags, 0, DrawingOrder(L"פרק א'"));
    uint16_t firstAt = section.Add(kReversedRight, 0, DrawingOrder(first));
    section.Add(0xC7, 0, "");  // a rule of no length: no row, no line of the copy
    uint16_t secondAt = section.Add(kReversedRight & ~kFlagParagraphEnd, 0, DrawingOrder(second));
    ASSERT_EQ(Layout(section), kLayoutDone);

    // From the space before "גד" to the end of "כל", as read; dragged either way.
    uint16_t anchor = ReadAt(firstAt, first, 2);
    uint16_t focus = ReadAt(secondAt, second, 4);
    for (int backwards = 0; backwards < 2; backwards++) {
        SelectCharacters(pane, backwards ? focus : anchor, backwards ? anchor : focus);
        SelectedStretches selected = ResolveSelection(pane);
        TextStretch inFirst = SelectedPart(selected, firstAt, firstAt + (int)first.size());
        TextStretch inSecond = SelectedPart(selected, secondAt, secondAt + (int)second.size());
        EXPECT_EQ(inFirst.start, firstAt);
        EXPECT_EQ(inFirst.end, anchor + 1);
        EXPECT_EQ(inSecond.start, focus);
        EXPECT_EQ(inSecond.end, secondAt + second.size());
        EXPECT_EQ(SelectionText(), L"גד הו זח\r\n\r\nטי כל\r\nסימן ב', פרק א'\r\n");
    }

    // Letters copied as the screen shows them keep the drawing order.
    UseFont(kMonoFace, 16, kLetterBaseAscii);
    EXPECT_EQ(SelectionText(), L"hg fe dc\r\n\r\nml ji\r\n'a xyu ,'b pojr\r\n");

    // A paragraph selected whole, then the section without titles: its number.
    ASSERT_TRUE(SelectParagraphAt(pane, secondAt));
    UseFont(kMonoFace, 16, kLetterBaseUnicode);
    EXPECT_EQ(SelectionText(), second + L"\r\nסימן ב', פרק א'\r\n");
    SectionBuilder untitled;
    untitled.Add(kReversedRight, 0, DrawingOrder(first));
    ASSERT_EQ(Layout(untitled), kLayoutDone);
    EXPECT_FALSE(HasSelection(pane));  // a new text drops it
    ASSERT_TRUE(SelectAllText(pane));
    EXPECT_EQ(SelectionText(), first + L"\r\n4\r\n");  // section 7 is the fourth pair
}

// The heading of a field of the screen (the status line, Find All's rows):
// drawn in stored order, cut at a word so that it fits, keeping the words a
// reader meets first, which stand at its right.
TEST_F(SelectTest, AHeadingCutToFitKeepsTheWordsReadFirst) {
    MakePane(10, 5, 400, 400);
    const std::wstring title = L"סימן יב גדול מאד ארוך מן השורה הזאת";
    SectionBuilder section;
    section.Add(kTitleFlags, 0, DrawingOrder(title));
    section.Add(kReversedRight, 0, DrawingOrder(L"אב גד"));
    ASSERT_EQ(Layout(section), kLayoutDone);
    wchar_t shown[kSectionHeadingChars];
    int length = ShownSectionHeading(pane->text, 7, shown, kSectionHeadingChars);
    const std::wstring whole(shown, (size_t)length);
    EXPECT_EQ(whole, std::wstring(title.rbegin(), title.rend()));
    int wholePx = TextWidthPx(pane->dc, shown, length, nullptr);
    for (int widthPx : {wholePx, wholePx * 2 / 3, wholePx / 3}) {
        int count = FittedSectionHeading(pane->dc, pane->text, 7, widthPx, shown, kSectionHeadingChars);
        const std::wstring cut(shown, (size_t)count);
        EXPECT_LE(TextWidthPx(pane->dc, shown, count, nullptr), widthPx);
        if (widthPx == wholePx) {
            EXPECT_EQ(cut, whole);
            continue;
        }
        ASSERT_GE(count, 2);
        EXPECT_EQ(cut[0], L'\x2026') << "the mark of the cut stands where reading stops";
        const std::wstring kept = cut.substr(1);
        ASSERT_LT(kept.size(), whole.size());
        EXPECT_EQ(whole.substr(whole.size() - kept.size()), kept);
        EXPECT_EQ(whole[whole.size() - kept.size() - 1], L' ') << "cut between words";
    }
}

TEST_F(SelectTest, SelectionIsDrawnOnExactlyItsCharactersInEitherMode) {
    MakePane(10, 5, 300, 200);
    const std::wstring reading = L"ביכורים אמרו אחר בשדה שנים שאם בשדה";
    SectionBuilder section;
    uint16_t at = section.Add(kReversedRight, 0, DrawingOrder(reading));
    ASSERT_EQ(Layout(section), kLayoutDone);
    for (bool reverse : {false, true}) {
        gApp.flags = reverse ? (kFlagsDefault | kFlagReverse) : kFlagsDefault;
        ASSERT_TRUE(SelectWordAt(pane, ReadAt(at, reading, 9)));  // "אמרו"
        RECT word = {0x7FFF, 0x7FFF, -1, -1};
        for (int i = 8; i <= 11; i++) {
            RECT box;
            uint16_t offset = ReadAt(at, reading, i);
            ASSERT_TRUE(CharacterBox(pane, offset, &box));
            uint16_t hit = 0;
            ASSERT_TRUE(CharacterAtPoint(pane, (box.left + box.right) / 2, box.top + 2, &hit));
            EXPECT_EQ(hit, offset) << "reverse " << reverse;
            UnionRect(&word, &word, &box);
        }
        canvas.Clear(0xFFFFFF);
        ASSERT_EQ(PaintPane(pane, 1), 0);
        COLORREF back = SelectionBackColour();
        int inside = canvas.Count(word.left, word.top, word.right, word.bottom, back);
        int everywhere = canvas.Count(0, 0, canvas.widthPx, canvas.heightPx, back);
        EXPECT_GT(inside, (word.right - word.left) * (word.bottom - word.top) / 3) << "reverse " << reverse;
        EXPECT_EQ(everywhere, inside) << "reverse " << reverse;
    }
}

TEST_F(SelectTest, CopyOfASelectionLeavesNothingBehindWhenMemoryRunsOut) {
    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    gApp.mainWindow = owner;
    MakePane(10, 5, 400, 200);
    SectionBuilder section;
    section.Add(kTitleFlags, 0, DrawingOrder(L"סימן ב'"));
    section.Add(kReversedRight, 0, DrawingOrder(L"אב גד הו זח"));
    ASSERT_EQ(Layout(section), kLayoutDone);
    ASSERT_TRUE(SelectAllText(pane));
    const std::wstring whole = L"סימן ב'\r\n\r\nאב גד הו זח\r\nסימן ב'\r\n";
    bool completed = false;
    for (int allowed = 0; !completed && allowed < 20; allowed++) {
        ASSERT_TRUE(PutClipboard({{CF_UNICODETEXT, WideBytes(L"old")}}));
        ReleaseTextBuffers();
        ResetSettingsSaved();
        size_t heapBefore = HeapBytesInUse();
        FailAllocationsAfter(allowed);
        CopySelectionText(pane, 0);
        FailAllocationsAfter(-1);
        ReleaseTextBuffers();
        TakeQuitMessage();
        boxes.shown.clear();
        boxes.shown.shrink_to_fit();  // the catcher's own memory
        EXPECT_EQ(HeapBytesInUse(), heapBefore) << "after " << allowed;
        EXPECT_EQ(gApp.flags, kFlagsDefault);
        std::wstring text = ClipboardUnicodeText();
        completed = text == whole;
        EXPECT_TRUE(completed || text == L"old" || text == L"<none>") << "after " << allowed;
    }
    EXPECT_TRUE(completed);
    DestroyWindow(owner);
    gApp.mainWindow = nullptr;
}

// What the panes' menu searches for: the selection when it lies in one
// paragraph and fits the search, else the word under the pointer.
TEST_F(SelectTest, SearchTakesTheSelectedWordsOrTheWordClicked) {
    MakePane(10, 5, 400, 200);
    SectionBuilder section;
    uint16_t firstAt = section.Add(kReversedRight, 0, "hg fe, dc");
    uint16_t secondAt = section.Add(kReversedRight, 0, "ba");
    ASSERT_EQ(Layout(section), kLayoutDone);
    uint8_t codes[33];
    RECT box;
    ASSERT_TRUE(CharacterBox(pane, firstAt + 4, &box));  // the "f" of "fe,"
    POINT onFe = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    EXPECT_EQ(SearchCodesOfPane(pane, nullptr, codes, 33), 0);
    ASSERT_EQ(SearchCodesOfPane(pane, &onFe, codes, 33), 2);
    EXPECT_EQ(memcmp(codes, "fe", 2), 0);
    SelectCharacters(pane, firstAt + 2, firstAt);  // " hg" as read: the space is left out
    ASSERT_EQ(SearchCodesOfPane(pane, nullptr, codes, 33), 2);
    EXPECT_EQ(memcmp(codes, "hg", 2), 0);
    EXPECT_EQ(SearchCodesOfPane(pane, &onFe, codes, 1), 0);  // too long either way
    SelectCharacters(pane, firstAt, secondAt);  // two paragraphs: the word clicked
    ASSERT_EQ(SearchCodesOfPane(pane, &onFe, codes, 33), 2);
    EXPECT_EQ(memcmp(codes, "fe", 2), 0);
}

TEST(SelectWords, PunctuationAtTheEndsIsNoPartOfAWord) {
    const char text[] = "\x21\x00(abc. d'ef \"gh\" ,\x00\x00\x00";  // one record, its text at 2
    uint16_t first = 0, last = 0;
    ASSERT_TRUE(WordAt((const uint8_t*)text, 3, &first, &last));
    EXPECT_EQ(first, 3);
    EXPECT_EQ(last, 5);  // "abc" without "(" and "."
    ASSERT_TRUE(WordAt((const uint8_t*)text, 9, &first, &last));
    EXPECT_EQ(first, 8);
    EXPECT_EQ(last, 11);  // "d'ef" keeps its apostrophe
    ASSERT_TRUE(WordAt((const uint8_t*)text, 13, &first, &last));
    EXPECT_EQ(first, 14);
    EXPECT_EQ(last, 15);  // "gh" out of its quotes
    ASSERT_TRUE(WordAt((const uint8_t*)text, 18, &first, &last));
    EXPECT_EQ(first, 18);
    EXPECT_EQ(last, 18);  // a mark alone is its own word
    EXPECT_FALSE(WordAt((const uint8_t*)text, 7, &first, &last));  // a space
    EXPECT_FALSE(WordAt((const uint8_t*)text, 1, &first, &last));  // the record's head
}
