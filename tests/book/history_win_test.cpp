// Back, Forward and Go To in the reader's own window over the embedded book,
// and the status line under the panes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "app/app_state.h"
#include "app/desktop_frame.h"
#include "app/main_window.h"
#include "navigation/go_to_dialog.h"
#include "navigation/history.h"
#include "panes/split_view.h"
#include "panes/status_line.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "tests/book/book_reader_test.h"
#include "tests/support/first_paint_watch.h"
#include "tests/win/reader_test_support.h"

namespace {

const uint16_t kStartSection = 31;

// Whether the line at the top of `pane` holds the character at `offset`; in a
// reversed paragraph a line's reading starts at its stored end, so its start
// alone says little.
bool TopLineHolds(const TextPane* pane, int offset) {
    int rows = 0;
    const TextLine* line = pane->lines;
    while (line->flags && rows < pane->firstRow) {
        rows += (line->flags & kFlagParagraphEnd) ? 2 : 1;
        line++;
    }
    return line->flags && LineTextStart(line) <= offset && offset < LineTextEnd(line);
}

void RunScript(HWND dialog, void* script) { (*(std::function<void(HWND)>*)script)(dialog); }

class HistoryTest : public BookReaderTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenReader(kStartSection, 480, 640));
    }
    void GoTo(std::function<void(HWND)> script) {
        HWND reader = window;
        auto open = [](void* context) { SendMessageW(*(HWND*)context, WM_COMMAND, kGoToCommand, 0); };
        EXPECT_TRUE(ActAfterFirstPaint(L"Go To", open, &reader, RunScript, &script, 0));
    }
};

}  // namespace

TEST_F(HistoryTest, GoToThenBackAndForwardKeepTheTextAtTheTopAcrossARelayout) {
    for (int i = 0; i < 9; i++) SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    BookPlace first = CurrentPlace();
    int firstRow = gApp.mainPane->firstRow;
    ASSERT_EQ(firstRow, 9);

    GoTo([](HWND dialog) {
        SetDlgItemTextW(dialog, kGoToEditId, L"500");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        wchar_t said[128] = L"";
        GetDlgItemTextW(dialog, kGoToMessageId, said, 128);
        EXPECT_NE(wcsstr(said, L"500"), nullptr) << "the dialog says why it stays";
        EXPECT_EQ(gApp.lesson, kStartSection);
        SetDlgItemTextW(dialog, kGoToEditId, L"\u05E7\u05DE\u05D7");  // 148
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(gApp.lesson, 295);
    SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);  // a step, not a move
    EXPECT_EQ(gApp.lesson, 297);

    // Narrower lines: the same text lies on another row.
    SetWindowPos(window, nullptr, 0, 0, 360, 640, SWP_NOZORDER);
    SendMessageW(window, WM_APPCOMMAND, (WPARAM)window, MAKELPARAM(0, APPCOMMAND_BROWSER_BACKWARD));
    EXPECT_EQ(gApp.lesson, kStartSection);
    EXPECT_TRUE(TopLineHolds(gApp.mainPane, first.topOffset)) << "the same text at the top, wherever the lines break";
    EXPECT_GT(gApp.mainPane->firstRow, firstRow);
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0), 0);  // the keys still act on it

    SendMessageW(window, WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON2), 0);
    EXPECT_EQ(gApp.lesson, 297) << "forward returns to where the step had gone";
    SendMessageW(window, WM_COMMAND, kForwardCommand, 0);  // nothing ahead
    EXPECT_EQ(gApp.lesson, 297);
    EXPECT_EQ(ReaderHistory()->count, 2);
}

TEST_F(HistoryTest, StatusLineLiesUnderThePanesAndShowsThePlace) {
    RECT line = StatusLineRect();
    ASSERT_EQ(line.bottom - line.top, StatusLineHeightPx());
    EXPECT_LE(gSplit.bottomPane->top + gSplit.bottomPane->height, line.top);
    RECT bar;
    GetWindowRect(gSplit.bottomScrollBar, &bar);
    MapWindowPoints(nullptr, window, (POINT*)&bar, 2);
    EXPECT_LE(bar.bottom, line.top);

    // Drawn into a bitmap in each theme: its ground, ink at the left (the
    // place) and at the right (a short heading), none between.
    HDC paneDc = gApp.mainPane->dc;
    HDC memory = CreateCompatibleDC(paneDc);
    HBITMAP bitmap = CreateCompatibleBitmap(paneDc, line.right, line.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (int theme : {kThemeLight, kThemeSepia, kThemeDark}) {
        gView.theme = theme;
        const Palette& palette = CurrentPalette();
        gApp.mainPane->dc = memory;
        PaintStatusLine();
        gApp.mainPane->dc = paneDc;
        auto inkBetween = [&](int fromX, int toX) {
            int ink = 0;
            for (int x = fromX; x < toX; x++)
                for (int y = line.top + 1; y < line.bottom; y++) ink += GetPixel(memory, x, y) != palette.statusBack;
            return ink;
        };
        EXPECT_EQ(GetPixel(memory, line.right / 2, line.bottom - 1), palette.statusBack) << theme;
        EXPECT_GT(inkBetween(0, line.right / 4), 20) << theme;
        EXPECT_GT(inkBetween(line.right * 3 / 4, line.right), 20) << theme;
        EXPECT_EQ(inkBetween(line.right / 2 - 10, line.right / 2 + 10), 0) << theme;
    }
    gView.theme = kThemeLight;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);

    // Full screen takes it away with the menu and the tool bar, and gives it back.
    int lineHeight = StatusLineHeightPx();
    ToggleFullScreen(window);
    ASSERT_TRUE(InFullScreen());
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(StatusLineHeightPx(), 0);
    EXPECT_GT(gSplit.bottomPane->top + gSplit.bottomPane->height, client.bottom - lineHeight);
    LeaveFullScreen(window);
    line = StatusLineRect();
    EXPECT_GT(line.bottom - line.top, 0);
    EXPECT_LE(gSplit.bottomPane->top + gSplit.bottomPane->height, line.top);

    EXPECT_EQ(ReadingPercent(10, 40), 25);
    EXPECT_EQ(ReadingPercent(0, 0), 100) << "a section that fits is seen whole";
}
