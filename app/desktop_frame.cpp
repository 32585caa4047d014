#include "app/desktop_frame.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "navigation/outline_panel.h"
#include "panes/split_view.h"
#include "panes/status_line.h"
#include "panes/theme.h"
#include "platform/desktop.h"
#include "platform/shell.h"
#include "resources/resource_ids.h"

namespace {

const int kToolBarId = 1;
const int kToolButtonCount = 8;
const int kFirstHistoryButton = 6;  // Back and Forward stand apart, after a gap

// Tool tips: the first entry stands for the menu.
const wchar_t* const kToolTips[] = {L"",            L"Previous Article", L"Choose Article", L"Next Article",
                                    L"Choose Font", L"Search",           L"Search Again",   L"Back",
                                    L"Forward"};
const int kToolTipCount = sizeof kToolTips / sizeof kToolTips[0];
const int kToolCommands[kToolButtonCount] = {110, 119, 109, 40006, 116, 117, 150, 151};

struct DesktopFrame {
    MonitorFullScreen fullScreen;
};
DesktopFrame gFrame;

HMENU ViewMenu() { return MenuOfBarButton(kViewButtonCommand); }

void MarkFullScreen() {
    HMENU view = ViewMenu();
    if (view) CheckMenuItem(view, kCommandFullScreen, MF_BYCOMMAND | (InFullScreen() ? MF_CHECKED : MF_UNCHECKED));
}

// The tool bar, the menu and the status line make room for the page, or
// come back.
void ShowFrameParts(HWND window, bool show) {
    ShowStatusLine(show);
    if (gApp.menuBar) ShowWindow(gApp.menuBar, show ? SW_SHOWNA : SW_HIDE);
    // Measured now: the resolution may have changed while the bar was hidden.
    gApp.menuBarHeight = show && gApp.menuBar ? CommandBarHeight(gApp.menuBar) : 0;
    if (gApp.windowMenu) SetMenu(window, show ? gApp.windowMenu : nullptr);
}

void MarkOutlineItem() {
    HMENU view = ViewMenu();
    if (view) CheckMenuItem(view, kOutlinePanelCommand, MF_BYCOMMAND | (gView.outlinePanel ? MF_CHECKED : MF_UNCHECKED));
}

// The shell's own full screen ("FullScreen") counts as full screen too.
bool PanelShows() { return gView.outlinePanel && !InFullScreen() && !gShell.fullScreen; }

void EnterFullScreen(HWND window) {
    ShowFrameParts(window, false);
    EnterMonitorFullScreen(window, &gFrame.fullScreen);
    LayOutMainWindow(window, kRelayoutMarker);
    InvalidateRect(window, nullptr, TRUE);
    MarkFullScreen();
}

}  // namespace

void AddToolButtons(HWND bar) {
    SendMessageW(bar, kBarSetToolTips, kToolTipCount, (LPARAM)kToolTips);
    // The bar scales its images to its window's resolution itself.
    CommandBarAddBitmap(bar, gApp.instance, IDB_TOOLS, kToolButtonCount, 0, 0);
    TBBUTTON buttons[kToolButtonCount + 1] = {};
    int count = 0;
    for (int i = 0; i < kToolButtonCount; i++) {
        if (i == kFirstHistoryButton) buttons[count++].fsStyle = BTNS_SEP;
        buttons[count].iBitmap = i;
        buttons[count].idCommand = kToolCommands[i];
        buttons[count].fsState = TBSTATE_ENABLED;
        buttons[count].fsStyle = BTNS_BUTTON;
        count++;
    }
    SendMessageW(bar, TB_ADDBUTTONSW, count, (LPARAM)buttons);
}

HMENU LoadDesktopMenu() { return LoadMenuW(gApp.instance, MAKEINTRESOURCEW(IDM_LORVAN)); }

void CreateDesktopFrame(HWND window) {
    HMENU menu = GetMenu(window);
    if (!menu) {
        menu = LoadDesktopMenu();
        if (menu && !SetMenu(window, menu)) {
            DestroyMenu(menu);
            menu = nullptr;
        }
    }
    gApp.windowMenu = menu;
    gApp.menuBarOnBottom = 0;
    gApp.menuBar = CommandBarCreate(gApp.instance, window, kToolBarId);
    if (!gApp.menuBar) return;
    AddToolButtons(gApp.menuBar);
    // The buttons set the bar's height.
    gApp.menuBarHeight = CommandBarHeight(gApp.menuBar);
    CommandBarShow(gApp.menuBar, TRUE);
}

void MarkViewItems() {
    HMENU view = ViewMenu();
    if (!view) return;
    CheckMenuRadioItem(view, kCommandThemeLight, kCommandThemeDark, kCommandThemeLight + gView.theme, MF_BYCOMMAND);
    CheckMenuItem(view, kCommandReadingColumn, MF_BYCOMMAND | (gView.readingColumn ? MF_CHECKED : MF_UNCHECKED));
    MarkOutlineItem();
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
    LayOutMainWindow(window, kRelayoutMarker);
    InvalidateRect(window, nullptr, TRUE);
    MarkFullScreen();
}

bool FramedPlace(HWND window, RECT* rect, bool* maximized) {
    return FramedWindowRect(window, gFrame.fullScreen, rect, maximized);
}

void LayOutMainWindow(HWND window, LPARAM size) {
    bool last = size == kRelayoutMarker;
    int widthPx = last ? gSplit.lastClientWidth : LOWORD(size);
    int heightPx = last ? gSplit.lastClientHeight : HIWORD(size);
    // The panel's window is made when it first shows: most starts never need it.
    if (PanelShows()) CreateOutlinePanel(window);
    int panelPx = PanelShows() && OutlinePanelWindow() ? OutlinePanelWidthPx(widthPx) : 0;
    int topPx = gApp.menuBarOnBottom ? 0 : gApp.menuBarHeight;
    int bottomPx = heightPx - (gApp.menuBarOnBottom ? gApp.menuBarHeight : 0);
    gSplit.outlinePanelPx = panelPx;
    PlaceOutlinePanel(RECT{widthPx - panelPx, topPx, widthPx, bottomPx});
    OnSize(window, size);
}

void ToggleOutlinePanel(HWND window) {
    gView.outlinePanel = !gView.outlinePanel;
    MarkOutlineItem();
    LayOutMainWindow(window, kRelayoutMarker);
    InvalidateRect(window, nullptr, TRUE);
}

void SetTheme(HWND window, int theme) {
    if (!IsThemeCode(theme)) return;
    gView.theme = theme;
    MarkViewItems();
    // The whole client area at once: the panes, their ground and any strip
    // between them, in one paint.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RefreshOutlinePanel();
}

void ToggleReadingColumn(HWND window) {
    gView.readingColumn = !gView.readingColumn;
    MarkViewItems();
    ApplyViewOptions(window);
}
