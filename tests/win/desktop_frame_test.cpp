// The frame of the reader's window on a desktop: full screen, the themes, the
// divider between the panes and the reading column, on real windows with the
// test sections 1 (short) and 2 (long).
#include <gtest/gtest.h>

#include <math.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/desktop_frame.h"
#include "app/main_window.h"
#include "app/view_scale.h"
#include "app/window_place.h"
#include "content/section_store.h"
#include "panes/pane_paint.h"
#include "panes/split_view.h"
#include "panes/text_layout.h"
#include "panes/theme.h"
#include "platform/dpi.h"
#include "tests/win/pane_test_support.h"
#include "tests/win/reader_test_support.h"

namespace {

const wchar_t kFrameTestClass[] = L"LorvanFrameTest";

class DesktopFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetReaderForTest();
        gApp.lesson = 1;
        RegisterMainClass(gApp.instance, kFrameTestClass);
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
        TakeQuitMessage();
        ResetSettingsSaved();
    }
    // The reader's window with both panes showing the long section.
    void OpenReader(int widthPx, int heightPx) {
        window = CreateWindowExW(0, kFrameTestClass, L"", WS_POPUP, 0, 0, widthPx, heightPx, nullptr, nullptr,
                                 gApp.instance, nullptr);
        ASSERT_NE(window, nullptr);
        RECT client;
        GetClientRect(window, &client);
        OnSize(window, MAKELPARAM(client.right, client.bottom));
        LayoutSection(Main(), LoadSectionText(2, nullptr), 1);
        LayoutSection(Bottom(), LoadSectionText(2, nullptr), 1);
    }
    // The client area as the window paints it, into `canvas`.
    void PaintInto(Canvas& canvas) {
        HDC shared = Main()->dc;
        Main()->dc = Bottom()->dc = canvas.dc;
        SendMessageW(window, WM_ERASEBKGND, (WPARAM)canvas.dc, 0);
        PaintView(canvas.dc, window, kRepaintAll);
        Main()->dc = Bottom()->dc = shared;
        GdiFlush();
    }
    bool Checked(UINT command, UINT popupButton) {
        return (GetMenuState(MenuOfBarButton(popupButton), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    int DividerLineY() { return gSplit.bottomRect.top - 3; }
    void Drag(int x, int fromY, int toY) {
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, fromY));
        SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, (WORD)(short)toY));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, (WORD)(short)toY));
    }
    TextPane* Main() { return gApp.mainPane; }
    TextPane* Bottom() { return gSplit.bottomPane; }

    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    HWND window = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

double Luminance(COLORREF colour) {
    auto channel = [](int value) {
        double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(colour)) + 0.7152 * channel(GetGValue(colour)) +
           0.0722 * channel(GetBValue(colour));
}

double Contrast(COLORREF a, COLORREF b) {
    double la = Luminance(a), lb = Luminance(b);
    return (fmax(la, lb) + 0.05) / (fmin(la, lb) + 0.05);
}

// A highlight stands out by its hue as much as by its lightness: yellow on
// white is plain to see. Its distance in RGB says how far it is from the ground.
double Distance(COLORREF a, COLORREF b) {
    double r = GetRValue(a) - GetRValue(b), g = GetGValue(a) - GetGValue(b), bl = GetBValue(a) - GetBValue(b);
    return sqrt(r * r + g * g + bl * bl);
}

}  // namespace

TEST(Themes, EveryThemeKeepsItsStylesApartAndReadable) {
    for (int theme : {kThemeLight, kThemeSepia, kThemeDark}) {
        SCOPED_TRACE(theme);
        const Palette& palette = ThemePalette(theme);
        const COLORREF styles[] = {palette.plainText, palette.smallText, palette.headingText};
        for (COLORREF ground : {palette.page, palette.commentary}) {
            for (COLORREF ink : styles) EXPECT_GE(Contrast(ink, ground), 4.5);
            EXPECT_GE(Distance(palette.markBack, ground), 150);
        }
        EXPECT_GE(Contrast(palette.markText, palette.markBack), 4.5);
        // A selection reads as well as the text and is never taken for a match.
        EXPECT_GE(Contrast(palette.selectText, palette.selectBack), 4.5);
        EXPECT_GE(Distance(palette.selectBack, palette.markBack), 150);
        for (COLORREF ground : {palette.page, palette.commentary}) EXPECT_GE(Distance(palette.selectBack, ground), 60);
        for (int i = 0; i < 3; i++) EXPECT_NE(styles[i], styles[(i + 1) % 3]);
    }
    const Palette& dark = ThemePalette(kThemeDark);
    for (COLORREF colour : {dark.page, dark.commentary, dark.markText, dark.rule}) EXPECT_NE(colour, 0u);
    EXPECT_EQ(&ThemePalette(7), &ThemePalette(kThemeLight));
}

TEST_F(DesktopFrameTest, ThemesRecolourTheViewAndTheAccentFollowsTheActivePane) {
    OpenReader(420, 560);
    Main()->markStart = Main()->lines[0].offset;  // a match on the first line
    Main()->markEnd = (uint16_t)(Main()->markStart + 3);
    SelectCharacters(Main(), Main()->lines[1].offset, (uint16_t)(Main()->lines[1].offset + 4));
    RECT client;
    GetClientRect(window, &client);
    int accentPx = ScalePx(3, WindowDpi(window));
    int middleY = Main()->top + Main()->height / 2;
    for (int theme : {kThemeDark, kThemeSepia, kThemeLight}) {
        SCOPED_TRACE(theme);
        EXPECT_EQ(DispatchCommand(window, kCommandThemeLight + theme), 0);
        for (int other = 0; other < 3; other++)
            EXPECT_EQ(Checked(kCommandThemeLight + other, kViewButtonCommand), other == theme) << other;
        const Palette& palette = ThemePalette(theme);
        Canvas canvas(client.right, client.bottom);
        PaintInto(canvas);
        EXPECT_EQ(canvas.At(Main()->left, middleY), palette.accent);
        EXPECT_EQ(canvas.At(Main()->left + accentPx + 1, middleY), palette.page);
        EXPECT_EQ(canvas.At(Bottom()->left + accentPx + 1, Bottom()->top + 4), palette.commentary);
        EXPECT_EQ(canvas.At(Main()->left + 5, DividerLineY()), palette.separator);
        EXPECT_GT(canvas.Count(0, Main()->top, client.right, Main()->top + 40, palette.markBack), 20);
        EXPECT_GT(canvas.Count(Main()->left + accentPx, Main()->top, client.right, Main()->top + 60,
                               palette.selectBack),
                  20);
        if (theme == kThemeDark) {
            EXPECT_EQ(canvas.Count(0, 0, client.right, client.bottom, 0x000000), 0);
        }
    }
    // A tap on the commentary makes it the active pane, marked at its edge.
    SendMessageW(window, WM_LBUTTONDOWN, 0, MAKELPARAM(Bottom()->left + 40, Bottom()->top + 10));
    Canvas canvas(client.right, client.bottom);
    PaintInto(canvas);
    EXPECT_EQ(canvas.At(Main()->left, middleY), kColourWhite);
    EXPECT_EQ(canvas.At(Bottom()->left, Bottom()->top + 4), ThemePalette(kThemeLight).accent);
    EXPECT_EQ(DispatchCommand(window, 149), 1);  // no theme, nor any command, of that number
}

TEST_F(DesktopFrameTest, FullScreenCoversTheMonitorAndEscapeOrF11Leaves) {
    OpenReader(400, 500);
    RECT framed;
    GetWindowRect(window, &framed);
    int barPx = gApp.menuBarHeight;
    ASSERT_GT(barPx, 0);
    EXPECT_EQ(Main()->top, barPx);
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0), 1);  // not the reader's while framed

    DispatchCommand(window, kCommandFullScreen);
    EXPECT_TRUE(InFullScreen());
    EXPECT_TRUE(Checked(kCommandFullScreen, kViewButtonCommand));
    RECT full;
    GetWindowRect(window, &full);
    EXPECT_TRUE(SameRect(full, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_FALSE(IsWindowVisible(gApp.menuBar));
    EXPECT_EQ(Main()->top, 0);
    // A move to a screen of another resolution keeps the hidden bar's room at 0.
    ApplyWindowDpi(window, 2 * kBaseDpi);
    EXPECT_EQ(gApp.menuBarHeight, 0);
    EXPECT_EQ(Main()->top, 0);
    ApplyWindowDpi(window, kBaseDpi);
    // The place stored meanwhile is the one the window comes back to.
    SaveWindowPlace(window);
    wchar_t* stored = ReadSettingString(kWindowPlacementValue);
    WindowPlace place = {};
    EXPECT_TRUE(ParseWindowPlace(stored, &place));
    PlatformFree(stored);
    EXPECT_TRUE(SameRect(place.rect, framed));

    // A selection is let go first; the next Escape leaves full screen.
    EXPECT_EQ(DispatchCommand(window, kCommandSelectAll), 0);
    ASSERT_TRUE(HasSelection(Main()));
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_FALSE(HasSelection(Main()));
    EXPECT_TRUE(InFullScreen());
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_FALSE(InFullScreen());
    RECT back;
    GetWindowRect(window, &back);
    EXPECT_TRUE(SameRect(back, framed));
    EXPECT_EQ(GetMenu(window), gApp.windowMenu);
    EXPECT_TRUE(IsWindowVisible(gApp.menuBar));
    EXPECT_EQ(Main()->top, barPx);
    EXPECT_FALSE(Checked(kCommandFullScreen, kViewButtonCommand));
    DispatchCommand(window, kCommandFullScreen);
    DispatchCommand(window, kCommandFullScreen);  // F11 again leaves too
    EXPECT_FALSE(InFullScreen());
}

TEST_F(DesktopFrameTest, DividerDragSetsTheShareAndAFractionSetsItBack) {
    OpenReader(400, 600);
    int x = Main()->left + Main()->width / 2;
    int lineY = DividerLineY();
    int bottomTop = gSplit.bottomRect.top;
    EXPECT_TRUE(OnDivider(window, x, lineY + 3));
    EXPECT_FALSE(OnDivider(window, x, lineY + 12));
    uint16_t firstRow = Main()->firstRow;

    Drag(x, lineY + 2, lineY + 102);  // taken 2 px below the line, which keeps that distance
    EXPECT_EQ(Main()->firstRow, firstRow);  // a press on the divider turns no page
    EXPECT_FALSE(HasSelection(Main()) || HasSelection(Bottom()));  // and selects nothing
    EXPECT_NEAR(DividerLineY(), lineY + 100, 1);
    EXPECT_EQ(gSplit.bottomSection, 12);
    for (UINT command : {401u, 412u, 413u, 414u, 423u, 434u}) EXPECT_FALSE(Checked(command, kMarelButtonCommand));
    int percent = BottomSharePercent();
    EXPECT_GT(percent, 5);
    EXPECT_LT(percent, 50);
    // Just clear of its reach, a drag selects in the pane instead.
    Drag(x, Bottom()->top + 14, Bottom()->top + 40);
    EXPECT_TRUE(HasSelection(Bottom()));
    EXPECT_EQ(BottomSharePercent(), percent);

    Drag(x, DividerLineY(), -500);  // no further than 95 percent
    EXPECT_EQ(BottomSharePercent(), 95);
    Drag(x, DividerLineY(), 5000);
    EXPECT_EQ(BottomSharePercent(), 5);

    // The fraction already chosen applies again, marked.
    EXPECT_EQ(DispatchCommand(window, 412), 0);
    EXPECT_EQ(gSplit.bottomRect.top, bottomTop);
    EXPECT_TRUE(Checked(412, kMarelButtonCommand));
    EXPECT_EQ(BottomSharePercent(), 50);
    DispatchCommand(window, 401);  // none: nothing to drag
    EXPECT_FALSE(OnDivider(window, x, DividerLineY()));
}

TEST_F(DesktopFrameTest, TurningTheReadingColumnKeepsTheTextAtTheTop) {
    OpenReader(1000, 500);
    ScrollPane(Main(), 12, 0);
    ASSERT_GT(Main()->firstRow, 0);
    ReadingPlace before = TopReadingPlace(Main());
    ASSERT_TRUE(before.known);
    int rows = Main()->lastFirstRow;
    DispatchCommand(window, kCommandReadingColumn);  // the lines take another measure
    EXPECT_NE(Main()->lastFirstRow, rows);
    EXPECT_EQ(TopReadingPlace(Main()).offset, before.offset);
    DispatchCommand(window, kCommandReadingColumn);
    EXPECT_EQ(Main()->lastFirstRow, rows);
    EXPECT_EQ(TopReadingPlace(Main()).offset, before.offset);
}
