// The split view, the scroll bars, taps, keys and commands, on real windows
// with the test sections 1 (short) and 2 (long) of this program's resources.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "content/section_store.h"
#include "panes/pane_paint.h"
#include "panes/pane_pointer.h"
#include "panes/pane_select.h"
#include "panes/split_view.h"
#include "panes/status_line.h"
#include "panes/text_layout.h"
#include "panes/text_pane.h"
#include "platform/desktop.h"
#include "platform/services.h"
#include "tests/win/reader_test_support.h"

namespace {

const wchar_t kTestClass[] = L"LorvanTestMain";

class ReaderWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetReaderForTest();
        gApp.lesson = 1;
        RegisterMainClass(gApp.instance, kTestClass);
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
        TakeQuitMessage();
        SetScrollBarWidthForTest(0);
        ResetSettingsSaved();  // closing the reader ended the program, which stops painting
    }
    // The reader's own window, with the real menu bar, panes and scroll bars.
    void OpenReader(int widthPx, int heightPx) {
        window = CreateWindowExW(0, kTestClass, L"", WS_POPUP, 0, 0, widthPx, heightPx, nullptr, nullptr,
                                 gApp.instance, nullptr);
        ASSERT_NE(window, nullptr);
        RECT client;
        GetClientRect(window, &client);
        OnSize(window, MAKELPARAM(client.right, client.bottom));
        RestoreSavedRows();  // as the reader does once its window is shown
        RepaintView(window, kRepaintAll);
    }
    // Both panes show the long section, so that there is room to scroll.
    void LoadLongSection() {
        LayoutSection(gApp.mainPane, LoadSectionText(2, nullptr), 1);
        LayoutSection(gSplit.bottomPane, LoadSectionText(2, nullptr), 1);
        RepaintView(window, kRepaintAll);
        ASSERT_GT(gApp.mainPane->lastFirstRow, 20);
        ASSERT_GT(gSplit.bottomPane->lastFirstRow, 20);
    }
    int ScrollBarPos(HWND bar) { return GetScrollPos(bar, SB_CTL); }
    // The pointer's messages: a press, a move with the button held, a release.
    void Press(POINT at) { SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y)); }
    void MoveTo(POINT at) { SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y)); }
    void Release(POINT at) { SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y)); }
    void Click(int x, int y) {
        Press({x, y});
        Release({x, y});
    }
    TextPane* Main() { return gApp.mainPane; }
    TextPane* Bottom() { return gSplit.bottomPane; }

    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    HWND window = nullptr;
};

RECT ClientRectOf(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND PlainWindow(int widthPx, int heightPx) {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, widthPx, heightPx, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TEST(SplitSizes, BottomPaneHeightFollowsTheCode) {
    gSplit.bottomSection = 12;
    EXPECT_EQ(BottomPaneHeight(301), 150);
    gSplit.bottomSection = 23;
    EXPECT_EQ(BottomPaneHeight(300), 200);
    gSplit.bottomSection = 34;
    EXPECT_EQ(BottomPaneHeight(301), 225);
    gSplit.bottomSection = 1;
    EXPECT_EQ(BottomPaneHeight(301), 0);
    gSplit.bottomSection = 20;  // never stored, but must not divide by zero
    EXPECT_EQ(BottomPaneHeight(301), 0);
    gSplit.bottomSection = 12;
}

TEST(SplitSizes, ScrollCodesGiveTheirDeltas) {
    const int rows = 10;
    const int first = 4;
    EXPECT_EQ(ScrollDelta(SB_LINEUP, rows, first), -1);
    EXPECT_EQ(ScrollDelta(SB_LINEDOWN, rows, first), 1);
    EXPECT_EQ(ScrollDelta(SB_PAGEUP, rows, first), -9);
    EXPECT_EQ(ScrollDelta(SB_PAGEDOWN, rows, first), 9);
    EXPECT_EQ(ScrollDelta(MAKEWPARAM(SB_THUMBPOSITION, 12), rows, first), 8);
    EXPECT_EQ(ScrollDelta(MAKEWPARAM(SB_THUMBTRACK, 1), rows, first), -3);
    EXPECT_EQ(ScrollDelta(SB_TOP, rows, first), -4);
    EXPECT_EQ(ScrollDelta(SB_BOTTOM, rows, first), 1);
    EXPECT_EQ(ScrollDelta(SB_ENDSCROLL, rows, first), 0);
    // A pane that shows a single row still pages by one.
    EXPECT_EQ(ScrollDelta(SB_PAGEDOWN, 1, first), 1);
    EXPECT_EQ(ScrollDelta(SB_PAGEUP, 1, first), -1);
}

TEST(Sections, StepsWrapAroundTheBook) {
    EXPECT_EQ(SteppedSection(355, 2), 1);
    EXPECT_EQ(SteppedSection(1, -2), 355);
    EXPECT_EQ(SteppedSection(37, 2), 39);
    EXPECT_EQ(SteppedSection(37, -2), 35);
    EXPECT_EQ(SteppedSection(356, 2), 1);  // an even stored section steps too
    EXPECT_EQ(PageRows(20, 1), 19);
    EXPECT_EQ(PageRows(20, 2), 10);
    EXPECT_EQ(PageRows(21, 4), 10);
    EXPECT_EQ(PageRows(1, 0), 1);  // never 0, nor backwards before the first paint
    EXPECT_EQ(PageRows(1, 2), 1);
    EXPECT_EQ(PageRows(0, 0), 1);
}

TEST_F(ReaderWindowTest, WorkedLayoutExample) {
    gApp.menuBarOnBottom = 1;
    gApp.menuBarHeight = 26;
    gApp.gutter = 4;
    SetScrollBarWidthForTest(13);
    window = PlainWindow(240, 268);
    ASSERT_EQ(CreatePanes(window), 0);
    EXPECT_EQ(Main()->left, 4);
    EXPECT_EQ(Main()->top, 4);
    EXPECT_EQ(Main()->width, 228);
    EXPECT_EQ(Main()->height, 230);
    EXPECT_EQ(gSplit.bottomRect.left, 4);

    OnSize(window, MAKELPARAM(240, 268));
    EXPECT_EQ(Main()->width, 219);
    EXPECT_EQ(Main()->height, 115);
    EXPECT_EQ(gSplit.bottomRect.left, 4);
    EXPECT_EQ(gSplit.bottomRect.top, 122);
    EXPECT_EQ(gSplit.bottomRect.right, 223);
    EXPECT_EQ(gSplit.bottomRect.bottom, 234);
    EXPECT_EQ(Bottom()->top, 124);
    EXPECT_EQ(Bottom()->width, 219);
    EXPECT_EQ(Bottom()->height, 116);
    RECT mainBar = ClientRectOf(gSplit.mainScrollBar);
    EXPECT_EQ(mainBar.left, 227);
    EXPECT_EQ(mainBar.top, -2);
    EXPECT_EQ(mainBar.right - mainBar.left, 13);
    EXPECT_EQ(mainBar.bottom - mainBar.top, 121);
    RECT bottomBar = ClientRectOf(gSplit.bottomScrollBar);
    EXPECT_EQ(bottomBar.left, 227);
    EXPECT_EQ(bottomBar.top, 120);
    EXPECT_EQ(bottomBar.bottom - bottomBar.top, 122);

    // The light background and the red line, drawn into a bitmap of the client's size.
    HDC memory = CreateCompatibleDC(Bottom()->dc);
    HBITMAP bitmap = CreateCompatibleBitmap(Bottom()->dc, 240, 268);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, 240, 268, WHITENESS);
    HDC paneDc = Bottom()->dc;
    Bottom()->dc = memory;
    PaintBottomArea(memory);
    Bottom()->dc = paneDc;
    EXPECT_EQ(GetPixel(memory, 0, 119), kSeparatorColour);
    EXPECT_EQ(GetPixel(memory, 239, 119), kSeparatorColour);
    EXPECT_EQ(GetPixel(memory, 0, 120), kBottomBackground);
    EXPECT_EQ(GetPixel(memory, 226, 241), kBottomBackground);
    EXPECT_EQ(GetPixel(memory, 227, 150), (COLORREF)0xFFFFFF);
    EXPECT_EQ(GetPixel(memory, 5, 118), (COLORREF)0xFFFFFF);
    EXPECT_EQ(GetPixel(memory, 5, 242), (COLORREF)0xFFFFFF);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseSharedDc(window);
    DestroyWindow(window);
    window = nullptr;
}

TEST_F(ReaderWindowTest, SizeCodesSplitTheHeight) {
    SetScrollBarWidthForTest(13);
    window = PlainWindow(240, 400);
    ASSERT_EQ(CreatePanes(window), 0);
    int width = 232;
    int height = 301;
    LayoutSplit(&width, &height);
    EXPECT_EQ(width, 219);
    EXPECT_EQ(height, 149);
    EXPECT_EQ(Bottom()->height, 149);
    gSplit.bottomSection = 23;
    width = 232;
    height = 300;
    LayoutSplit(&width, &height);
    EXPECT_EQ(height, 98);
    EXPECT_EQ(Bottom()->height, 199);
    gSplit.bottomSection = 1;  // none: the bottom pane keeps its size and moves below
    width = 232;
    height = 300;
    LayoutSplit(&width, &height);
    EXPECT_EQ(height, 298);
    EXPECT_EQ(Bottom()->height, 199);
    EXPECT_GT(Bottom()->top, Main()->top + height);
    ReleaseSharedDc(window);
    DestroyWindow(window);
    window = nullptr;
}

TEST_F(ReaderWindowTest, OpensOnTheStoredSectionAndPosition) {
    gApp.lastPosition = 3;
    gSplit.bottomSectionLastPosition = 5;
    OpenReader(300, 400);
    ASSERT_NE(Main(), nullptr);
    ASSERT_NE(Bottom(), nullptr);
    EXPECT_NE(Main()->text, nullptr);
    EXPECT_NE(Bottom()->text, nullptr);
    EXPECT_EQ(Bottom()->firstRow, 5);
    EXPECT_GT(Main()->rowsDrawn, 0);
    EXPECT_GT(Bottom()->rowsDrawn, 0);
    EXPECT_TRUE(boxes.shown.empty());
    HMENU marel = MenuOfBarButton(kMarelButtonCommand);
    EXPECT_EQ(GetMenuState(marel, 412, MF_BYCOMMAND) & MFT_RADIOCHECK, (UINT)MFT_RADIOCHECK);
}

TEST_F(ReaderWindowTest, MissingSectionShowsTheMessageAndStaysUp) {
    gApp.lesson = 9;
    OpenReader(300, 400);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Resource not found");
    EXPECT_EQ(boxes.shown[0].caption, L"Error");
    EXPECT_EQ(boxes.shown[0].flags, (UINT)MB_ICONEXCLAMATION);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(Main()->text, nullptr);
    SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0);  // nothing to scroll, nothing breaks
    Click(50, 50);
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_EQ(DispatchCommand(window, kCommandSelectAll), 0);
}

TEST_F(ReaderWindowTest, KeysScrollTheActivePane) {
    OpenReader(300, 300);
    LoadLongSection();
    int page = Main()->rowsDrawn - 1;  // key page field 1
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0), 0);
    EXPECT_EQ(Main()->firstRow, page);
    EXPECT_EQ(ScrollBarPos(gSplit.mainScrollBar), page);
    SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Main()->firstRow, page + 1);
    SendMessageW(window, WM_KEYDOWN, VK_UP, 0);
    SendMessageW(window, WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ(Main()->firstRow, 0);
    SendMessageW(window, WM_KEYDOWN, VK_HOME, 0);  // at the top: asks for -page, stays
    EXPECT_EQ(Main()->firstRow, 0);
    SendMessageW(window, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(Main()->firstRow, Main()->lastFirstRow);
    SendMessageW(window, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(Main()->firstRow, 0);
    EXPECT_EQ(Bottom()->firstRow, 0);

    gApp.flags = (gApp.flags & ~kFlagKeyPageStepMask) | (2u << kFlagKeyPageStepShift);
    int rowsAtTop = Main()->rowsDrawn;
    SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(Main()->firstRow, rowsAtTop / 2);

    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, 'A', 0), 1);
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0), 0);  // empty search string
}

TEST_F(ReaderWindowTest, ScrollBarsScrollTheirPaneAndMakeItActive) {
    OpenReader(300, 300);
    LoadLongSection();
    SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, (LPARAM)gSplit.bottomScrollBar);
    EXPECT_EQ(gSplit.activePane, Bottom());
    EXPECT_EQ(gSplit.activeScrollBar, gSplit.bottomScrollBar);
    EXPECT_EQ(Bottom()->firstRow, 1);
    EXPECT_EQ(ScrollBarPos(gSplit.bottomScrollBar), 1);
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 9), (LPARAM)gSplit.bottomScrollBar);
    EXPECT_EQ(Bottom()->firstRow, 9);
    SendMessageW(window, WM_VSCROLL, SB_BOTTOM, (LPARAM)gSplit.bottomScrollBar);
    EXPECT_EQ(Bottom()->firstRow, 10);
    SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);  // keys follow the active pane
    EXPECT_EQ(Bottom()->firstRow, 11);
    SendMessageW(window, WM_VSCROLL, SB_TOP, (LPARAM)gSplit.bottomScrollBar);
    EXPECT_EQ(Bottom()->firstRow, 0);
    EXPECT_EQ(Main()->firstRow, 0);

    int page = Main()->rowsDrawn - 1;
    SendMessageW(window, WM_VSCROLL, SB_PAGEDOWN, (LPARAM)gSplit.mainScrollBar);
    EXPECT_EQ(gSplit.activePane, Main());
    EXPECT_EQ(Main()->firstRow, page);

    gApp.flags &= ~kFlagScrollBarUpdates;  // the bars keep their state
    SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, (LPARAM)gSplit.mainScrollBar);
    EXPECT_EQ(Main()->firstRow, page + 1);
    EXPECT_EQ(ScrollBarPos(gSplit.mainScrollBar), page);
}

// The test window is a popup at the screen's corner, so a point of its client
// area is also the screen point that WM_MOUSEWHEEL carries.
TEST_F(ReaderWindowTest, WheelScrollsThePaneUnderThePointer) {
    OpenReader(300, 300);
    LoadLongSection();
    int rowsPerNotch = WheelScrollRows();
    ASSERT_GT(rowsPerNotch, 0);
    auto turn = [&](int delta, int x, int y) {
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(x, y));
    };
    int x = Main()->left + Main()->width / 2;
    int mainY = Main()->top + Main()->height / 2;
    int bottomY = Bottom()->top + Bottom()->height / 2;

    turn(-WHEEL_DELTA, x, bottomY);
    EXPECT_EQ(Bottom()->firstRow, rowsPerNotch);
    EXPECT_EQ(gSplit.activePane, Bottom());
    EXPECT_EQ(gSplit.activeScrollBar, gSplit.bottomScrollBar);
    EXPECT_EQ(ScrollBarPos(gSplit.bottomScrollBar), rowsPerNotch);
    SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);  // the keys follow it
    EXPECT_EQ(Bottom()->firstRow, rowsPerNotch + 1);

    // Half notches, as fine wheels send them, add up; turning back starts afresh.
    turn(-WHEEL_DELTA / 2, x, mainY);
    turn(-WHEEL_DELTA / 2, x, mainY);
    EXPECT_EQ(Main()->firstRow, rowsPerNotch);
    EXPECT_EQ(gSplit.activePane, Main());
    turn(2 * WHEEL_DELTA, x, mainY);
    EXPECT_EQ(Main()->firstRow, 0);
    EXPECT_EQ(ScrollBarPos(gSplit.mainScrollBar), 0);
    EXPECT_EQ(Bottom()->firstRow, rowsPerNotch + 1);

    // Over a scroll bar the wheel turns that bar's pane.
    RECT bar = ClientRectOf(gSplit.bottomScrollBar);
    turn(WHEEL_DELTA, (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    EXPECT_EQ(Bottom()->firstRow, 1);

    // Without a lower pane the point where it lay is no target: the active pane turns.
    DispatchCommand(window, 401);
    turn(-WHEEL_DELTA, x, Bottom()->top + 5);
    EXPECT_EQ(Main()->firstRow, rowsPerNotch);
    EXPECT_EQ(Bottom()->firstRow, 1);
}

TEST_F(ReaderWindowTest, HidingTheCommentaryMakesTheMainPaneActive) {
    OpenReader(300, 400);
    LoadLongSection();
    SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, (LPARAM)gSplit.bottomScrollBar);
    ASSERT_EQ(gSplit.activePane, Bottom());
    SendMessageW(window, WM_COMMAND, 401, 0);  // "&None"
    EXPECT_EQ(gSplit.activeScrollBar, gSplit.mainScrollBar);
    int page = Main()->rowsDrawn - 1;
    SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(Main()->firstRow, page);
    EXPECT_EQ(ScrollBarPos(gSplit.mainScrollBar), page);
    EXPECT_EQ(Bottom()->firstRow, 1);
}

TEST_F(ReaderWindowTest, TapsPageByTheMiddleOfEitherAxis) {
    OpenReader(300, 300);
    LoadLongSection();
    TextPane* bottom = Bottom();
    int rows = bottom->rowsDrawn;
    int x = bottom->left + bottom->width / 2;
    int lowY = bottom->top + bottom->height - 2;
    int highY = bottom->top + 2;
    Click(x, lowY);  // vertical axis, lower half
    EXPECT_EQ(gSplit.activePane, bottom);
    EXPECT_EQ(bottom->firstRow, rows - 1);
    EXPECT_EQ(ScrollBarPos(gSplit.bottomScrollBar), rows - 1);
    Click(x, highY);
    EXPECT_EQ(bottom->firstRow, 0);

    gApp.flags &= ~kFlagTapVertical;  // the horizontal middle decides
    gApp.flags = (gApp.flags & ~kFlagTapPageStepMask) | (4u << kFlagTapPageStepShift);
    int rightX = bottom->left + bottom->width - 2;
    Click(rightX, highY);
    EXPECT_EQ(bottom->firstRow, rows / 2);
    Click(bottom->left + 1, lowY);
    EXPECT_EQ(bottom->firstRow, 0);

    TextPane* main = Main();
    int mainRows = main->rowsDrawn;
    Click(main->left + main->width - 2, main->top + 2);
    EXPECT_EQ(gSplit.activePane, main);
    EXPECT_EQ(main->firstRow, mainRows / 2);

    gApp.flags &= ~kFlagTapPaging;  // a tap still chooses the pane, and scrolls nothing
    Click(x, lowY);
    EXPECT_EQ(gSplit.activePane, bottom);
    EXPECT_EQ(bottom->firstRow, 0);
}

namespace {
POINT CentreOf(const RECT& box) { return {(box.left + box.right) / 2, (box.top + box.bottom) / 2}; }
}  // namespace

TEST_F(ReaderWindowTest, DragsSelectClicksTurnPagesAndDoubleClicksTakeTheWord) {
    OpenReader(300, 300);
    LoadLongSection();
    TextPane* main = Main();
    int rows = main->rowsDrawn;
    const TextLine& first = main->lines[0];
    const TextLine& third = main->lines[2];
    RECT from, to;
    ASSERT_TRUE(CharacterBox(main, first.offset, &from));
    ASSERT_TRUE(CharacterBox(main, third.offset + third.length - 1, &to));
    Press(CentreOf(from));
    MoveTo({CentreOf(from).x + 1, CentreOf(from).y + 1});  // within the drag distance
    EXPECT_FALSE(HasSelection(main));
    MoveTo(CentreOf(to));
    Release(CentreOf(to));
    ASSERT_TRUE(HasSelection(main));
    EXPECT_EQ(main->selectAnchor, first.offset);
    EXPECT_EQ(main->selectFocus, third.offset + third.length - 1);
    EXPECT_EQ(main->firstRow, 0);

    // Copy takes the selection and its source line; no line ends in a space.
    EXPECT_EQ(DispatchCommand(window, kCommandCopy), 0);
    std::wstring copied = ClipboardUnicodeText();
    EXPECT_EQ(copied.substr(copied.size() - 5), L"\r\n1\r\n");  // the test section has no titles
    EXPECT_EQ(copied.find(L" \r\n"), std::wstring::npos);
    EXPECT_LT(copied.size(), 400u);

    // A click clears the selection and turns no page; the next click does.
    int x = main->left + main->width / 2;
    int lowY = main->top + main->height * 3 / 4;  // clear of the divider, which a press would drag
    Click(x, lowY);
    EXPECT_FALSE(HasSelection(main));
    EXPECT_EQ(main->firstRow, 0);
    Click(x, lowY);
    EXPECT_EQ(main->firstRow, rows - 1);
    // The second click of a double click turns that page back and takes the word.
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, lowY));
    Release({x, lowY});
    EXPECT_EQ(main->firstRow, 0);
    ASSERT_TRUE(HasSelection(main));
    SelectedStretches word = ResolveSelection(main);
    ASSERT_EQ(word.count, 1);
    for (int i = word.stretches[0].start; i < word.stretches[0].end; i++) EXPECT_NE(main->text[i], ' ');
    // A third press right after it takes the paragraph.
    Click(x, lowY);
    SelectedStretches paragraph = ResolveSelection(main);
    ASSERT_EQ(paragraph.count, 1);
    EXPECT_EQ(main->text[paragraph.stretches[0].end], 0);
    EXPECT_GT(paragraph.stretches[0].end - paragraph.stretches[0].start,
              word.stretches[0].end - word.stretches[0].start);
    EXPECT_EQ(main->firstRow, 0);

    // Escape clears it, and has nothing to do after that.
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_FALSE(HasSelection(main));
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0), 1);

    // A drag after a tap: a double click that follows it leaves the tap's page.
    Click(x, lowY);
    EXPECT_EQ(main->firstRow, rows - 1);
    Press({x, lowY});
    MoveTo({x, lowY - 40});
    Release({x, lowY - 40});
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, lowY));
    Release({x, lowY});
    EXPECT_EQ(main->firstRow, rows - 1);
}

TEST_F(ReaderWindowTest, OneSelectionAtATimeAutoScrolledAndDroppedWithTheSection) {
    OpenReader(300, 300);
    LoadLongSection();
    TextPane* main = Main();
    TextPane* bottom = Bottom();
    EXPECT_EQ(DispatchCommand(window, kCommandSelectAll), 0);  // the active pane: the main one
    EXPECT_TRUE(HasSelection(main));
    EXPECT_FALSE(HasSelection(bottom));

    // A drag in the commentary held at its edge scrolls it as it selects: a row
    // a tick just inside the edge (where a full-screen pane meets the
    // monitor's), more the further beyond it.
    RECT box;
    ASSERT_TRUE(CharacterBox(bottom, bottom->lines[0].offset, &box));
    Press(CentreOf(box));
    MoveTo({CentreOf(box).x, bottom->top + bottom->height - 2});
    EXPECT_FALSE(HasSelection(main));
    EXPECT_TRUE(HasSelection(bottom));
    EXPECT_EQ(gSplit.activePane, bottom);
    EXPECT_TRUE(OnPointerTimer(window, kAutoScrollTimer));
    EXPECT_EQ(bottom->firstRow, 1);
    POINT below = {CentreOf(box).x, bottom->top + bottom->height + 30};
    MoveTo(below);
    uint16_t focusBefore = bottom->selectFocus;
    EXPECT_TRUE(OnPointerTimer(window, kAutoScrollTimer));
    EXPECT_TRUE(OnPointerTimer(window, kAutoScrollTimer));
    EXPECT_EQ(bottom->firstRow, 5);  // two rows a tick, 30 px beyond the edge
    EXPECT_NE(bottom->selectFocus, focusBefore);
    // The real timer keeps ticking while the pointer keeps moving in the band.
    for (int i = 0; i < 20; i++) {
        MoveTo({below.x + i % 2, below.y});
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20;) {
            MSG message;
            while (PeekMessageW(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(5);
        }
    }
    EXPECT_GT(bottom->firstRow, 5);
    Release(below);
    EXPECT_TRUE(HasSelection(bottom));
    EXPECT_FALSE(OnPointerTimer(window, 1));  // not the pointer's timer

    // A new section drops it.
    EXPECT_EQ(GoToSection(window, 1), 0);
    EXPECT_FALSE(HasSelection(bottom));
}

TEST_F(ReaderWindowTest, GutterWidensPanesAboveAndAtTheSidesOnly) {
    OpenReader(300, 300);
    gApp.gutter = 4;
    TextPane* main = Main();
    EXPECT_TRUE(HitPane(main, main->left - 4, main->top - 4));
    EXPECT_TRUE(HitPane(main, main->left + main->width + 4, main->top + main->height));
    EXPECT_FALSE(HitPane(main, main->left - 5, main->top));
    EXPECT_FALSE(HitPane(main, main->left, main->top + main->height + 1));
    EXPECT_FALSE(HitPane(nullptr, 0, 0));
    gApp.gutter = 0;
}

TEST_F(ReaderWindowTest, SectionMovesKeepTheOldSectionWhenLoadingFails) {
    OpenReader(300, 300);
    uint8_t* mainText = Main()->text;
    uint8_t* bottomText = Bottom()->text;
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0), 0);  // section 3 is missing here
    EXPECT_EQ(gApp.lesson, 1);
    EXPECT_EQ(Main()->text, mainText);
    EXPECT_EQ(DispatchCommand(window, 110), 0);  // back from 1 is 355, missing too
    EXPECT_EQ(gApp.lesson, 1);
    EXPECT_EQ(GoToSection(window, 3), 1);

    Main()->firstRow = 2;
    EXPECT_EQ(GoToSection(window, kReloadSection), 0);  // main pane again, commentary untouched
    EXPECT_EQ(gApp.lesson, 1);
    EXPECT_EQ(Main()->firstRow, 0);
    EXPECT_NE(Main()->text, mainText);
    EXPECT_EQ(Bottom()->text, bottomText);
    EXPECT_EQ(GoToSection(window, 1), 0);
    EXPECT_NE(Bottom()->text, bottomText);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ReaderWindowTest, CommandsForSizeReverseAndExit) {
    OpenReader(300, 400);
    int mainHeight = Main()->height;
    EXPECT_EQ(SendMessageW(window, WM_COMMAND, 413, 0), 0);
    EXPECT_EQ(gSplit.bottomSection, 13);
    EXPECT_GT(Main()->height, mainHeight);
    HMENU marel = MenuOfBarButton(kMarelButtonCommand);
    EXPECT_EQ(GetMenuState(marel, 413, MF_BYCOMMAND) & MF_CHECKED, (UINT)MF_CHECKED);
    EXPECT_EQ(GetMenuState(marel, 412, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(DispatchCommand(window, 401), 0);
    RECT client;
    GetClientRect(window, &client);
    // None: the whole height above the status line, less 2.
    EXPECT_EQ(Main()->height, client.bottom - gApp.menuBarHeight - StatusLineHeightPx() - 2);
    // Its bar would lie on the menu bar; it is hidden until a lower pane comes back.
    EXPECT_EQ(GetWindowLongW(gSplit.bottomScrollBar, GWL_STYLE) & WS_VISIBLE, 0);
    DispatchCommand(window, 414);
    EXPECT_EQ(GetWindowLongW(gSplit.bottomScrollBar, GWL_STYLE) & WS_VISIBLE, (LONG)WS_VISIBLE);
    DispatchCommand(window, 401);
    EXPECT_EQ(DispatchCommand(window, 402), 1);
    EXPECT_EQ(DispatchCommand(window, 433), 1);
    EXPECT_EQ(gSplit.bottomSection, 1);

    HMENU go = MenuOfBarButton(kGoButtonCommand);
    EXPECT_EQ(DispatchCommand(window, 122), 0);
    EXPECT_TRUE(gApp.flags & kFlagReverse);
    EXPECT_EQ(GetMenuState(go, 122, MF_BYCOMMAND) & MF_CHECKED, (UINT)MF_CHECKED);
    DispatchCommand(window, 122);
    EXPECT_FALSE(gApp.flags & kFlagReverse);
    EXPECT_EQ(GetMenuState(go, 122, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(DispatchCommand(window, 40008), 1);  // no such command: default handling

    SendMessageW(window, WM_COMMAND, 40005, 0);
    EXPECT_FALSE(IsWindow(window));
    window = nullptr;
    EXPECT_TRUE(TakeQuitMessage());
    DWORD value = 0;
    EXPECT_TRUE(GetDword(kTestProgramKey, L"BottomSection", &value));
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(gApp.mainPane, nullptr);
    EXPECT_EQ(gSplit.bottomPane, nullptr);
}

TEST_F(ReaderWindowTest, LogOffSavesOnceAndTheCloseAfterItChangesNothing) {
    OpenReader(300, 300);
    gApp.lesson = 7;
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(TakeQuitMessage());
    DWORD value = 0;
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Lesson", &value));
    EXPECT_EQ(value, 7u);
    gApp.lesson = 9;
    DestroyWindow(window);
    window = nullptr;
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Lesson", &value));
    EXPECT_EQ(value, 7u);
}

// A bar is drawn again only when its thumb moves: a new section shown from
// its top leaves it as it was, a scrolled pane or a range that empties does not.
TEST_F(ReaderWindowTest, ScrollBarIsRedrawnOnlyWhenItsThumbMoves) {
    OpenReader(300, 300);
    LoadLongSection();
    ShowWindow(window, SW_SHOWNA);
    HWND bar = gSplit.mainScrollBar;
    auto updateAfter = [&](uint16_t lastFirstRow, uint16_t firstRow) {
        UpdateWindow(bar);
        Main()->lastFirstRow = lastFirstRow;
        Main()->firstRow = firstRow;
        UpdateScrollBars();
        return GetUpdateRect(bar, nullptr, FALSE) != FALSE;
    };
    updateAfter(40, 0);
    EXPECT_FALSE(updateAfter(60, 0));   // another range, the thumb still at the top
    EXPECT_TRUE(updateAfter(60, 6));
    EXPECT_FALSE(updateAfter(30, 3));   // the same share of the range
    EXPECT_TRUE(updateAfter(0, 0));     // nothing to scroll: the thumb goes
    EXPECT_TRUE(updateAfter(25, 0));
    EXPECT_EQ(ScrollBarPos(bar), 0);
}
