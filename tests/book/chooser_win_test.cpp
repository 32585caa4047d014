// The chooser over the embedded book, run by its command in the reader's own
// window: the scroll codes, keys and wheel of its outline, and what OK and
// Cancel return. Each run acts from inside the dialog's message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <functional>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "navigation/section_chooser.h"
#include "tests/support/first_paint_watch.h"
#include "tests/win/reader_test_support.h"

namespace {

void RunScript(HWND dialog, void* script) { (*(std::function<void(HWND)>*)script)(dialog); }

SCROLLINFO ScrollInfo(HWND dialog) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(dialog, SB_VERT, &info);
    return info;
}

int ScrollPos(HWND dialog) { return ScrollInfo(dialog).nPos; }

void Scroll(HWND dialog, WORD code, short position = 0) {
    SendMessageW(dialog, WM_VSCROLL, MAKEWPARAM(code, (WORD)position), 0);
}

class ChooserTest : public ::testing::Test {
protected:
    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    HWND window = nullptr;

    void SetUp() override {
        ResetProgramState();
        PutString(kTestProgramKey, L"FontName", L"DejaVu Sans");
        PutDword(kTestProgramKey, L"FontSize", 17);
        PutDword(kTestProgramKey, L"Lesson", 31);
        window = StartReader(GetModuleHandleW(nullptr), SW_SHOWNA);
        ASSERT_NE(window, nullptr);
        SetWindowPos(window, nullptr, 0, 0, 360, 420, SWP_NOZORDER);
    }
    void TearDown() override {
        if (gApp.mainWindow) DestroyWindow(gApp.mainWindow);
        EndReader();
        TakeQuitMessage();
        ResetProgramState();
    }
    // Runs the script once, at the first message after the chooser's first paint.
    uint16_t Choose(std::function<void(HWND)> script) {
        struct Opening {
            HWND window;
            uint16_t chosen;
        } opening = {window, 0};
        auto open = [](void* context) {
            Opening* o = (Opening*)context;
            o->chosen = ChooseSection(gApp.instance, o->window, gApp.lesson, &gApp.font);
        };
        EXPECT_TRUE(ActAfterFirstPaint(L"Choose Section", open, &opening, RunScript, &script, 0));
        return opening.chosen;
    }
};

}  // namespace

TEST_F(ChooserTest, ScrollCodesKeysAndTheWheelMoveTheOutline) {
    uint16_t chosen = Choose([](HWND dialog) {
        SCROLLINFO info = ScrollInfo(dialog);
        ASSERT_GT(info.nMax, 6) << "the outline must be taller than the dialog";
        EXPECT_EQ(info.nPos, 0);
        // Page Down and the arrows move one row; so does "bottom".
        SendMessageW(dialog, WM_KEYDOWN, VK_NEXT, 0);
        SendMessageW(dialog, WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(ScrollPos(dialog), 2);
        SendMessageW(dialog, WM_KEYDOWN, VK_PRIOR, 0);
        EXPECT_EQ(ScrollPos(dialog), 1);
        Scroll(dialog, SB_BOTTOM);
        EXPECT_EQ(ScrollPos(dialog), 2);
        Scroll(dialog, SB_LINEUP);
        EXPECT_EQ(ScrollPos(dialog), 1);
        // A page is the rows painted: more than one.
        Scroll(dialog, SB_PAGEDOWN);
        int paged = ScrollPos(dialog);
        EXPECT_GT(paged, 2);
        Scroll(dialog, SB_PAGEUP);
        EXPECT_LT(ScrollPos(dialog), paged - 1);
        Scroll(dialog, SB_THUMBTRACK, 4);
        EXPECT_EQ(ScrollPos(dialog), 4);
        Scroll(dialog, SB_ENDSCROLL);
        EXPECT_EQ(ScrollPos(dialog), 4);
        Scroll(dialog, SB_TOP);
        EXPECT_EQ(ScrollPos(dialog), 0);
        Scroll(dialog, SB_LINEUP);  // clamped at the top
        EXPECT_EQ(ScrollPos(dialog), 0);
        // One row a notch; half notches add up.
        SendMessageW(dialog, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-WHEEL_DELTA), 0);
        EXPECT_EQ(ScrollPos(dialog), 1);
        SendMessageW(dialog, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
        EXPECT_EQ(ScrollPos(dialog), 1);
        SendMessageW(dialog, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
        EXPECT_EQ(ScrollPos(dialog), 0);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(chosen, 0);  // Cancel
}

TEST_F(ChooserTest, OkKeepsTheCurrentSectionAndALinkIsChosen) {
    EXPECT_EQ(Choose([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); }), 31);
    // The group's link, right under its heading, when 7 is bookmarked.
    uint16_t bookmarks[] = {7, 0};
    uint16_t* saved = gApp.bookmarks;
    gApp.bookmarks = bookmarks;
    gApp.bookmarkCount = 1;
    uint16_t chosen = Choose([](HWND dialog) {
        RECT client;
        GetClientRect(dialog, &client);
        TEXTMETRICW metrics;
        HDC dc = GetDC(dialog);
        HFONT font = CreateFontW(17, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"DejaVu Sans");
        HGDIOBJ old = SelectObject(dc, font);
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(dialog, dc);
        int rowPx = metrics.tmHeight;
        SendMessageW(dialog, WM_LBUTTONDOWN, 0, MAKELPARAM(client.right - 50, rowPx / 2));  // the heading
        EXPECT_TRUE(IsWindow(dialog));
        SendMessageW(dialog, WM_LBUTTONDOWN, 0, MAKELPARAM(client.right - 50, rowPx / 2));  // opened again
        SendMessageW(dialog, WM_LBUTTONDOWN, 0, MAKELPARAM(client.right - 50, rowPx + rowPx / 2));
    });
    gApp.bookmarks = saved;
    gApp.bookmarkCount = 0;
    EXPECT_EQ(chosen, 7);
}

TEST_F(ChooserTest, TheCurrentSectionsRowIsMarkedAndInSight) {
    // Section 273 lies in a closed chapter far below the first screen.
    gApp.lesson = 273;
    uint16_t chosen = Choose([](HWND dialog) {
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_GT(ScrollPos(dialog), 0) << "scrolled down to it";
        HDC dc = GetDC(dialog);
        COLORREF mark = GetSysColor(COLOR_HIGHLIGHT);
        int marked = 0;
        for (int y = 0; y < client.bottom; y += 2)
            for (int x = 0; x < client.right; x += 2) marked += GetPixel(dc, x, y) == mark;
        ReleaseDC(dialog, dc);
        EXPECT_GT(marked, 100);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(chosen, 273);
}
