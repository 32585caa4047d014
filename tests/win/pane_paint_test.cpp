// Painting checked by the pixels of a DIB section, scrolling, and a PNG of a
// laid-out Hebrew section kept as a test artefact.
#include <stdio.h>

#include "tests/win/pane_test_support.h"

namespace {

const COLORREF kGrey = RGB(0x80, 0x80, 0x80);

class PaintTest : public PaneTest {
protected:
    int rowPx = 0;
    void SetUp() override {
        PaneTest::SetUp();
        MakePane(20, 10, 300, 400);
        rowPx = MetricsOf(1).tmHeight;
    }
    // Pixels of the pane's row band [top, top + heightPx) that are not white.
    int InkIn(int top, int heightPx) const {
        return canvas.CountNot(pane->left, top, pane->left + pane->width, top + heightPx, kColourWhite);
    }
};

// ---- A PNG writer: stored (uncompressed) deflate blocks are enough here. ----

uint32_t Crc32(const uint8_t* bytes, size_t count, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < count; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back((uint8_t)(value >> shift));
}

void PutChunk(std::vector<uint8_t>* png, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(png, (uint32_t)data.size());
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png->insert(png->end(), body.begin(), body.end());
    PutBigEndian(png, Crc32(body.data(), body.size()));
}

bool WritePng(const std::wstring& path, const Canvas& canvas) {
    std::vector<uint8_t> raw;  // filter byte 0, then RGB per row
    for (int y = 0; y < canvas.heightPx; y++) {
        raw.push_back(0);
        for (int x = 0; x < canvas.widthPx; x++) {
            COLORREF c = canvas.At(x, y);
            raw.push_back(GetRValue(c));
            raw.push_back(GetGValue(c));
            raw.push_back(GetBValue(c));
        }
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size(); at += 65535) {
        uint16_t count = (uint16_t)(raw.size() - at < 65535 ? raw.size() - at : 65535);
        zlib.push_back(at + count == raw.size() ? 1 : 0);
        zlib.push_back((uint8_t)count);
        zlib.push_back((uint8_t)(count >> 8));
        zlib.push_back((uint8_t)~count);
        zlib.push_back((uint8_t)(~count >> 8));
        zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + count);
    }
    PutBigEndian(&zlib, b << 16 | a);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(&header, (uint32_t)canvas.widthPx);
    PutBigEndian(&header, (uint32_t)canvas.heightPx);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    PutChunk(&png, "IHDR", header);
    PutChunk(&png, "IDAT", zlib);
    PutChunk(&png, "IEND", {});
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    return fclose(file) == 0 && written;
}

// artifacts\ beside the test program, in the build tree.
std::wstring ArtifactPath(const wchar_t* name) {
    wchar_t module[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module, length);
    folder = folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"artifacts";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name;
}

}  // namespace

TEST_F(PaintTest, MarkIsBlueOnYellowOverTheMarkedRun) {
    SectionBuilder section;
    uint16_t text = section.Add(0x01, 0, "ab def ghij");
    ASSERT_EQ(Layout(section), kLayoutDone);
    pane->markStart = text + 3;  // "def"
    pane->markEnd = text + 6;
    EXPECT_EQ(PaintPane(pane, 1), 0);
    int markLeft = pane->left + WidthOf("ab ");
    int markRight = pane->left + WidthOf("ab def");
    int yellow = canvas.Count(markLeft, pane->top, markRight, pane->top + rowPx, kColourYellow);
    int blue = canvas.Count(markLeft, pane->top, markRight, pane->top + rowPx, kColourBlue);
    EXPECT_GT(yellow, (markRight - markLeft) * rowPx / 2);
    EXPECT_GT(blue, 10);
    EXPECT_EQ(canvas.Count(0, 0, 640, 480, kColourYellow), yellow);  // nowhere else

    // Reverse mode draws the line mirrored; the mark follows the drawn letters.
    gApp.flags |= kFlagReverse;
    canvas.Clear(0xFFFFFF);
    EXPECT_EQ(PaintPane(pane, 1), 0);
    markLeft = pane->left + WidthOf("ghij ");
    markRight = pane->left + WidthOf("ghij def");
    yellow = canvas.Count(markLeft, pane->top, markRight, pane->top + rowPx, kColourYellow);
    EXPECT_GT(yellow, (markRight - markLeft) * rowPx / 2);
    EXPECT_EQ(canvas.Count(0, 0, 640, 480, kColourYellow), yellow);
}

TEST_F(PaintTest, MarkSpanningTwoLinesAndReversedHangingWord) {
    ResizeTextPane(pane, WidthOf("abcd") + 3, 400);
    SectionBuilder section;
    uint16_t text = section.Add(0x01, 0, "abcd efgh");
    ASSERT_EQ(Layout(section), kLayoutDone);
    pane->markStart = text + 2;  // "cd efg"
    pane->markEnd = text + 8;
    PaintPane(pane, 1);
    int left = pane->left;
    EXPECT_EQ(canvas.Count(left, pane->top, left + WidthOf("ab") - 1, pane->top + rowPx, kColourYellow), 0);
    EXPECT_GT(canvas.Count(left + WidthOf("ab"), pane->top, left + WidthOf("abcd"), pane->top + rowPx, kColourYellow), 0);
    int second = pane->top + rowPx;
    EXPECT_GT(canvas.Count(left, second, left + WidthOf("efg"), second + rowPx, kColourYellow), 0);
    EXPECT_EQ(canvas.Count(left + WidthOf("efg") + 1, second, left + 300, second + rowPx, kColourYellow), 0);

    // A match in the first run of a reversed hanging paragraph marks the word too.
    ResizeTextPane(pane, 300, 400);
    SectionBuilder hanging;
    uint16_t start = hanging.Add(0x30, 0x40, "ab cd efg");
    ASSERT_EQ(Layout(hanging), kLayoutDone);
    const TextLine& line = Line(0);
    ASSERT_EQ(line.length, 5);
    pane->markStart = start;
    pane->markEnd = start + 1;
    canvas.Clear(0xFFFFFF);
    PaintPane(pane, 1);
    int columnLeft = line.x + line.width;
    EXPECT_GT(canvas.Count(columnLeft, pane->top, columnLeft + line.hangWidth, pane->top + rowPx, kColourYellow), 0);

    // A match in the hanging word alone is shown too, and only there.
    pane->markStart = start + 6;  // "efg", stored after the run
    pane->markEnd = start + 9;
    canvas.Clear(0xFFFFFF);
    PaintPane(pane, 1);
    int yellow = canvas.Count(columnLeft, pane->top, columnLeft + line.hangWidth, pane->top + rowPx, kColourYellow);
    EXPECT_GT(yellow, 0);
    EXPECT_EQ(canvas.Count(0, 0, 640, 480, kColourYellow), yellow);

    // A match on the second line that ends where the first line's run starts
    // leaves the first line, hanging word and all, unmarked.
    ResizeTextPane(pane, MetricsOf(1).tmMaxCharWidth + WidthOf("cd") + 2, 400);
    SectionBuilder touching;
    start = touching.Add(0x10, 0x40, "ab cd ef");
    ASSERT_EQ(Layout(touching), kLayoutDone);
    ASSERT_EQ(pane->lineCount, 2);
    ASSERT_EQ(Line(0).offset, start + 3);
    pane->markStart = start;  // "ab ", the second line and the space after it
    pane->markEnd = start + 3;
    canvas.Clear(0xFFFFFF);
    PaintPane(pane, 1);
    yellow = canvas.Count(0, pane->top, 640, pane->top + rowPx, kColourYellow);
    EXPECT_EQ(yellow, 0);
    EXPECT_GT(canvas.Count(0, pane->top + rowPx, 640, pane->top + 2 * rowPx, kColourYellow), 0);
}

// A hanging word wider than its column shows only the characters that fit,
// and its mark covers no more than those: never the start of the line's run.
TEST_F(PaintTest, MarkOfAWideHangingWordStaysInItsColumn) {
    for (uint8_t flags : {0x01, 0x11}) {  // plain: the column left of the run; reversed: right of it
        SectionBuilder section;
        uint16_t text = section.Add(flags, 0x40, flags & kFlagReversed ? "hij abcdefg" : "abcdefg hij");
        ASSERT_EQ(Layout(section), kLayoutDone);
        const TextLine& line = Line(0);
        ASSERT_LT(line.hanging.fitCount, line.hanging.length);
        pane->markStart = line.hanging.offset;  // the whole word
        pane->markEnd = line.hanging.offset + line.hanging.length;
        ASSERT_EQ(pane->markStart, flags & kFlagReversed ? text + 4 : text);
        canvas.Clear(0xFFFFFF);
        PaintPane(pane, 1);
        int columnLeft = flags & kFlagReversed ? line.x + line.width : line.x - line.hangWidth;
        int yellow = canvas.Count(0, 0, 640, 480, kColourYellow);
        EXPECT_GT(yellow, 0) << (int)flags;
        EXPECT_EQ(canvas.Count(columnLeft, pane->top, columnLeft + line.hangWidth, pane->top + rowPx, kColourYellow),
                  yellow)
            << (int)flags;
    }
}

TEST_F(PaintTest, OnlyWholeRowsAreDrawnAndRulesAreOnePixelHigh) {
    SectionBuilder section;
    section.Add(0x01, 0, "abc");
    section.Add(0x07, 100, "");
    for (int i = 0; i < 5; i++) section.Add(0x01, 0, "abc");
    ASSERT_EQ(Layout(section), kLayoutDone);
    pane->height = 3 * rowPx + rowPx / 2;
    canvas.Clear(0x808080);
    EXPECT_EQ(PaintPane(pane, 1), 0);
    EXPECT_EQ(pane->rowsDrawn, 3);
    EXPECT_GT(InkIn(pane->top, rowPx), 0);
    EXPECT_GT(InkIn(pane->top + 2 * rowPx, rowPx), 0);
    EXPECT_EQ(InkIn(pane->top + 3 * rowPx, rowPx / 2), 0);  // the cut row stays blank
    EXPECT_EQ(canvas.At(pane->left, pane->top + pane->height), kGrey);

    int ruleY = pane->top + rowPx + rowPx / 2;
    EXPECT_EQ(canvas.Count(pane->left, ruleY, pane->left + 100, ruleY + 1, kColourBlack), 100);
    EXPECT_EQ(InkIn(ruleY - 1, 1), 0);
    EXPECT_EQ(InkIn(ruleY + 1, 1), 0);
    EXPECT_EQ(canvas.At(pane->left + 100, ruleY), kColourWhite);

    pane->height = rowPx - 1;
    EXPECT_EQ(PaintPane(pane, 1), 0);
    EXPECT_EQ(pane->rowsDrawn, 0);
}

TEST_F(PaintTest, FirstRowOnABlankRowOrPastTheEnd) {
    SectionBuilder section;
    section.Add(0x81, 0, "abc");
    for (int i = 0; i < 30; i++) section.Add(0x01, 0, "abc");
    ASSERT_EQ(Layout(section), kLayoutDone);
    pane->firstRow = 1;  // the blank row after the first line
    PaintPane(pane, 1);
    EXPECT_EQ(InkIn(pane->top, rowPx), 0);
    EXPECT_GT(InkIn(pane->top + rowPx, rowPx), 0);

    pane->firstRow = 500;
    PaintPane(pane, 1);
    EXPECT_EQ(pane->firstRow, pane->lastFirstRow);
    EXPECT_GT(pane->lastFirstRow, 0);
    EXPECT_EQ(PaintPane(nullptr, 1), -1);
    LayoutSection(pane, nullptr, 1);
    EXPECT_EQ(PaintPane(pane, 1), -1);
}

TEST_F(PaintTest, TitleBoxFramesAreRedWhiteBlueAroundYellow) {
    SectionBuilder section;
    section.Add(0xDC, 0, "abg dhw");
    section.Add(0xD1, 0, "zxj");
    section.Add(0x01, 0, "klm");
    ASSERT_EQ(Layout(section), kLayoutDone);
    DrawTitleBox(pane);
    int titleRowPx = MetricsOf(2).tmHeight;
    int boxWidthPx = WidthOf("abg dhw", 2) + 2 * titleRowPx + 8;
    int left = pane->left + (pane->width - boxWidthPx) / 2;
    int top = pane->top + pane->height - 2 * titleRowPx - 12;
    int y = top + 6;
    COLORREF expected[] = {kColourRed, kColourRed, kColourWhite, kColourBlue, kColourBlue, kColourYellow};
    for (int i = 0; i < 6; i++) EXPECT_EQ(canvas.At(left + i, y), expected[i]) << i;
    int x = left + boxWidthPx / 2;
    for (int i = 0; i < 6; i++) EXPECT_EQ(canvas.At(x, top + i), expected[i]) << i;
    EXPECT_EQ(canvas.At(left + boxWidthPx - 1, y), kColourRed);
    EXPECT_EQ(canvas.At(x, pane->top + pane->height - 3), kColourRed);
    EXPECT_EQ(canvas.At(x, pane->top + pane->height - 2), kColourWhite);  // below the box
    EXPECT_GT(canvas.Count(left, top, left + boxWidthPx, top + 6 + 2 * titleRowPx, kColourRed), 3 * boxWidthPx);

    // A subtitle alone: one row.
    SectionBuilder subtitleOnly;
    subtitleOnly.Add(0xD1, 0, "zxj");
    ASSERT_EQ(Layout(subtitleOnly), kLayoutDone);
    canvas.Clear(0xFFFFFF);
    DrawTitleBox(pane);
    EXPECT_EQ(canvas.At(pane->left + pane->width / 2, pane->top + pane->height - titleRowPx - 12), kColourRed);
}

TEST_F(PaintTest, ScrollingMovesClampsAndReports) {
    pane->rowCount = 30;
    pane->lastFirstRow = 10;
    EXPECT_EQ(ScrollPane(pane, 15, 0), kScrollChanged);
    EXPECT_EQ(pane->firstRow, 15);
    EXPECT_EQ(ScrollPane(pane, 15, 0), kScrollUnchanged);  // already past the end
    EXPECT_EQ(ScrollPane(pane, -20, 0), kScrollChanged);
    EXPECT_EQ(pane->firstRow, 0);
    EXPECT_EQ(ScrollPane(pane, -1, 0), kScrollUnchanged);
    EXPECT_EQ(ScrollPane(pane, 40, 0), kScrollChanged);
    EXPECT_EQ(pane->firstRow, 10);
    EXPECT_EQ(ScrollPane(pane, -4, 1), -1);  // moved, but there is nothing to paint
    EXPECT_EQ(pane->firstRow, 6);
    EXPECT_EQ(ScrollPane(nullptr, 1, 0), -1);
}

TEST_F(PaintTest, ScrollToTextOffsetFindsTheLineRow) {
    SectionBuilder section;
    section.Add(0x01, 0x40, "ab cde");  // a hanging first line: offset..offset+length
    uint16_t target = 0;
    for (int i = 0; i < 40; i++) {
        uint16_t at = section.Add(0x81, 0, "fgh");
        if (i == 3) target = at;
    }
    ASSERT_EQ(Layout(section), kLayoutDone);
    EXPECT_EQ(ScrollToTextOffset(pane, target + 3), 1);
    EXPECT_EQ(pane->firstRow, 1 + 3 * 2);
    EXPECT_EQ(ScrollToTextOffset(pane, (uint16_t)(section.bytes.size() - 2)), 1);
    EXPECT_EQ(pane->firstRow, pane->lastFirstRow);
    // The hanging first line holds its word and its whole run, "ab cde".
    pane->firstRow = 5;
    EXPECT_EQ(ScrollToTextOffset(pane, 2 + 5), 1);
    EXPECT_EQ(pane->firstRow, 0);
    pane->firstRow = 5;
    EXPECT_EQ(ScrollToTextOffset(pane, 9), 0);  // the next record's flags and indent bytes
    EXPECT_EQ(ScrollToTextOffset(pane, 10), 0);
    EXPECT_EQ(pane->firstRow, 5);
}

TEST_F(PaintTest, SetPaneFontLaysOutAgainAndRepaints) {
    FontSpec bigger = gApp.font;
    bigger.size = 32;
    EXPECT_EQ(SetPaneFont(pane, &bigger), 1);  // no text yet
    SectionBuilder section;
    for (int i = 0; i < 10; i++) section.Add(0x01, 0, "abc def ghi jkl mno pqr stu");
    ASSERT_EQ(Layout(section), kLayoutDone);
    uint16_t rows = pane->rowCount;
    bigger.size = 48;
    EXPECT_EQ(SetPaneFont(pane, &bigger), 0);
    EXPECT_GT(pane->rowCount, rows);
    EXPECT_GT(pane->rowsDrawn, 0);
    EXPECT_EQ(SetPaneFont(nullptr, &bigger), -1);
}

// Real Hebrew in the book's face, in a narrow and a wide pane, saved as
// artifacts/pane_layout.png: the words must read from right to left.
TEST_F(PaintTest, HebrewSectionPicture) {
    UseFont(kBookFace, 20, kLetterBaseUnicode);
    Canvas picture(760, 420);
    SectionBuilder section;
    section.Add(0xDC, 0, DrawingOrder(L"פרק ראשון"));
    section.Add(0xD1, 0, DrawingOrder(L"בריאת העולם"));
    section.Add(0xB0, 0xC8, DrawingOrder(L"ויהי בימי שפט השפטים ויהי רעב בארץ וילך איש מבית לחם יהודה "
                                         L"לגור בשדי מואב הוא ואשתו ושני בניו"));
    // A continuation: its stored text starts with a space; it goes on 4 pixels further in.
    section.Add(0xB0, 0xCC, " " + DrawingOrder(L"ושם האיש אלימלך ושם אשתו נעמי"));
    section.Add(0xC7, 180, "");
    section.Add(0xB2, 6, DrawingOrder(L"ויאמר אלהים יהי אור ויהי אור וירא אלהים את האור כי טוב"));
    section.Add(0xB9, 0, DrawingOrder(L"ויבדל אלהים בין האור ובין החשך"));
    int lefts[] = {10, 270};
    int widths[] = {240, 480};
    for (int i = 0; i < 2; i++) {
        RECT rect = {lefts[i], 10, lefts[i] + widths[i], 410};
        TextPane* shown = CreateTextPane(picture.dc, &rect, &gApp.font, kPaneInitialLines);
        ASSERT_EQ(LayoutSection(shown, section.Take(), 1), kLayoutDone);
        EXPECT_EQ(PaintPane(shown, 1), 0);
        DrawTitleBox(shown);
        // The first word hangs at the right edge, in the column beside the run.
        const TextLine& hung = shown->lines[2];
        EXPECT_EQ(hung.x + hung.width + hung.hangWidth, rect.right - 8);
        DestroyTextPane(shown);
    }
    EXPECT_TRUE(WritePng(ArtifactPath(L"pane_layout.png"), picture));
}
