// The reading place in the reader's own window over the embedded book: zoom
// by command, by Ctrl and the wheel and back to the chosen size, and a
// maximised and restored window, all keep the text of each pane's top line.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/view_scale.h"
#include "panes/pane_paint.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/desktop.h"
#include "tests/book/book_reader_test.h"
#include "tests/win/reader_test_support.h"

namespace {

const int kReaderWidthPx = 360;
const int kReaderHeightPx = 520;

// The first character read on the line shown first, found the long way: rows
// counted from the top, a reversed paragraph read from its stored end.
int TopCharacter(const TextPane* pane) {
    int rows = 0;
    const TextLine* line = pane->lines;
    while (line->flags && rows < pane->firstRow) rows += (line++->flags & kFlagParagraphEnd) ? 2 : 1;
    if (!line->flags) return -1;
    return (line->flags & kFlagReversed) ? LineTextEnd(line) - 1 : LineTextStart(line);
}

// A first row on the blank row after a paragraph shows the next line first,
// and comes back as that line's row.
bool OnBlankRow(const TextPane* pane) {
    int rows = 0;
    for (const TextLine* line = pane->lines; line->flags; line++) {
        rows += (line->flags & kFlagParagraphEnd) ? 2 : 1;
        if (rows > pane->firstRow) return rows - 1 == pane->firstRow && (line->flags & kFlagParagraphEnd);
    }
    return false;
}

bool TopLineHolds(const TextPane* pane, int offset) {
    int rows = 0;
    const TextLine* line = pane->lines;
    while (line->flags && rows < pane->firstRow) rows += (line++->flags & kFlagParagraphEnd) ? 2 : 1;
    return line->flags && LineTextStart(line) <= offset && offset < LineTextEnd(line);
}

class ReadingPlaceTest : public BookReaderTest {
protected:
    TextPane* panes[2] = {};
    int places[2] = {};
    int rows[2] = {};

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenReader(15, kReaderWidthPx, kReaderHeightPx));
        panes[0] = gApp.mainPane;
        panes[1] = gSplit.bottomPane;
        // Well inside both texts, where no end of the section is near.
        ScrollTo(0, 9);
        ScrollTo(1, 5);
    }
    void ScrollTo(int pane, int row) {
        ASSERT_GT(panes[pane]->lastFirstRow, row + 10);
        ScrollPane(panes[pane], row - panes[pane]->firstRow, 0);
        if (OnBlankRow(panes[pane])) ScrollPane(panes[pane], 1, 0);
        places[pane] = TopCharacter(panes[pane]);
        rows[pane] = panes[pane]->firstRow;
    }
    void ExpectPlacesKept(const char* after) {
        for (int i = 0; i < 2; i++) EXPECT_TRUE(TopLineHolds(panes[i], places[i])) << after << ", pane " << i;
    }
    void ExpectRowsBack(const char* after) {
        for (int i = 0; i < 2; i++) EXPECT_EQ(panes[i]->firstRow, rows[i]) << after << ", pane " << i;
    }
    void Command(UINT command) { SendMessageW(window, WM_COMMAND, command, 0); }
    void CtrlWheel(int delta) {
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, (WORD)(short)delta), MAKELPARAM(10, 10));
    }
};

}  // namespace

TEST_F(ReadingPlaceTest, ZoomStepsKeepTheTopLinesTextInBothPanes) {
    Command(kZoomInCommand);
    EXPECT_EQ(gApp.font.size, 18);
    ExpectPlacesKept("zoom in");
    CtrlWheel(WHEEL_DELTA / 2);  // half a notch does nothing yet
    EXPECT_EQ(gApp.font.size, 18);
    CtrlWheel(WHEEL_DELTA / 2 + WHEEL_DELTA);  // with the half before, two notches
    EXPECT_EQ(gApp.font.size, 22);
    ExpectPlacesKept("Ctrl and the wheel");
    Command(kZoomOutCommand);
    EXPECT_EQ(gApp.font.size, 20);
    ExpectPlacesKept("zoom out");
    Command(kActualSizeCommand);
    EXPECT_EQ(gApp.font.size, 17);
    ExpectRowsBack("actual size");
    // The panes draw what they say: their fonts follow the size.
    EXPECT_EQ(gApp.mainPane->fontSpec.size, 17);
    EXPECT_EQ(gSplit.bottomPane->fontSpec.size, 17);
    for (int i = 0; i < 20; i++) Command(kZoomInCommand);
    EXPECT_EQ(gApp.font.size, 72);  // the largest size Choose Font lists
}

TEST_F(ReadingPlaceTest, MaximiseAndRestoreKeepTheTopLinesText) {
    RECT work = WorkAreaNear(nullptr);
    SetWindowPos(window, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top, SWP_NOZORDER);
    ExpectPlacesKept("maximised");
    SetWindowPos(window, nullptr, 0, 0, kReaderWidthPx, kReaderHeightPx, SWP_NOZORDER);
    ExpectRowsBack("restored");
}

// A move to a screen of another resolution (the message Windows sends then):
// the window takes the suggested rectangle, and text, tool images and bar
// are made anew for the resolution, the reading place kept.
TEST_F(ReadingPlaceTest, ANewResolutionDrawsEverythingAnewInPlace) {
    int barPx = gApp.menuBarHeight;
    int titleRowPx = gApp.mainPane->lines[0].height;
    RECT suggested = {10, 20, 10 + kReaderWidthPx * 3 / 2, 20 + kReaderHeightPx * 7 / 5};  // within the screen
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), (LPARAM)&suggested);
    EXPECT_EQ(gApp.font.dpi, 192);
    RECT now;
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    EXPECT_GE(gApp.menuBarHeight, barPx * 3 / 2);
    EXPECT_NEAR(gApp.mainPane->lines[0].height, 2 * titleRowPx, 2);
    EXPECT_EQ(gSplit.bottomPane->fontSpec.dpi, 192);
    ExpectPlacesKept("192 DPI");
    RECT back = {0, 0, kReaderWidthPx, kReaderHeightPx};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(96, 96), (LPARAM)&back);
    EXPECT_EQ(gApp.menuBarHeight, barPx);
    ExpectRowsBack("96 DPI again");
}
