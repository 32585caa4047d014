// The reading column over the embedded book: the reader maximised on a
// 1920 x 1080 screen keeps every section's text within a measure of 40 ems of
// the body font, centred, with an em of margin either side; without the
// column the lines run across the pane.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/desktop_frame.h"
#include "app/main_window.h"
#include "panes/split_view.h"
#include "panes/theme.h"
#include "platform/dpi.h"
#include "tests/win/pane_test_support.h"
#include "tests/win/reader_test_support.h"

namespace {

const int kFontSize = 20;

int BodyEmPx() {
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontW(kFontSize, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, kBookFace);
    HGDIOBJ saved = SelectObject(screen, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, saved);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight - metrics.tmInternalLeading;
}

// Pixels of ink beyond `reachPx` from the pane's middle, and within its outer
// half on either side, in both panes as the window paints them.
struct Ink {
    int outside = 0;
    int nearLeft = 0;
    int nearRight = 0;
};

Ink InkOfView(HWND window, int reachPx) {
    RECT client;
    GetClientRect(window, &client);
    Canvas canvas(client.right, client.bottom);
    TextPane* panes[] = {gApp.mainPane, gSplit.bottomPane};
    HDC shared = panes[0]->dc;
    for (TextPane* pane : panes) pane->dc = canvas.dc;
    SendMessageW(window, WM_ERASEBKGND, (WPARAM)canvas.dc, 0);
    PaintView(canvas.dc, window, kRepaintAll);
    for (TextPane* pane : panes) pane->dc = shared;
    GdiFlush();

    const Palette& palette = CurrentPalette();
    int accentPx = ScalePx(3, WindowDpi(window));
    Ink ink;
    for (const TextPane* pane : panes) {
        int centre = pane->left + pane->width / 2;
        for (int y = pane->top; y < pane->top + pane->height && y < client.bottom; y++) {
            for (int x = pane->left + accentPx; x < pane->left + pane->width; x++) {
                uint32_t rgb = canvas.pixels[y * canvas.widthPx + x];
                COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
                if (colour == palette.page || colour == palette.commentary) continue;
                int fromCentre = x - centre;
                if (fromCentre < -reachPx || fromCentre >= reachPx) ink.outside++;
                else if (fromCentre < -reachPx / 2) ink.nearLeft++;
                else if (fromCentre >= reachPx / 2) ink.nearRight++;
            }
        }
    }
    return ink;
}

}  // namespace

TEST(ReadingColumn, KeepsEverySectionInTheCentredMeasure) {
    TestSettingsKeys keys;
    ResetProgramState();
    PutString(kTestProgramKey, L"FontName", kBookFace);
    PutDword(kTestProgramKey, L"FontSize", kFontSize);
    HWND window = StartReader(GetModuleHandleW(nullptr), SW_SHOWNA);  // the column is on by default
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 0, 0, 1920, 1080, SWP_NOZORDER | SWP_NOACTIVATE);
    int emPx = BodyEmPx();
    int reachPx = (kMeasureEms / 2 + 1) * emPx;
    ASSERT_GT(emPx, 10);
    ASSERT_LT(2 * reachPx, gApp.mainPane->width);

    for (int section : {1, 11, 105, 211, 355}) {
        SCOPED_TRACE(section);
        GoToSection(window, section);
        Ink ink = InkOfView(window, reachPx);
        EXPECT_EQ(ink.outside, 0);
        EXPECT_GT(ink.nearLeft, 0);
        EXPECT_GT(ink.nearRight, 0);
    }
    DispatchCommand(window, kCommandReadingColumn);
    EXPECT_GT(InkOfView(window, reachPx).outside, 0);
    DestroyWindow(window);
    EndReader();
    TakeQuitMessage();
    ResetSettingsSaved();
}
