// The desktop menu bar and command bar, and the menu bar the reader builds.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "navigation/history.h"
#include "platform/shell.h"
#include "resources/resource_ids.h"
#include "tests/win/reader_test_support.h"

namespace {

std::vector<UINT> gCommands;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) gCommands.push_back(LOWORD(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeParent(int widthPx, int heightPx) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LorvanBarTestParent";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, L"LorvanBarTestParent", L"", WS_POPUP, 0, 0, widthPx, heightPx, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

std::vector<std::wstring> Labels(HMENU menu) {
    std::vector<std::wstring> labels;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        wchar_t text[80] = L"";
        GetMenuStringW(menu, i, text, 80, MF_BYPOSITION);
        labels.push_back(GetMenuItemID(menu, i) == 0 ? L"-" : text);
    }
    return labels;
}

std::wstring ToolTipOf(HWND bar, UINT command) {
    NMTTDISPINFOW info = {};
    info.hdr.code = TTN_GETDISPINFOW;
    info.hdr.idFrom = command;
    SendMessageW(bar, WM_NOTIFY, 0, (LPARAM)&info);
    return info.lpszText ? info.lpszText : L"(null)";
}

void ClickToolButton(HWND toolbar, UINT command) {
    RECT rect;
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETRECT, command, (LPARAM)&rect));
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(toolbar, WM_LBUTTONUP, 0, at);
}

class ReaderMenuBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        gCommands.clear();
        parent = MakeParent(240, 320);
        gApp.mainWindow = parent;
    }
    void TearDown() override {
        DestroyWindow(parent);
        SetReportedPlatformVersion(0, 0);
    }
    int ToolbarButtons() { return (int)SendMessageW(BarToolbar(gApp.menuBar), TB_BUTTONCOUNT, 0, 0); }
    HWND parent = nullptr;
};

}  // namespace

// The items of the three popups, whichever bar holds them.
void ExpectThePopupsItems() {
    HMENU go = MenuOfBarButton(kGoButtonCommand);
    HMENU marel = MenuOfBarButton(kMarelButtonCommand);
    HMENU view = MenuOfBarButton(kViewButtonCommand);
    ASSERT_NE(go, nullptr);
    ASSERT_NE(marel, nullptr);
    ASSERT_NE(view, nullptr);
    std::vector<std::wstring> expectedGo = {
        L"&About", L"Check For &Updates", L"-", L"F&ont\bCtrl+F", L"Re&verse", L"-", L"&Index\bCtrl+D",
        L"&Bookmark", L"&Previous Article", L"&Next Article", L"&Back\bAlt+Left", L"&Forward\bAlt+Right",
        L"Go &To\x2026\bCtrl+G", L"-", L"&Search\bAlt+F3", L"Search A&gain\bF3", L"Search &Previous\bShift+F3",
        L"Find &All\x2026\bCtrl+Shift+F", L"-", L"&Copy\bCtrl+C", L"&Append to ClipBoard\bCtrl+E",
        L"Select A&ll\bCtrl+A", L"-", L"&Print\x2026\bCtrl+P", L"Print Pre&view", L"Page Set&up\x2026", L"-",
        L"Open &Book\x2026\bCtrl+O", L"Built-in &Book", L"Book &Information", L"-", L"E&xit\bCtrl+Q"};
    EXPECT_EQ(Labels(go), expectedGo);
    const UINT goCommands[] = {40004, 129, 0,   40006, 122,   0,     119,   123, 110, 109, 150, 151,  152, 0,
                               116,   117, 161, 160,   0,     40007, 40009, 40010, 0, 170, 171, 172, 0,
                               180,   181, 182, 0,     40005};
    const int goItems = sizeof goCommands / sizeof goCommands[0];
    for (int i = 0; i < goItems; i++) EXPECT_EQ(GetMenuItemID(go, i), goCommands[i]) << i;
    std::vector<std::wstring> expectedMarel = {L"1/&4 Screen", L"1/&3 Screen", L"1/&2 Screen",
                                               L"2/3 Screen",  L"3/4 Screen",  L"&None"};
    EXPECT_EQ(Labels(marel), expectedMarel);
    const UINT marelCommands[] = {414, 413, 412, 423, 434, 401};
    for (int i = 0; i < 6; i++) EXPECT_EQ(GetMenuItemID(marel, i), marelCommands[i]) << i;
    std::vector<std::wstring> expectedView = {
        L"Zoom &In\bCtrl++", L"Zoom &Out\bCtrl+-", L"&Actual Size\bCtrl+0", L"-", L"&Full Screen\bF11",
        L"Reading &Column",  L"&Outline\bF9",       L"-",                   L"&Light", L"&Sepia", L"&Dark"};
    EXPECT_EQ(Labels(view), expectedView);
    const UINT viewCommands[] = {140, 141, 142, 0, 143, 144, 148, 0, 145, 146, 147};
    for (int i = 0; i < 11; i++) EXPECT_EQ(GetMenuItemID(view, i), viewCommands[i]) << i;
}

TEST_F(ReaderMenuBarTest, ShellMenuBarHoldsThePopupsWithTheirItems) {
    SetReportedPlatformVersion(4, 21);
    CreateMenuBar();
    ASSERT_NE(gApp.menuBar, nullptr);
    EXPECT_EQ(gApp.menuBarOnBottom, 1);
    ExpectThePopupsItems();
    EXPECT_EQ(SendMessageW(gApp.menuBar, SHCMBM_GETSUBMENU, 0, 12345), 0);
}

// The desktop reports its own version (5 and on): the menus are the window's,
// at its top, with the tool bar under them, which never takes the focus.
TEST_F(ReaderMenuBarTest, DesktopHasTheMenusAtTheTopAndTheToolBarUnderThem) {
    ShowWindow(parent, SW_SHOW);
    SetForegroundWindow(parent);
    SetFocus(parent);
    CreateMenuBar();
    ASSERT_NE(gApp.windowMenu, nullptr);
    EXPECT_EQ(GetMenu(parent), gApp.windowMenu);
    EXPECT_EQ(gApp.menuBarOnBottom, 0);
    EXPECT_EQ(Labels(gApp.windowMenu), std::vector<std::wstring>({L"&Go", L"&Marel", L"&View"}));
    ExpectThePopupsItems();
    ASSERT_NE(gApp.menuBar, nullptr);
    RECT bar;
    GetWindowRect(gApp.menuBar, &bar);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.bottom, gApp.menuBarHeight);
    EXPECT_GT(gApp.menuBarHeight, 16);
    EXPECT_EQ(ToolbarButtons(), 8 + 1);  // a gap before Back
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 119), L"Choose Article");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 117), L"Search Again");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 150), L"Back");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 151), L"Forward");
    // With nowhere to go both are grey, on the bar and in the Go menu.
    ClearHistory(ReaderHistory());
    UpdateHistoryCommands();
    HWND tools = BarToolbar(gApp.menuBar);
    for (UINT command : {150u, 151u}) {
        EXPECT_FALSE(SendMessageW(tools, TB_ISBUTTONENABLED, command, 0)) << command;
        EXPECT_TRUE(GetMenuState(GetSubMenu(gApp.windowMenu, 0), command, MF_BYCOMMAND) & MF_GRAYED) << command;
    }
    EXPECT_TRUE(SendMessageW(tools, TB_ISBUTTONENABLED, 110, 0));
    ClickToolButton(tools, 110);
    EXPECT_EQ(gCommands, std::vector<UINT>({110}));
    EXPECT_EQ(GetFocus(), parent);
    DestroyWindow(gApp.menuBar);
    SetMenu(parent, nullptr);
    DestroyMenu(gApp.windowMenu);
    gApp.windowMenu = nullptr;
}

TEST_F(ReaderMenuBarTest, ShellMenuBarSitsAtTheBottomWithToolButtonsAndTips) {
    gApp.menuBarOnBottom = 1;  // asked for on a desktop too
    CreateMenuBar();
    ASSERT_NE(gApp.menuBar, nullptr);
    EXPECT_GT(gApp.menuBarHeight, 16);
    RECT bar;
    GetWindowRect(gApp.menuBar, &bar);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.bottom, 320);
    EXPECT_EQ(bar.right - bar.left, 240);
    MoveWindow(parent, 0, 0, 300, 400, FALSE);  // the bar follows the parent's bottom edge
    GetWindowRect(gApp.menuBar, &bar);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.bottom, 400);
    EXPECT_EQ(bar.right - bar.left, 300);

    EXPECT_EQ(ToolbarButtons(), 3 + 8 + 1);
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 110), L"Previous Article");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 119), L"Choose Article");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 109), L"Next Article");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 40006), L"Choose Font");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 116), L"Search");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 117), L"Search Again");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 150), L"Back");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 151), L"Forward");
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 40001), L"");

    ShowWindow(parent, SW_SHOWNA);
    ClickToolButton(BarToolbar(gApp.menuBar), 109);
    ClickToolButton(BarToolbar(gApp.menuBar), 40006);
    ClickToolButton(BarToolbar(gApp.menuBar), 151);
    EXPECT_EQ(gCommands, std::vector<UINT>({109, 40006, 151}));
}

TEST_F(ReaderMenuBarTest, OldPlatformUsesTheCommandBarUnlessTheOptionAsks) {
    SetReportedPlatformVersion(4, 20);
    CreateMenuBar();
    ASSERT_NE(gApp.menuBar, nullptr);
    EXPECT_EQ(gApp.menuBarOnBottom, 0);
    EXPECT_GT(gApp.menuBarHeight, 16);
    RECT bar;
    GetWindowRect(gApp.menuBar, &bar);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.top, 0);
    HMENU menu = MenuOfBarButton(kGoButtonCommand);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu, MenuOfBarButton(kMarelButtonCommand));  // one menu holds both popups
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 1)), 6);
    EXPECT_NE(CheckMenuItem(menu, 122, MF_BYCOMMAND | MF_CHECKED), (DWORD)-1);  // reaches into the popups
    EXPECT_EQ(ToolbarButtons(), 3 + 8 + 1);  // a gap before Back; no close button without full screen
    EXPECT_EQ(ToolTipOf(gApp.menuBar, 117), L"Search Again");
    DestroyWindow(gApp.menuBar);

    ResetProgramState();
    gApp.mainWindow = parent;
    gShell.fullScreen = 1;
    SetReportedPlatformVersion(4, 20);
    CreateMenuBar();
    EXPECT_EQ(ToolbarButtons(), 3 + 8 + 1 + 1);  // the close button
    DestroyWindow(gApp.menuBar);

    ResetProgramState();
    gApp.mainWindow = parent;
    gApp.menuBarOnBottom = 1;
    gShell.fullScreen = 1;
    CreateMenuBar();
    EXPECT_EQ(ToolbarButtons(), 3 + 8 + 1);  // the shell menu bar never gets one
    DestroyWindow(gApp.menuBar);

    ResetProgramState();
    gApp.mainWindow = parent;
    SetReportedPlatformVersion(4, 21);
    CreateMenuBar();
    EXPECT_EQ(gApp.menuBarOnBottom, 1);
}

TEST(ShellMenuBar, DamagedOrMissingResourceMakesNoBar) {
    HWND parent = MakeParent(200, 200);
    ShellMenuBarInfo info = {};
    info.cbSize = sizeof(info);
    info.parent = parent;
    info.resourceInstance = GetModuleHandleW(nullptr);
    info.menuBarId = 9999;
    EXPECT_FALSE(ShellCreateMenuBar(&info));
    EXPECT_EQ(info.bar, nullptr);
    info.cbSize = 8;
    info.menuBarId = IDR_LORVAN_MENUBAR;
    EXPECT_FALSE(ShellCreateMenuBar(&info));
    EXPECT_EQ(CommandBarHeight(nullptr), 0);
    EXPECT_EQ(CommandBarGetMenu(nullptr, 0), nullptr);
    DestroyWindow(parent);
}

TEST(ShellSystem, ReportedVersionCanBeSetForTests) {
    DWORD major = 0;
    DWORD minor = 0;
    GetPlatformVersion(&major, &minor);
    EXPECT_GT(major, 4u);
    SetReportedPlatformVersion(4, 20);
    GetPlatformVersion(&major, &minor);
    EXPECT_EQ(major, 4u);
    EXPECT_EQ(minor, 20u);
    SetReportedPlatformVersion(0, 0);
    EXPECT_EQ(FindTaskBarWindow(), nullptr);
}

TEST(ShellSystem, FullScreenDropsTheFrameAndGivesItBack) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(ShellFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON));
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, 0);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    ShellFullScreen(window, SHFS_HIDETASKBAR);  // again: no change, the saved frame is kept
    ShellFullScreen(window, SHFS_SHOWTASKBAR);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(ShellFullScreen(window, SHFS_HIDESIPBUTTON));  // nothing to do on a desktop
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    DestroyWindow(window);
}
