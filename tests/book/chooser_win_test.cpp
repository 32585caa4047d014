// The chooser over the embedded book, run by its command in the reader's own
// window: the scroll codes, keys and wheel of its outline, folding that
// outlives a resize, what is painted beside the outline, and what OK and
// Cancel return. Each run acts from inside the dialog's message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <functional>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "navigation/section_chooser.h"
#include "navigation/section_grid.h"
#include "panes/theme.h"
#include "platform/dialog_shell.h"
#include "tests/book/book_reader_test.h"
#include "tests/support/first_paint_watch.h"
#include "tests/win/pane_test_support.h"
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

const uint8_t kLargeAndBold = 0x0C;  // drawn blue

bool IsVisible(const GridRow& row) { return (row.style & kIndexVisible) != 0; }
bool IsExpanded(const GridRow& row) { return (row.style & kIndexExpanded) != 0; }

// (id, expanded) of each record that shows, in order: what the reader sees
// of the outline, whatever the rows' wrapping.
std::vector<std::pair<uint16_t, bool>> Shown(const SectionGrid* grid) {
    std::vector<std::pair<uint16_t, bool>> shown;
    for (int i = 0; i < grid->rowCount; i++) {
        const GridRow& row = grid->rows[i];
        if (IsVisible(row) && (shown.empty() || shown.back().first != row.id)) shown.push_back({row.id, IsExpanded(row)});
    }
    return shown;
}

// The client point of the first drawn row of the first visible record that
// `wanted` accepts; x = -1 when none is drawn.
template <typename Accept>
POINT PointOnRecord(const SectionGrid* grid, Accept wanted) {
    int top = grid->y;
    for (int i = GridStartRow(grid); i < grid->rowCount && top + grid->rows[i].height <= grid->y + grid->height; i++) {
        const GridRow& row = grid->rows[i];
        if (!IsVisible(row)) continue;
        if (wanted(row)) return POINT{row.x + 1, top + row.height / 2};
        top += row.height;
    }
    return POINT{-1, -1};
}

// What the dialog shows right of the grid, from the screen, against what
// belongs there: white, with the marker of each drawn record of indent 0
// beside its first drawn row, as its state is now. The count of pixels that
// differ; -1 when the grid leaves no room at its right for those markers.
int StaleRightOfGrid(HWND dialog, const SectionGrid* grid) {
    RECT client;
    GetDialogClientRect(dialog, &client);
    int left = grid->x + grid->width;
    int widthPx = client.right - left;
    if (widthPx <= 0) return -1;
    Canvas shown(widthPx, grid->height), expected(widthPx, grid->height);
    HDC dc = GetDC(dialog);
    BitBlt(shown.dc, 0, 0, widthPx, grid->height, dc, left, grid->y, SRCCOPY);
    ReleaseDC(dialog, dc);
    HDC markers = CreateCompatibleDC(expected.dc);
    int top = grid->y;
    uint16_t lastId = 0;
    for (int i = GridStartRow(grid); i < grid->rowCount && top + grid->rows[i].height <= grid->y + grid->height; i++) {
        const GridRow& row = grid->rows[i];
        if (!IsVisible(row)) continue;
        if (row.id != lastId && row.x + row.width == left) {
            int bitmap = !(row.id & kIndexHeadingBit) ? 2 : IsExpanded(row) ? 1 : 0;
            // The bitmaps are monochrome: they take the colour of the row's text.
            SetTextColor(expected.dc, (row.style & kLargeAndBold) == kLargeAndBold ? kColourBlue : kColourBlack);
            HGDIOBJ saved = SelectObject(markers, gApp.gridBitmaps[bitmap]);
            int offset = (row.height - kGridMarkerPx) / 2;
            BitBlt(expected.dc, kGridMarkerGapPx, top - grid->y + (offset > 0 ? offset : 0), kGridMarkerPx, kGridMarkerPx,
                   markers, 0, 0, SRCCOPY);
            SelectObject(markers, saved);
        }
        lastId = row.id;
        top += row.height;
    }
    DeleteDC(markers);
    int differing = 0;
    for (int y = 0; y < grid->height; y++)
        for (int x = 0; x < widthPx; x++) differing += shown.At(x, y) != expected.At(x, y);
    return differing;
}

bool ScrollBarShown(HWND dialog) { return (GetWindowLongPtrW(dialog, GWL_STYLE) & WS_VSCROLL) != 0; }

class ChooserTest : public BookReaderTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenReader(31, 360, 420));
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

// Folding the first part makes the outline fit, so the scroll bar goes and
// the dialog gets WM_SIZE; the fold must outlive that and any resize after
// it, and every marker beside the outline must be the one of its record now.
TEST_F(ChooserTest, AFoldThatMakesTheOutlineFitSurvivesAndEveryMarkerIsCurrent) {
    Choose([](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // taken once the checks are done, or have failed
        const SectionGrid* grid = OpenChooserGrid();
        ASSERT_NE(grid, nullptr);
        ASSERT_GT(grid->lastFirstRow, 0) << "the outline must be taller than the dialog";
        EXPECT_EQ(StaleRightOfGrid(dialog, grid), 0) << "at the first paint";
        POINT part = PointOnRecord(grid, [](const GridRow& row) { return (row.id & kIndexHeadingBit) && IsExpanded(row); });
        ASSERT_GE(part.x, 0);
        ASSERT_TRUE(ScrollBarShown(dialog));
        int gridWidthPx = grid->width;
        SendMessageW(dialog, WM_LBUTTONDOWN, 0, MAKELPARAM(part.x, part.y));
        ASSERT_EQ(grid->lastFirstRow, 0) << "folded, the outline must fit the dialog";
        EXPECT_FALSE(ScrollBarShown(dialog));
        auto folded = Shown(grid);
        EXPECT_FALSE(folded.empty());
        EXPECT_EQ(grid->width, gridWidthPx) << "the rows must not move sideways";
        EXPECT_EQ(StaleRightOfGrid(dialog, grid), 0) << "after the fold";

        // A real resize, narrower and shorter, and back.
        RECT window;
        GetWindowRect(dialog, &window);
        int widthPx = window.right - window.left, heightPx = window.bottom - window.top;
        SetWindowPos(dialog, nullptr, 0, 0, widthPx - 80, heightPx - 60, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(Shown(grid), folded);
        SetWindowPos(dialog, nullptr, 0, 0, widthPx, heightPx, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(Shown(grid), folded);
        EXPECT_EQ(StaleRightOfGrid(dialog, grid), 0) << "after the resize";
    });
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
    for (int theme : {kThemeLight, kThemeDark}) {
        gApp.lesson = 273;
        gView.theme = theme;
        uint16_t chosen = Choose([](HWND dialog) {
            RECT client;
            GetClientRect(dialog, &client);
            EXPECT_GT(ScrollPos(dialog), 0) << "scrolled down to it";
            const Palette& palette = CurrentPalette();
            HDC dc = GetDC(dialog);
            int marked = 0;
            int markText = 0;
            for (int y = 0; y < client.bottom; y += 2) {
                for (int x = 0; x < client.right; x += 2) {
                    COLORREF pixel = GetPixel(dc, x, y);
                    marked += pixel == palette.selectBack;
                    markText += pixel == palette.selectText;
                }
            }
            ReleaseDC(dialog, dc);
            EXPECT_GT(marked, 100);
            EXPECT_GT(markText, 5) << "the row's text stands out on its mark";
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(chosen, 273) << theme;
    }
    gView.theme = kThemeLight;
}
