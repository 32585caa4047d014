// Paragraph layout in a monospaced Hebrew face, so that widths are whole
// multiples of one character.
#include "tests/common/sample_sections.h"
#include "tests/win/pane_test_support.h"

namespace {

class LayoutTest : public PaneTest {
protected:
    int charPx = 0;
    void SetUp() override {
        PaneTest::SetUp();
        MakePane(20, 10, 240, 320);
        charPx = WidthOf("a");
        ASSERT_GT(charPx, 2);
    }
    // A pane in which exactly `chars` characters fit on a line (the face is
    // monospaced, though its advances are not whole pixels).
    void FitChars(int chars) {
        ASSERT_EQ(ResizeTextPane(pane, WidthOf(std::string(chars, 'a')) + charPx / 3, 320), kLayoutNoText);
    }
    std::string Run(int i) const { return std::string((const char*)pane->text + Line(i).offset, Line(i).length); }
    // The line shown first from the pane's first row, and whether that row
    // is the blank row after a paragraph.
    const TextLine* TopLine() const {
        int rows = 0;
        const TextLine* line = pane->lines;
        while (line->flags && rows < pane->firstRow) rows += (line++->flags & kFlagParagraphEnd) ? 2 : 1;
        return line;
    }
    bool IsBlankRow(int row) const {
        int rows = 0;
        for (const TextLine* line = pane->lines; line->flags; line++) {
            rows += (line->flags & kFlagParagraphEnd) ? 2 : 1;
            if (rows > row) return rows - 1 == row && (line->flags & kFlagParagraphEnd);
        }
        return false;
    }
};

}  // namespace

TEST_F(LayoutTest, BreaksAtSpacesAndAfterHyphensAndCutsLongWords) {
    FitChars(6);
    SectionBuilder section;
    uint16_t space = section.Add(0x01, 0, "abc def");
    uint16_t hyphen = section.Add(0x01, 0, "abc-def");
    uint16_t exact = section.Add(0x01, 0, "abcdef ghi");
    uint16_t word = section.Add(0x01, 0, "  abcdefghijklmn ");
    section.Add(0x81, 0, "   ");  // spaces only: no line, no row
    ASSERT_EQ(Layout(section), kLayoutDone);

    struct Expected {
        uint16_t offset;
        const char* run;
    } expected[] = {{space, "abc"},     {(uint16_t)(space + 4), "def"},  {hyphen, "abc-"},
                    {(uint16_t)(hyphen + 4), "def"}, {exact, "abcdef"}, {(uint16_t)(exact + 7), "ghi"},
                    {(uint16_t)(word + 2), "abcdef"}, {(uint16_t)(word + 8), "ghijkl"}, {(uint16_t)(word + 14), "mn "}};  // a trailing space that fits stays
    ASSERT_EQ(pane->lineCount, 9);
    for (int i = 0; i < 9; i++) {
        EXPECT_EQ(Line(i).offset, expected[i].offset) << i;
        EXPECT_EQ(Run(i), expected[i].run) << i;
        EXPECT_EQ(Line(i).width, WidthOf(expected[i].run)) << i;
        EXPECT_EQ(Line(i).x, 20) << i;
    }
    EXPECT_EQ(pane->lines[9].flags, 0);  // the terminator
    EXPECT_EQ(pane->rowCount, 9);
}

TEST_F(LayoutTest, ParagraphEndRowsAndTheDroppedLastOne) {
    SectionBuilder section;
    section.Add(0x81, 0, "ab");
    section.Add(0x81, 0, "cd   ");  // ends in spaces, still ends its paragraph
    section.Add(0x01, 0, "ef");
    ASSERT_EQ(Layout(section), kLayoutDone);
    EXPECT_EQ(pane->rowCount, 3 + 2);
    EXPECT_EQ(Line(1).flags, 0x81);

    SectionBuilder allEnd = section;
    allEnd.bytes[allEnd.bytes.size() - 5] = 0x81;  // the last record's flags
    ASSERT_EQ(Layout(allEnd), kLayoutDone);
    EXPECT_EQ(pane->rowCount, 3 + 2);
    EXPECT_EQ(Line(2).flags, 0x01);
    EXPECT_EQ(Line(0).height, MetricsOf(1).tmHeight);

    // Plain left-aligned type with only the end bit (flags 0x80): no line of
    // it may look like the terminator, neither inside nor at the section's end.
    ResizeTextPane(pane, WidthOf("abcd") + charPx / 3, 320);
    SectionBuilder bare;
    bare.Add(0x80, 0, "abc def");
    bare.Add(0x80, 0, "ghi jkl");
    ASSERT_EQ(Layout(bare), kLayoutDone);
    ASSERT_EQ(pane->lineCount, 4);
    EXPECT_EQ(pane->rowCount, 4 + 1);
    for (int i = 0; i < 4; i++) EXPECT_NE(Line(i).flags, 0) << i;
    EXPECT_EQ(Line(1).flags, 0x80);
    EXPECT_EQ(Line(4).flags, 0);
}

TEST_F(LayoutTest, IndentsAlignmentsAndHangingWords) {
    int hangPx = MetricsOf(1).tmMaxCharWidth;  // hanging code 1: (1 + 1) / 2 widest characters
    int right = pane->left + pane->width;
    SectionBuilder section;
    section.Add(0x21, 10, "abc");                // right, indent 10
    section.Add(0x41, 0, "abcd");                // centred
    uint16_t hung = section.Add(0x01, 0x4A, "ab cdefgh ijk");
    uint16_t reversed = section.Add(0x31, 0x4A, "ab cdefgh ijk");
    uint16_t carried = section.Add(0x31, 0x4C, " lmn");
    uint16_t wide = section.Add(0x01, 0x40, "abcdefg hij");  // a word wider than its column
    ASSERT_EQ(Layout(section), kLayoutDone);

    EXPECT_EQ(Line(0).x + Line(0).width, right - 10);
    EXPECT_EQ(Line(1).width, WidthOf("abcd"));
    EXPECT_EQ(Line(1).x, pane->left + (240 - Line(1).width) / 2);

    // The word hangs at left + 10; the run and later lines start after the column.
    EXPECT_EQ(Line(2).offset, hung + 3);
    EXPECT_EQ(Line(2).length, 10);
    EXPECT_EQ(Line(2).hangWidth, hangPx);
    EXPECT_EQ(Line(2).x, pane->left + 10 + hangPx);
    const HangingWord& word = Line(2).hanging;
    EXPECT_EQ(word.offset, hung);
    EXPECT_EQ(word.length, 2);
    EXPECT_EQ(word.fitCount, 1);  // a column one widest character wide
    EXPECT_EQ(word.fitWidth, WidthOf("a"));
    EXPECT_EQ(LineTextStart(&Line(2)), hung);
    EXPECT_EQ(LineTextEnd(&Line(2)), hung + 13);

    // Reversed: the last stored word hangs, in the column right of the run.
    EXPECT_EQ(Line(3).offset, reversed);
    EXPECT_EQ(Line(3).length, 9);
    EXPECT_EQ(Line(3).x + Line(3).width, right - 10 - hangPx);
    EXPECT_EQ(Line(3).hanging.offset, reversed + 10);
    EXPECT_EQ(Line(3).hanging.length, 3);
    EXPECT_EQ(Line(3).hanging.fitCount, 1);
    EXPECT_EQ(LineTextStart(&Line(3)), reversed);
    EXPECT_EQ(LineTextEnd(&Line(3)), reversed + 13);

    // A continuation keeps the carried position, moved by 12 - 10. Its run
    // keeps the space that ends the reversed copy.
    EXPECT_EQ(Line(4).offset, carried);
    EXPECT_EQ(Line(4).length, 4);
    EXPECT_EQ(Line(4).hangWidth, 0);
    EXPECT_EQ(Line(4).x + Line(4).width, right - 10 - hangPx - 2);
    EXPECT_EQ(Line(4).hanging.length, 0);

    // Of a word wider than its column, only what fits is drawn.
    const HangingWord& cut = Line(5).hanging;
    EXPECT_EQ(cut.offset, wide);
    EXPECT_EQ(cut.length, 7);
    ASSERT_GT(cut.fitCount, 0);
    ASSERT_LT(cut.fitCount, 7);
    EXPECT_EQ(cut.fitWidth, WidthOf(std::string("abcdefg", cut.fitCount)));
    EXPECT_LE(cut.fitWidth, hangPx);
    EXPECT_GT(WidthOf(std::string("abcdefg", cut.fitCount + 1)), hangPx);
    EXPECT_EQ(Line(5).offset, wide + 8);
}

TEST_F(LayoutTest, ReversedParagraphFillsLinesFromItsStoredEnd) {
    FitChars(8);
    SectionBuilder section;
    uint16_t text = section.Add(0x10, 0, "ghi def abc");  // stored W3 W2 W1
    ASSERT_EQ(Layout(section), kLayoutDone);
    ASSERT_EQ(pane->lineCount, 2);
    EXPECT_EQ(Line(0).offset, text + 4);  // "def abc", drawn as stored
    EXPECT_EQ(Line(0).length, 7);
    EXPECT_EQ(Line(1).offset, text);      // "ghi"
    EXPECT_EQ(Line(1).length, 3);
}

TEST_F(LayoutTest, RulesTakeTheirLengthAlignmentAndEndRow) {
    SectionBuilder section;
    section.Add(0x01, 0, "ab");
    section.Add(0x07, 0, "");        // value 0: nothing at all
    uint16_t rule = section.Add(0xC7, 200, "xyz");
    section.Add(0x27, 250, "");
    section.Add(0x07, 30, "");
    section.Add(0x01, 0, "cd");
    ASSERT_EQ(Layout(section), kLayoutDone);
    ASSERT_EQ(pane->lineCount, 5);
    EXPECT_EQ(Line(1).offset, rule);
    EXPECT_EQ(Line(1).width, 192);   // 80 % of 240
    EXPECT_EQ(Line(1).x, pane->left + 24);
    EXPECT_EQ(Line(1).length, 0);
    EXPECT_EQ(Line(2).width, 240);   // 180 % cut to the pane
    EXPECT_EQ(Line(3).width, 30);
    EXPECT_EQ(Line(3).x, pane->left);
    EXPECT_EQ(pane->rowCount, 6);
}

TEST_F(LayoutTest, LineArrayGrowsPast100And228) {
    SectionBuilder section;
    for (int i = 0; i < 240; i++) section.Add(0x01, 0, "ab");
    ASSERT_EQ(Layout(section), kLayoutDone);
    EXPECT_EQ(pane->lineCount, 240);
    EXPECT_EQ(pane->lineCapacity, 356);
    EXPECT_EQ(pane->lines[239].offset, section.bytes.size() - 3);
    EXPECT_EQ(pane->lines[240].flags, 0);

    // Out of memory while growing: the lines so far, a terminator in the
    // spare slot, and the refused text is gone.
    MakePane(0, 0, 240, 320);
    SelectObject(canvas.dc, SelectStyleFont(pane, 1));  // its font entry exists from now on
    size_t heapBytes = HeapBytesInUse();
    FailAllocationsAfter(1);  // the text, then the first growth fails
    EXPECT_EQ(LayoutSection(pane, section.Take(), 1), kLayoutNoMemory);
    FailAllocationsAfter(-1);
    EXPECT_EQ(HeapBytesInUse(), heapBytes);  // the refused text is freed
    EXPECT_EQ(pane->lineCapacity, 100);
    EXPECT_EQ(pane->lines[100].flags, 0);
    EXPECT_EQ(pane->lines[99].flags, 0x01);
    EXPECT_EQ(pane->text, nullptr);
}

// Rows are renumbered by every new width, so the place is kept by text: the
// top line after a resize holds the first character read on the top line
// before it, in plain and reversed paragraphs, with and without hanging words,
// and going back to the old width gives the old row.
TEST_F(LayoutTest, ResizeKeepsTheTopLinesText) {
    std::vector<uint8_t> generated = GeneratedSectionText(30, 5);
    SectionBuilder section;
    section.bytes.assign(generated.begin(), generated.end() - 1);
    ASSERT_EQ(Layout(section), kLayoutDone);
    uint16_t narrowRows = pane->rowCount;
    ASSERT_GT(pane->lastFirstRow, 40);
    int checked = 0;
    for (int row = 0; row <= pane->lastFirstRow; row++) {
        ASSERT_EQ(ResizeTextPane(pane, 240, 320), kLayoutDone);
        pane->firstRow = (uint16_t)row;
        ReadingPlace place = TopReadingPlace(pane);
        ASSERT_TRUE(place.known);
        TextLine before = *TopLine();  // the array is rewritten by the next layout
        ASSERT_EQ(ResizeTextPane(pane, 480, 200), kLayoutDone);
        EXPECT_LT(pane->rowCount, narrowRows);
        const TextLine* after = TopLine();
        EXPECT_TRUE(LineTextStart(after) <= place.offset && place.offset < LineTextEnd(after)) << row;
        EXPECT_EQ(after->flags & kFlagReversed, before.flags & kFlagReversed) << row;
        ASSERT_EQ(ResizeTextPane(pane, 240, 320), kLayoutDone);
        // A first row on a paragraph's blank row comes back on its next line.
        int expected = IsBlankRow(row) ? row + 1 : row;
        EXPECT_EQ(pane->firstRow, expected) << row;
        checked++;
    }
    EXPECT_GT(checked, 40);
    // Once everything fits, the pane shows it from the top.
    pane->firstRow = 12;
    EXPECT_EQ(ResizeTextPane(pane, 480, 20000), kLayoutDone);
    EXPECT_EQ(pane->firstRow, 0);

    EXPECT_EQ(ResizeTextPane(pane, 300, 0), kResizeBadSize);
    EXPECT_EQ(pane->width, 480);
    EXPECT_EQ(ResizeTextPane(nullptr, 300, 300), -1);
}

TEST_F(LayoutTest, LastFirstRowShowsWholeRowsToTheEnd) {
    SectionBuilder section;
    for (int i = 0; i < 20; i++) section.Add(i % 2 ? 0x81 : 0x01, 0, "ab");
    int rowPx = MetricsOf(1).tmHeight;
    pane->height = 5 * rowPx + rowPx / 2;
    ASSERT_EQ(Layout(section), kLayoutDone);
    EXPECT_EQ(pane->rowCount, 20 + 9);
    // From the end: line, line + blank, line, line + blank: 5 rows fill, the 6th does not.
    EXPECT_EQ(pane->lastFirstRow, 29 - 5);
    pane->height = 3 * rowPx + rowPx / 2;  // the blank row of the 3rd line from the end does not fit
    EXPECT_EQ(ComputeLastFirstRow(pane), 29 - 3);
    pane->height = -rowPx;  // an upside-down rectangle
    EXPECT_EQ(ComputeLastFirstRow(pane), 29);
}

TEST_F(LayoutTest, NarrowPanesAndDeepIndentsStillEnd) {
    ResizeTextPane(pane, 1, 320);
    SectionBuilder section;
    section.Add(0x01, 0, "abc de");
    section.Add(0x01, 0xFF, "fgh ij");  // indent 63 and a column past the width
    ASSERT_EQ(Layout(section), kLayoutDone);
    EXPECT_EQ(pane->lineCount, 5 + 3);
    EXPECT_EQ(Line(0).length, 1);
    EXPECT_EQ(Line(5).length, 0);      // the hanging word alone
    EXPECT_GT(Line(5).hangWidth, 0);
    EXPECT_EQ(Line(6).length, 1);
}

TEST_F(LayoutTest, RefusedTextsAndMissingPanes) {
    SectionBuilder good;
    good.Add(0x01, 0, "ab");
    ASSERT_EQ(Layout(good), kLayoutDone);
    uint8_t* kept = pane->text;

    SectionBuilder empty;
    empty.Add(0x01, 0, "");
    SectionBuilder none;
    size_t heapBytes = HeapBytesInUse();
    EXPECT_EQ(Layout(empty), kLayoutBadText);  // and frees the refused buffer
    EXPECT_EQ(Layout(none), kLayoutBadText);
    EXPECT_EQ(LayoutSection(nullptr, good.Take(), 1), kLayoutNoPane);
    EXPECT_EQ(HeapBytesInUse(), heapBytes);
    EXPECT_EQ(pane->text, kept);
    EXPECT_EQ(pane->lineCount, 1);

    pane->markStart = 1;
    EXPECT_EQ(LayoutSection(pane, pane->text, 1), kLayoutDone);  // its own text: not released
    EXPECT_EQ(pane->text, kept);
    EXPECT_EQ(pane->markStart, 1);  // the same text keeps its mark
    EXPECT_EQ(LayoutSection(pane, nullptr, 0), kLayoutNoText);
    EXPECT_EQ(pane->text, kept);
    EXPECT_EQ(pane->markStart, 0);
    EXPECT_EQ(LayoutSection(pane, nullptr, 1), kLayoutNoText);
    EXPECT_EQ(pane->text, nullptr);

    // A reversed copy that cannot be had.
    SectionBuilder reversed;
    reversed.Add(0x10, 0, "abc");
    uint8_t* text = reversed.Take();
    FailAllocationsAfter(0);
    EXPECT_EQ(LayoutSection(pane, text, 0), kLayoutNoMemory);
    FailAllocationsAfter(-1);
    EXPECT_EQ(pane->text, nullptr);
    EXPECT_EQ(LayoutSection(pane, text, 0), kLayoutDone);  // a first text, kept without ownership
    EXPECT_EQ(pane->text, text);
}
