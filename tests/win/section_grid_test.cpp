// The section grid and its outline on a memory dc: layout, markers, toggling,
// revealing, the expansion carried across a resize, and the hit test.
#include <algorithm>

#include "navigation/section_grid.h"
#include "navigation/section_outline.h"
#include "resources/resource_ids.h"
#include "tests/common/index_builder.h"
#include "tests/win/pane_test_support.h"
#include "tests/win/reader_test_support.h"

namespace {

std::string Reversed(std::string text) {
    std::reverse(text.begin(), text.end());
    return text;
}

const uint16_t kHeading = 0x8000;

class GridTest : public ::testing::Test {
protected:
    Canvas canvas{400, 300};
    SectionGrid* grid = nullptr;
    AppState savedApp;

    void SetUp() override {
        savedApp = gApp;
        memset(&gApp.font, 0, sizeof gApp.font);
        wcscpy(gApp.font.faceName, kMonoFace);
        gApp.font.size = 16;
        gApp.font.letterBase = kLetterBaseUnicode;
        gApp.flags = kFlagsDefault;
        const int ids[3] = {IDB_GRID_COLLAPSED, IDB_GRID_EXPANDED, IDB_GRID_PAGE};
        for (int i = 0; i < 3; i++) gApp.gridBitmaps[i] = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ids[i]));
    }
    void TearDown() override {
        DestroySectionGrid(grid, true);
        for (HBITMAP bitmap : gApp.gridBitmaps) DeleteObject(bitmap);
        gApp = savedApp;
    }
    SectionGrid* Make(int widthPx, int heightPx, const IndexBuilder& index, int capacity = 100) {
        DestroySectionGrid(grid, true);
        RECT rect = {0, 0, widthPx, heightPx};
        grid = CreateSectionGrid(canvas.dc, &rect, &gApp.font, capacity);
        EXPECT_EQ(LayoutIndex(grid, index.Take(), true), kGridDone);
        return grid;
    }
    int CharPx() {
        SectionGrid* probe = CreateSectionGrid(canvas.dc, nullptr, &gApp.font, 0);
        HFONT saved = SelectGridFont(probe, 1, false);
        SIZE size;
        GetTextExtentPoint32W(canvas.dc, L"\x5D0", 1, &size);
        SelectObject(canvas.dc, saved);
        DestroySectionGrid(probe, true);
        return size.cx;
    }
    // Width of `codes` in the grid's font of style 1.
    int WidthOf(const std::string& codes) {
        HFONT saved = SelectGridFont(grid, 1, false);
        int widthPx = 10000, count = (int)codes.size();
        MeasureFit(canvas.dc, (const uint8_t*)codes.c_str(), &widthPx, &count);
        SelectObject(canvas.dc, saved);
        return widthPx;
    }
    std::string RowText(int row) const {
        return std::string((const char*)grid->indexText + grid->rows[row].textOffset, grid->rows[row].length);
    }
    // The visible rows by index.
    std::vector<int> Visible() const {
        std::vector<int> rows;
        for (int i = 0; i < grid->rowCount; i++)
            if (grid->rows[i].style & kIndexVisible) rows.push_back(i);
        return rows;
    }
    bool Expanded(int row) const { return (grid->rows[row].style & kIndexExpanded) != 0; }
    // (id, expanded) of each record that shows, whatever its wrapping.
    std::vector<std::pair<uint16_t, bool>> Shown() const {
        std::vector<std::pair<uint16_t, bool>> shown;
        for (int row : Visible())
            if (shown.empty() || shown.back().first != grid->rows[row].id) shown.push_back({grid->rows[row].id, Expanded(row)});
        return shown;
    }
    int InkBeside(int row, int top) const {
        int left = grid->rows[row].x + grid->rows[row].width + kGridMarkerGapPx;
        return canvas.CountNot(left, top, left + kGridMarkerPx, top + grid->rows[row].height, kColourWhite);
    }
};

// An outline of two parts; rows are one per record in a wide grid:
// 0 H1 (expanded)  1 label  2 H2 (expanded)  3 link 1  4 link 3
// 5 H3 (collapsed)  6 link 5 (hidden)  7 link 7 (hidden)  8 H4 (collapsed)  9 link 9 (hidden)
IndexBuilder Outline() {
    IndexBuilder index;
    index.Add(kHeading | 1001, 0xC1, 0, "abc")
        .Add(1002, 0x81, 1, "de")
        .Add(kHeading | 1003, 0xC1, 1, "fg")
        .Link(1, "hi", 2)
        .Link(3, "jk", 2)
        .Add(kHeading | 1004, 0x81, 1, "lm")
        .Link(5, "no", 2, 0x01)
        .Link(7, "pq", 2, 0x01)
        .Add(kHeading | 1005, 0x81, 0, "rs")
        .Link(9, "tu", 1, 0x01)
        .End();
    return index;
}

}  // namespace

TEST_F(GridTest, RowsWrapAtTheLastSpaceAndBreakLongWords) {
    // One letter throughout, so that every row's fit is known.
    std::string reading = "bbbbbbbb bbbbbbbbbbbbbbbb";
    IndexBuilder index;
    index.Add(kHeading | 1001, 0xC1, 1, Reversed(reading)).End();
    Make(400, 200, index);
    int tenPx = WidthOf("bbbbbbbbbb");
    Make(tenPx + 1 + kGridIndentStepPx, 200, index);
    // Rows hold the reading order's pieces, each a stored substring: the
    // first row is the end of the stored text (offset 4 + 25 - 8).
    ASSERT_EQ(grid->rowCount, 3);
    const int offsets[3] = {21, 10, 4};
    const int lengths[3] = {8, 10, 6};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(grid->rows[i].textOffset, offsets[i]) << i;
        EXPECT_EQ(grid->rows[i].length, lengths[i]) << i;
        EXPECT_EQ(GridRowIndent(grid, i), kGridIndentStepPx);
        EXPECT_EQ(grid->rows[i].width, WidthOf(std::string(lengths[i], 'b')));
    }
    EXPECT_EQ(grid->visibleRows, 3);
    EXPECT_EQ(grid->rows[3].style, 0);

    // Narrower than one character: one character a row, and the layout ends.
    int charPx = CharPx();
    RECT narrow = {0, 0, charPx / 2, 100};
    SectionGrid* thin = CreateSectionGrid(canvas.dc, &narrow, &gApp.font, 2);
    EXPECT_EQ(LayoutIndex(thin, index.Take(), true), kGridDone);
    EXPECT_EQ(thin->rowCount, (int)reading.size() - 1);  // every character but the space
    for (int i = 0; i < thin->rowCount; i++) EXPECT_LE(thin->rows[i].x + thin->rows[i].width, charPx / 2);
    DestroySectionGrid(thin, true);
}

TEST_F(GridTest, IndentLevelsAndRefusedTexts) {
    IndexBuilder index;
    index.Add(1001, 0x81, 0, "ab").Add(1002, 0x81, 3, "cd").Add(1003, 0x81, 20, "ef").End();
    Make(200, 100, index);
    EXPECT_EQ(GridRowIndent(grid, 0), 0);
    EXPECT_EQ(GridRowIndent(grid, 1), 3 * kGridIndentStepPx);
    EXPECT_EQ(grid->rows[1].x, 200 - 39 - WidthOf("dc"));
    EXPECT_EQ(GridRowIndent(grid, 2), 0);  // 20 levels reach past the width

    // An empty first text is refused and the grid keeps what it had; a null
    // text releases the held one when asked.
    IndexBuilder empty;
    empty.Add(1001, 0x81, 0, "").Add(1002, 0x81, 0, "ab").End();
    IndexText refused = empty.Take();
    EXPECT_EQ(LayoutIndex(grid, refused, true), kGridRefused);
    PlatformFree(refused.bytes);
    EXPECT_EQ(grid->rowCount, 3);
    EXPECT_EQ(PaintSectionGrid(grid, true), 0);
    EXPECT_EQ(LayoutIndex(grid, IndexText{nullptr, 0}, true), kGridNoText);
    EXPECT_EQ(grid->indexText, nullptr);
    EXPECT_EQ(PaintSectionGrid(grid, true), kGridMissing);
    EXPECT_EQ(HitTestSectionGrid(grid, 190, 5), 0);
}

TEST_F(GridTest, MarkerStandsBesideTheFirstDrawnRowOfARecord) {
    int charPx = CharPx();
    IndexBuilder index;
    // Three rows of one large bold record (drawn blue), then a plain link.
    index.Add(kHeading | 1001, 0xCD, 1, Reversed("abcd efgh ijkl")).Link(3, "mn", 1).End();
    Make(5 * charPx + kGridIndentStepPx + 20, 300, index);
    ASSERT_EQ(grid->rowCount, 4);
    ASSERT_EQ(grid->rows[0].id, grid->rows[2].id);
    ASSERT_EQ(PaintSectionGrid(grid, true), 0);
    EXPECT_EQ(grid->rowsPainted, 4);
    int rowPx = grid->rows[0].height;
    EXPECT_GT(InkBeside(0, 0), 0);
    EXPECT_EQ(InkBeside(1, rowPx), 0);
    EXPECT_EQ(InkBeside(2, 2 * rowPx), 0);
    EXPECT_GT(InkBeside(3, 3 * rowPx), 0);
    int textLeft = grid->rows[0].x;
    EXPECT_GT(canvas.Count(textLeft, 0, textLeft + grid->rows[0].width, rowPx, kColourBlue), 0);
    int linkLeft = grid->rows[3].x;
    EXPECT_EQ(canvas.Count(linkLeft, 3 * rowPx, linkLeft + grid->rows[3].width, 4 * rowPx, kColourBlue), 0);

    // Scrolled by one row, the marker moves to the record's second row.
    grid->lastFirstRow = 2;
    EXPECT_NE(ScrollSectionGrid(grid, 1), kGridScrollUnchanged);
    EXPECT_GT(InkBeside(1, 0), 0);
    EXPECT_EQ(InkBeside(2, rowPx), 0);
    // Clamped at both ends without a repaint.
    grid->firstRow = 0;
    EXPECT_EQ(ScrollSectionGrid(grid, -1), kGridScrollUnchanged);
}

TEST_F(GridTest, LastFirstRowFillsTheGridAndAFoldPullsFirstRowBack) {
    IndexBuilder index = Outline();
    Make(300, 10000, index);
    EXPECT_EQ(grid->lastFirstRow, 0);  // everything fits
    int rowPx = grid->rows[0].height;
    ResizeSectionGrid(grid, 300, 3 * rowPx + rowPx / 2);
    EXPECT_EQ(grid->visibleRows, 7);
    EXPECT_EQ(grid->lastFirstRow, 4);
    grid->firstRow = 4;
    // Scrolled to the end, a fold leaves no blank space under the last row.
    ToggleHeading(grid, 2);
    EXPECT_EQ(grid->lastFirstRow, 2);
    EXPECT_EQ(grid->firstRow, 2);
    ToggleHeading(grid, 2);
    grid->firstRow = 4;
    ToggleHeading(grid, 0);  // two rows stay visible
    EXPECT_EQ(grid->visibleRows, 2);
    EXPECT_EQ(grid->firstRow, 0);
    EXPECT_EQ(grid->lastFirstRow, 0);
}

TEST_F(GridTest, ToggleHidesTheSubtreeAndShowsOneLevel) {
    Make(300, 300, Outline());
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 2, 3, 4, 5, 8}));
    EXPECT_EQ(ToggleHeading(grid, 0), -1001);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 8}));
    EXPECT_FALSE(Expanded(0));
    // Expanded again: the next level only; H2 keeps its expanded bit, its
    // links stay hidden.
    EXPECT_EQ(ToggleHeading(grid, 0), -1001);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 2, 5, 8}));
    EXPECT_TRUE(Expanded(2));
    EXPECT_EQ(grid->visibleRows, 5);

    // A plain label toggles like a heading; a heading numbered 0 toggles too.
    IndexBuilder zero;
    zero.Add(kHeading, 0x81, 0, "ab").Link(1, "cd", 1, 0x01).End();
    Make(300, 300, zero);
    EXPECT_EQ(ToggleHeading(grid, 0), 0);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1}));
}

TEST_F(GridTest, AWrappedHeadingKeepsItsOwnRowsWhenCollapsed) {
    int charPx = CharPx();
    IndexBuilder index;
    index.Add(kHeading | 1001, 0xC1, 0, Reversed("abcd efgh")).Link(1, "ij", 1).Link(3, "kl", 1).End();
    Make(5 * charPx, 300, index);
    ASSERT_EQ(grid->rowCount, 4);
    EXPECT_EQ(ToggleHeading(grid, 1), -1001);  // tapped on its second row
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(Expanded(0));
    EXPECT_FALSE(Expanded(1));
    ToggleHeading(grid, 0);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(Expanded(0) && Expanded(1));
}

TEST_F(GridTest, RevealOpensTheBranchOfASection) {
    Make(300, 300, Outline());
    ToggleHeading(grid, 0);  // rows 1 to 7 hidden
    RevealSection(grid, 7);
    // The link, its enclosing H3 (now collapsed) and the record after it.
    EXPECT_EQ(Visible(), (std::vector<int>{0, 5, 7, 8}));
    EXPECT_FALSE(Expanded(5));
    EXPECT_FALSE(Expanded(0));  // already visible: keeps its marker
    // The link of the last record: it alone.
    RevealSection(grid, 9);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 5, 7, 8, 9}));
    // Already visible, or no such link: nothing.
    uint16_t before = grid->visibleRows;
    RevealSection(grid, 1001);
    RevealSection(grid, 11);
    EXPECT_EQ(grid->visibleRows, before);
}

// Exactly, both ways: a heading the index stores open stays closed, one it
// stores closed stays open, at any width and however the records wrap.
TEST_F(GridTest, ExpansionSurvivesAResizeExactly) {
    Make(300, 300, Outline());
    ToggleHeading(grid, 8);  // open H4: link 9 shows
    ToggleHeading(grid, 2);  // close H2, stored open: links 1 and 3 hide
    std::vector<int> before = Visible();
    auto shown = Shown();
    uint16_t* saved = SaveExpansion(grid);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(ResizeSectionGrid(grid, 280, 300), kGridDone);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 1, 2, 3, 4, 5, 8}));  // as stored
    EXPECT_EQ(RestoreExpansion(grid, saved), 0);
    EXPECT_EQ(Visible(), before);
    EXPECT_EQ(grid->visibleRows, before.size());
    EXPECT_FALSE(Expanded(2));
    EXPECT_TRUE(Expanded(8));

    // So narrow that records wrap into rows of one letter: every row of a
    // record takes its state.
    ResizeSectionGrid(grid, 2 * kGridIndentStepPx + CharPx() * 3 / 2, 300);
    ASSERT_GT(grid->rowCount, 10);
    RestoreExpansion(grid, saved);
    PlatformFree(saved);
    EXPECT_EQ(Shown(), shown);
    for (int i = 1; i < grid->rowCount; i++) {
        if (grid->rows[i].id == grid->rows[i - 1].id) {
            EXPECT_EQ(grid->rows[i].style, grid->rows[i - 1].style) << i;
        }
    }
    EXPECT_EQ(grid->visibleRows, Visible().size());

    // A list of another text stops where the two part ways.
    ResizeSectionGrid(grid, 300, 300);
    const uint16_t other[] = {3, kHeading | 1001, kIndexVisible, 1002, 0, 1099, 0};
    EXPECT_EQ(RestoreExpansion(grid, other), 0);
    EXPECT_EQ(Visible(), (std::vector<int>{0, 2, 3, 4, 5, 8}));
    EXPECT_FALSE(Expanded(0));
    EXPECT_EQ(RestoreExpansion(grid, nullptr), -1);
}

TEST_F(GridTest, HitTestBoundaries) {
    Make(300, 300, Outline());
    const GridRow link = grid->rows[3];
    int rowPx = link.height;
    int linkY = 3 * rowPx + 1;
    EXPECT_EQ(HitTestSectionGrid(grid, link.x + link.width + 13, linkY), 1);
    EXPECT_EQ(HitTestSectionGrid(grid, link.x, linkY), 1);
    EXPECT_EQ(HitTestSectionGrid(grid, link.x + link.width + 14, linkY), 0);
    EXPECT_EQ(HitTestSectionGrid(grid, link.x - 1, linkY), 0);
    // The lower edge of a row belongs to it.
    EXPECT_EQ(HitTestSectionGrid(grid, link.x, 4 * rowPx), 1);
    EXPECT_EQ(HitTestSectionGrid(grid, link.x, 4 * rowPx + 1), 3);

    // Below the rows, and outside the grid.
    EXPECT_EQ(HitTestSectionGrid(grid, 100, 299), kHitBelowRows);
    EXPECT_EQ(HitTestSectionGrid(grid, 301, 5), 0);
    // Scrolled: the first drawn row is where the taps land.
    grid->lastFirstRow = 3;
    ScrollSectionGrid(grid, 3);
    EXPECT_EQ(HitTestSectionGrid(grid, link.x, 1), 1);

    // Right of a heading's marker toggles it; left of its text does nothing.
    IndexBuilder index;
    index.Add(kHeading | 1001, 0xC1, 2, "ab").Link(1, "cd", 3).End();
    Make(300, 300, index);
    const GridRow heading = grid->rows[0];
    EXPECT_EQ(HitTestSectionGrid(grid, heading.x - 1, 1), 0);
    EXPECT_TRUE(Expanded(0));
    EXPECT_EQ(HitTestSectionGrid(grid, heading.x + heading.width + 14, 1), -1001);
    EXPECT_FALSE(Expanded(0));
    EXPECT_EQ(HitTestSectionGrid(grid, heading.x + 1, 1), -1001);
    EXPECT_TRUE(Expanded(0));
}

TEST_F(GridTest, LayoutOutOfMemoryEndsInOrderWithoutLeaks) {
    TestSettingsKeys keys;
    int boxes = 0;  // counted without allocating, so the heap can be compared
    SetMessageBoxSink([](HWND, const wchar_t*, const wchar_t*, UINT, void* count) {
        ++*(int*)count;
        return IDOK;
    }, &boxes);
    int charPx = CharPx();
    IndexBuilder index;
    for (int i = 0; i < 8; i++) index.Link((uint16_t)(2 * i + 1), Reversed("abcd efgh ijkl"), 0);
    index.End();
    ReleaseTextBuffers();
    size_t heapBefore = HeapBytesInUse();
    bool sawFailure = false;
    for (int allowed = 0; allowed < 40; allowed++) {
        ResetSettingsSaved();
        RECT rect = {0, 0, 5 * charPx, 300};
        SectionGrid* tight = CreateSectionGrid(canvas.dc, &rect, &gApp.font, 2);
        IndexText text = index.Take();
        FailAllocationsAfter(allowed);
        int result = LayoutIndex(tight, text, true);
        FailAllocationsAfter(-1);
        EXPECT_TRUE(result == kGridDone || result == kGridNoMemory) << result;
        if (result == kGridNoMemory) {
            sawFailure = true;
            EXPECT_TRUE(TakeQuitMessage());
            EXPECT_LE(tight->rowCount, tight->capacity);
            EXPECT_EQ(tight->rows[tight->rowCount].style, 0);
        }
        DestroySectionGrid(tight, true);
        if (result == kGridDone) break;
    }
    SetMessageBoxSink(nullptr, nullptr);
    EXPECT_TRUE(sawFailure);
    EXPECT_GT(boxes, 0);
    ReleaseTextBuffers();
    EXPECT_EQ(HeapBytesInUse(), heapBefore);
    for (HBITMAP& bitmap : gApp.gridBitmaps) bitmap = nullptr;  // released by the save
}
