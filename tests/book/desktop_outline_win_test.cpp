// The reader on a desktop's screen: the chooser and the font dialog open at a
// size of their own over a maximised window (and still take a handheld-sized
// one), and the outline shows in a panel beside the text: F9, clicks, the
// mark that follows the reader, F6, the dragged width, full screen, a
// bookmark that shows in the chooser and the panel at once, and a restart.
//
// The LargeScreen tests need a screen of 1920 x 1080; ctest runs them on one
// of their own (tests/CMakeLists.txt), and elsewhere they are skipped.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "app/app_state.h"
#include "app/desktop_frame.h"
#include "app/main_window.h"
#include "app/view_scale.h"
#include "fontdialog/font_dialog.h"
#include "navigation/outline_panel.h"
#include "navigation/section_chooser.h"
#include "navigation/section_grid.h"
#include "navigation/section_outline.h"
#include "panes/split_view.h"
#include "panes/status_line.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/dialog_shell.h"
#include "platform/dpi.h"
#include "resources/resource_ids.h"
#include "tests/book/book_reader_test.h"
#include "tests/support/first_paint_watch.h"

namespace {

const UINT kBookmarkCommand = 123;
const UINT kFullScreenCommand = 143;
const UINT kFontCommand = 40006;

void RunScript(HWND dialog, void* script) { (*(std::function<void(HWND)>*)script)(dialog); }

// Opens the dialog by its command and runs the script once it has painted.
void WithDialog(HWND window, UINT command, const wchar_t* title, std::function<void(HWND)> script) {
    struct Opening {
        HWND window;
        UINT command;
    } opening = {window, command};
    auto open = [](void* context) {
        Opening* o = (Opening*)context;
        SendMessageW(o->window, WM_COMMAND, o->command, 0);
    };
    EXPECT_TRUE(ActAfterFirstPaint(title, open, &opening, RunScript, &script, 0)) << title;
}

RECT WindowRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

// The rectangle of a child in its parent's client area.
RECT ChildRect(HWND child) {
    RECT rect = WindowRect(child);
    MapWindowPoints(nullptr, GetParent(child), (POINT*)&rect, 2);
    return rect;
}

bool IsVisibleRow(const GridRow& row) { return (row.style & kIndexVisible) != 0; }

// The top of the grid's row `index` as drawn, or -1 when it is not among the
// rows that fit.
int DrawnRowTop(const SectionGrid* grid, int index) {
    int top = grid->y;
    for (int i = GridStartRow(grid); i < grid->rowCount && top + grid->rows[i].height <= grid->y + grid->height; i++) {
        if (!IsVisibleRow(grid->rows[i])) continue;
        if (i == index) return top;
        top += grid->rows[i].height;
    }
    return -1;
}

// Whether the link to the marked section is drawn, and where.
POINT MarkedRowPoint(const SectionGrid* grid) {
    for (int i = 0; i < grid->rowCount; i++) {
        if (!IsVisibleRow(grid->rows[i]) || !IsMarkedRow(grid, grid->rows[i])) continue;
        int top = DrawnRowTop(grid, i);
        if (top >= 0) return POINT{grid->rows[i].x + 1, top + grid->rows[i].height / 2};
    }
    return POINT{-1, -1};
}

// A drawn link other than the marked one, whose section is `*section`.
POINT OtherLinkPoint(const SectionGrid* grid, int* section) {
    for (int i = 0; i < grid->rowCount; i++) {
        const GridRow& row = grid->rows[i];
        if (!IsVisibleRow(row) || !(row.id & kIndexLinkBit) || IsMarkedRow(grid, row)) continue;
        int top = DrawnRowTop(grid, i);
        if (top < 0) continue;
        *section = row.id & kIndexNumberMask;
        return POINT{row.x + 1, top + row.height / 2};
    }
    return POINT{-1, -1};
}

bool HasBookmarkGroup(const SectionGrid* grid) {
    return grid && grid->rowCount > 0 && grid->rows[0].id == kBookmarkGroupId;
}

int CountPixels(HWND window, COLORREF colour) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    int count = 0;
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2) count += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return count;
}

// The keys of the accelerator table, as the message loop hands them on.
void PressAccelerated(HWND window, WPARAM key) {
    HACCEL accelerators = LoadAcceleratorsW(gApp.instance, MAKEINTRESOURCEW(IDA_LORVAN));
    MSG message = {window, WM_KEYDOWN, key, 0, 0, {0, 0}};
    EXPECT_TRUE(TranslateAcceleratorW(window, accelerators, &message)) << key;
}

class DesktopOutline : public BookReaderTest {
protected:
    // The reader as a maximised window stands: over the work area.
    void OpenMaximised(DWORD section) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        ASSERT_NO_FATAL_FAILURE(OpenReader(section, work.right - work.left, work.bottom - work.top));
        SetWindowPos(window, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                     SWP_NOZORDER);
    }
    // The reader closed, its settings saved, and started again on them.
    void Restart() {
        RECT rect = WindowRect(window);
        DestroyWindow(window);
        EndReader();
        TakeQuitMessage();
        ResetProgramState();
        window = StartReader(GetModuleHandleW(nullptr), SW_SHOWNA);
        ASSERT_NE(window, nullptr);
        SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER);
    }
    int Dpi() const { return WindowDpi(window); }
};

class LargeScreen : public DesktopOutline {
protected:
    void SetUp() override {
        if (GetSystemMetrics(SM_CXSCREEN) < 1920 || GetSystemMetrics(SM_CYSCREEN) < 1080)
            GTEST_SKIP() << "needs a screen of 1920 x 1080";
        ASSERT_NO_FATAL_FAILURE(OpenMaximised(31));
    }
};

// The dialog is a proper desktop one: its size, its caption and close box,
// centred over the reader, within the work area.
void ExpectDesktopDialog(HWND dialog, HWND reader, int widthPx, int heightPx) {
    RECT rect = WindowRect(dialog), owner = WindowRect(reader);
    EXPECT_EQ(rect.right - rect.left, widthPx);
    EXPECT_EQ(rect.bottom - rect.top, heightPx);
    EXPECT_NEAR(rect.left + rect.right, owner.left + owner.right, 2);
    EXPECT_NEAR(rect.top + rect.bottom, owner.top + owner.bottom, 2);
    LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME), WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
}

}  // namespace

TEST_F(LargeScreen, TheChooserAndTheFontDialogOpenAtTheirOwnSizeOverAMaximisedReader) {
    int dpi = Dpi();
    WithDialog(window, kChooseSectionCommand, L"Choose Section", [&](HWND dialog) {
        ExpectDesktopDialog(dialog, window, ScalePx(420, dpi), ScalePx(560, dpi));
        // Resized, the outline is laid out again for the new width.
        const SectionGrid* grid = OpenChooserGrid();
        ASSERT_NE(grid, nullptr);
        int gridWidthPx = grid->width;
        SetWindowPos(dialog, nullptr, 0, 0, ScalePx(600, dpi), ScalePx(700, dpi), SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(grid->width, gridWidthPx + ScalePx(600, dpi) - ScalePx(420, dpi));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    // The size is kept for the next opening.
    WithDialog(window, kChooseSectionCommand, L"Choose Section", [&](HWND dialog) {
        ExpectDesktopDialog(dialog, window, ScalePx(600, dpi), ScalePx(700, dpi));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    WithDialog(window, kFontCommand, L"Choose Font", [&](HWND dialog) {
        ExpectDesktopDialog(dialog, window, ScalePx(560, dpi), ScalePx(440, dpi));
        // The face list takes two thirds of the width it has, not of the reader's.
        RECT client, faces = ChildRect(GetDlgItem(dialog, IDC_FONT_FACES));
        GetClientRect(dialog, &client);
        EXPECT_LT(faces.right, client.right * 3 / 4);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    // Full screen gives the page the whole screen, and the chooser too.
    SendMessageW(window, WM_COMMAND, kFullScreenCommand, 0);
    WithDialog(window, kChooseSectionCommand, L"Choose Section", [&](HWND dialog) {
        RECT rect = WindowRect(dialog), owner = WindowRect(window);
        EXPECT_TRUE(EqualRect(&rect, &owner));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(LargeScreen, ThePanelShowsBesideTheTextFollowsTheReaderAndComesBack) {
    PressAccelerated(window, VK_F9);
    HWND panel = OutlinePanelWindow();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(IsWindowVisible(panel));
    RECT client, rect = ChildRect(panel);
    GetClientRect(window, &client);
    // At the right edge, under the tool bar, down to the foot, a quarter wide.
    EXPECT_EQ(rect.right, client.right);
    EXPECT_EQ(rect.top, gApp.menuBarHeight);
    EXPECT_EQ(rect.bottom, client.bottom);
    EXPECT_EQ(rect.right - rect.left, client.right / 4);
    // Nothing of the panes under it: the panes, their bars, the divider's
    // line and the status line all end left of it.
    int scrollBarPx = ScrollBarWidth(Dpi());
    EXPECT_LE(gApp.mainPane->left + gApp.mainPane->width + scrollBarPx, rect.left);
    EXPECT_LE(gSplit.bottomRect.right + scrollBarPx, rect.left);
    EXPECT_LE(ChildRect(gSplit.mainScrollBar).right, rect.left);
    EXPECT_LE(ChildRect(gSplit.bottomScrollBar).right, rect.left);
    EXPECT_EQ(StatusLineRect().right, rect.left);

    // The current section is marked, in sight, in the theme's selection colours.
    UpdateWindow(panel);
    const SectionGrid* grid = OutlinePanelGrid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->markedSection, 31);
    EXPECT_GE(MarkedRowPoint(grid).x, 0);
    EXPECT_GT(CountPixels(panel, CurrentPalette().selectBack), 100);

    // A click on another link goes there; the panel stays, the mark moves.
    int section = 0;
    POINT link = OtherLinkPoint(grid, &section);
    ASSERT_GE(link.x, 0);
    SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(link.x, link.y));
    SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(link.x, link.y));
    EXPECT_EQ(gApp.lesson, section);
    EXPECT_TRUE(IsWindowVisible(panel));
    EXPECT_EQ(grid->markedSection, section);

    // Stepping through the book keeps the mark on the current section, in sight.
    for (int step = 0; step < 40; step++) {
        SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
        grid = OutlinePanelGrid();
        ASSERT_EQ(grid->markedSection, gApp.lesson);
        ASSERT_GE(MarkedRowPoint(grid).x, 0) << "section " << gApp.lesson;
    }

    // F6 takes the keyboard to the panel and back; the panel's keys are the chooser's.
    // F6 goes round: the commentary, the panel, the main pane.
    SetFocus(window);
    SendMessageW(window, WM_KEYDOWN, VK_F6, 0);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(gSplit.activePane, gSplit.bottomPane);
    SendMessageW(window, WM_KEYDOWN, VK_F6, 0);
    EXPECT_EQ(GetFocus(), panel);
    auto edgePixel = [&]() {
        HDC dc = GetDC(panel);
        COLORREF pixel = GetPixel(dc, ScalePx(2, Dpi()), 100);
        ReleaseDC(panel, dc);
        return pixel;
    };
    EXPECT_EQ(edgePixel(), CurrentPalette().accent) << "the edge shows where the keyboard is";
    int firstRow = grid->firstRow;
    SendMessageW(panel, WM_KEYDOWN, grid->firstRow > 0 ? VK_UP : VK_DOWN, 0);
    if (grid->lastFirstRow > 0) {
        EXPECT_NE(grid->firstRow, firstRow);
    }
    SendMessageW(panel, WM_KEYDOWN, VK_F6, 0);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(gSplit.activePane, gApp.mainPane);
    EXPECT_NE(edgePixel(), CurrentPalette().accent);

    // Its edge dragged: the width follows, within 15 to 50 percent.
    SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 200));
    SendMessageW(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((WORD)(short)(1 - client.right / 10), 200));
    SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(1, 200));
    EXPECT_EQ(gView.outlinePanelPercent, 35);
    EXPECT_EQ(ChildRect(panel).left, client.right - client.right * 35 / 100);
    EXPECT_LE(gApp.mainPane->left + gApp.mainPane->width + scrollBarPx, ChildRect(panel).left);
    SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 200));
    SendMessageW(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((WORD)(short)-1500, 200));
    SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(1, 200));
    EXPECT_EQ(gView.outlinePanelPercent, 50);

    // The theme and the zoom reach it.
    SendMessageW(window, WM_COMMAND, kCommandThemeDark, 0);
    UpdateWindow(panel);
    EXPECT_GT(CountPixels(panel, ThemePalette(kThemeDark).page), 1000);
    int rowHeightPx = OutlinePanelGrid()->rows[0].height;
    SendMessageW(window, WM_COMMAND, kZoomInCommand, 0);
    UpdateWindow(panel);
    EXPECT_EQ(OutlinePanelGrid()->fontSpec.size, gApp.font.size);
    EXPECT_GT(OutlinePanelGrid()->rows[0].height, rowHeightPx);
    EXPECT_EQ(OutlinePanelGrid()->markedSection, gApp.lesson);

    // Full screen hides it and gives the panes the width; leaving brings it back.
    int framedWidth = gApp.mainPane->width;
    SendMessageW(window, WM_COMMAND, kFullScreenCommand, 0);
    EXPECT_FALSE(IsWindowVisible(panel));
    EXPECT_EQ(gSplit.outlinePanelPx, 0);
    EXPECT_GT(gApp.mainPane->width, framedWidth);
    SendMessageW(window, WM_COMMAND, kFullScreenCommand, 0);
    EXPECT_TRUE(IsWindowVisible(panel));

    // After a restart it shows as it was left, at the width it was given.
    uint16_t lesson = gApp.lesson;
    ASSERT_NO_FATAL_FAILURE(Restart());
    panel = OutlinePanelWindow();
    ASSERT_TRUE(panel && IsWindowVisible(panel));
    GetClientRect(window, &client);
    EXPECT_EQ(ChildRect(panel).right - ChildRect(panel).left, client.right / 2);
    EXPECT_EQ(OutlinePanelGrid()->markedSection, lesson);
    // F9 hides it, and the panes take the whole width again.
    PressAccelerated(window, VK_F9);
    EXPECT_FALSE(IsWindowVisible(panel));
    EXPECT_GT(gApp.mainPane->left + gApp.mainPane->width + scrollBarPx, client.right * 3 / 4);
}

// One outline, two places: a bookmark set while the chooser is open shows at
// the head of the chooser's outline and the panel's at once.
TEST_F(LargeScreen, ABookmarkShowsInTheChooserAndThePanelAtOnce) {
    SendMessageW(window, WM_COMMAND, kOutlinePanelCommand, 0);
    ASSERT_FALSE(HasBookmarkGroup(OutlinePanelGrid()));
    WithDialog(window, kChooseSectionCommand, L"Choose Section", [&](HWND dialog) {
        EXPECT_FALSE(HasBookmarkGroup(OpenChooserGrid()));
        SendMessageW(window, WM_COMMAND, kBookmarkCommand, 0);
        EXPECT_TRUE(HasBookmarkGroup(OpenChooserGrid()));
        EXPECT_TRUE(HasBookmarkGroup(OutlinePanelGrid()));
        EXPECT_EQ(OpenChooserGrid()->markedSection, 31);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(OutlinePanelGrid()->markedSection, 31);
}

// A window of a handheld's size keeps the design's full-window dialogs.
TEST_F(DesktopOutline, AtAHandheldsSizeTheDialogsStillTakeTheWindow) {
    ASSERT_NO_FATAL_FAILURE(OpenReader(31, 240, 320));
    RECT client;
    GetClientRect(window, &client);
    ASSERT_LE(client.right, ScalePx(kHandheldWidthPx96, Dpi()));
    for (UINT command : {kChooseSectionCommand, kFontCommand}) {
        WithDialog(window, command, command == kFontCommand ? L"Choose Font" : L"Choose Section", [&](HWND dialog) {
            RECT rect = WindowRect(dialog), owner = WindowRect(window), covered;
            EXPECT_TRUE(IntersectRect(&covered, &rect, &owner) && EqualRect(&covered, &owner)) << command;
            EXPECT_FALSE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_THICKFRAME);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    }
}
