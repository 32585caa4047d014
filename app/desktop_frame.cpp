#include "app/desktop_frame.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "panes/split_view.h"
#include "panes/theme.h"
#include "platform/desktop.h"
#include "platform/dpi.h"
#include "platform/shell.h"
#include "resources/resource_ids.h"

namespace {

const int kToolBarId = 1;
const int kToolButtonCount = 6;
const int kToolImagePx = 16;  // at 96 DPI

// Tool tips: the first entry stands for the menu.
const wchar_t* const kToolTips[] = {L"",            L"Previous Article", L"Choose Article", L"Next Article",
                                    L"Choose Font", L"Search",           L"Search Again"};
const int kToolCommands[kToolButtonCount] = {110, 119, 109, 40006, 116, 117};

struct DesktopFrame {
    MonitorFullScreen fullScreen;
    int barHeightPx;  // the tool bar's, while full screen hides it
};
DesktopFrame gFrame;

HMENU ViewMenu() { return MenuOfBarButton(kViewButtonCommand); }

void MarkFullScreen() {
    HMENU view = ViewMenu();
    if (view) CheckMenuItem(view, kCommandFullScreen, MF_BYCOMMAND | (InFullScreen() ? MF_CHECKED : MF_UNCHECKED));
}

// The tool bar and the menu make room for the page, or come back.
void ShowFrameParts(HWND window, bool show) {
    if (gApp.menuBar) ShowWindow(gApp.menuBar, show ? SW_SHOWNA : SW_HIDE);
    gApp.menuBarHeight = show ? gFrame.barHeightPx : 0;
    if (gApp.windowMenu) SetMenu(window, show ? gApp.windowMenu : nullptr);
}

void EnterFullScreen(HWND window) {
    gFrame.barHeightPx = gApp.menuBarHeight;
    ShowFrameParts(window, false);
    EnterMonitorFullScreen(window, &gFrame.fullScreen);
    OnSize(window, kRelayoutMarker);
    InvalidateRect(window, nullptr, TRUE);
    MarkFullScreen();
}

}  // namespace

void AddToolButtons(HWND window, HWND bar) {
    int imagePx = ScalePx(kToolImagePx, WindowDpi(window));
    SendMessageW(bar, kBarSetToolTips, 7, (LPARAM)kToolTips);
    CommandBarAddBitmap(bar, gApp.instance, IDB_TOOLS, kToolButtonCount, imagePx, imagePx);
    TBBUTTON buttons[kToolButtonCount] = {};
    for (int i = 0; i < kToolButtonCount; i++) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = kToolCommands[i];
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    SendMessageW(bar, TB_ADDBUTTONSW, kToolButtonCount, (LPARAM)buttons);
}

void CreateDesktopFrame(HWND window) {
    HMENU menu = LoadMenuW(gApp.instance, MAKEINTRESOURCEW(IDM_LORVAN));
    if (menu && SetMenu(window, menu)) gApp.windowMenu = menu;
    else if (menu) DestroyMenu(menu);
    gApp.menuBarOnBottom = 0;
    gApp.menuBar = CommandBarCreate(gApp.instance, window, kToolBarId);
    if (!gApp.menuBar) return;
    AddToolButtons(window, gApp.menuBar);
    // The buttons set the bar's height.
    gApp.menuBarHeight = CommandBarHeight(gApp.menuBar);
    CommandBarShow(gApp.menuBar, TRUE);
}

void MarkViewItems() {
    HMENU view = ViewMenu();
    if (!view) return;
    CheckMenuRadioItem(view, kCommandThemeLight, kCommandThemeDark, kCommandThemeLight + gView.theme, MF_BYCOMMAND);
    CheckMenuItem(view, kCommandReadingColumn, MF_BYCOMMAND | (gView.readingColumn ? MF_CHECKED : MF_UNCHECKED));
    MarkFullScreen();
}

void ReleaseDesktopFrame(HWND window) {
    // A menu on the window goes with it; one that full screen took off does not.
    if (gApp.windowMenu && GetMenu(window) != gApp.windowMenu) DestroyMenu(gApp.windowMenu);
    gApp.windowMenu = nullptr;
    gFrame = DesktopFrame{};
}

bool InFullScreen() { return gFrame.fullScreen.on; }

void ToggleFullScreen(HWND window) {
    if (InFullScreen()) LeaveFullScreen(window);
    // The shell's own full screen ("FullScreen") already covers the screen.
    else if (!gShell.fullScreen) EnterFullScreen(window);
}

void LeaveFullScreen(HWND window) {
    if (!InFullScreen()) return;
    LeaveMonitorFullScreen(window, &gFrame.fullScreen);
    ShowFrameParts(window, true);
    OnSize(window, kRelayoutMarker);
    InvalidateRect(window, nullptr, TRUE);
    MarkFullScreen();
}

bool FramedPlace(HWND window, RECT* rect, bool* maximized) {
    return FramedWindowRect(window, gFrame.fullScreen, rect, maximized);
}

void SetTheme(HWND window, int theme) {
    if (!IsThemeCode(theme)) return;
    gView.theme = theme;
    MarkViewItems();
    // The whole client area at once: the panes, their ground and any strip
    // between them, in one paint.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void ToggleReadingColumn(HWND window) {
    gView.readingColumn = !gView.readingColumn;
    MarkViewItems();
    ApplyViewOptions(window);
}
