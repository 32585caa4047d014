#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "accessibility/reader_access.h"
#include "app/about_box.h"
#include "app/app_state.h"
#include "app/book_file.h"
#include "app/commands.h"
#include "app/context_menu.h"
#include "app/desktop_frame.h"
#include "app/settings.h"
#include "app/view_scale.h"
#include "app/window_place.h"
#include "fontdialog/font_dialog.h"
#include "navigation/bookmarks.h"
#include "navigation/history.h"
#include "navigation/find_all_window.h"
#include "navigation/outline_panel.h"
#include "panes/pane_pointer.h"
#include "panes/split_view.h"
#include "panes/status_line.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/desktop.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "print/print_command.h"
#include "resources/resource_ids.h"

const wchar_t kMainWindowClass[] = L"Lorvan";

namespace {

const DWORD kMainWindowExStyle = 0x100;  // WS_EX_WINDOWEDGE
// A desktop window also needs its frame to be moved, sized and closed. The
// menu bar is a child here, not a window of the shell, so the panes' drawing
// must leave it and the scroll bars alone.
const DWORD kMainWindowStyle = WS_VISIBLE | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
const DWORD kFullScreenFlags = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;  // 42
const int kCommandBarId = 1;
// Pocket PC versions; a desktop's start at 5.
const DWORD kLastHandheldMajorVersion = 4;
const DWORD kShellMenuBarMinorVersion = 21;

bool gTaskBarWasVisible = false;

// A client area is at most 65535 px either way, so no wider gutter means
// more; a negative one would push the panes out of the window.
const int kMaxGutterPx = 0xFFFF;

int UsableGutter(int storedPx) {
    if (storedPx < 0) return 0;
    return storedPx > kMaxGutterPx ? kMaxGutterPx : storedPx;
}

void CreateShellBar() {
    ShellMenuBarInfo info = {};
    info.cbSize = sizeof(info);
    info.parent = gApp.mainWindow;
    info.flags = kMenuBarHideSipButton;
    info.menuBarId = IDR_LORVAN_MENUBAR;
    info.resourceInstance = gApp.instance;
    if (!ShellCreateMenuBar(&info)) return;
    gApp.menuBar = info.bar;
    RECT rect;
    GetWindowRect(info.bar, &rect);
    gApp.menuBarHeight = rect.bottom - rect.top;
}

void CreateCommandBar() {
    gApp.menuBar = CommandBarCreate(gApp.instance, gApp.mainWindow, kCommandBarId);
    gApp.menuBarHeight = CommandBarHeight(gApp.menuBar);
    CommandBarInsertMenubar(gApp.menuBar, gApp.instance, IDM_LORVAN, 0);
}

// The rectangle is read after the shell's full-screen call, which on the
// desktop is what makes the window cover the screen.
void ApplyFullScreenGeometry(HWND window) {
    ShellFullScreen(window, kFullScreenFlags);
    RECT rect;
    GetWindowRect(window, &rect);
    MoveWindow(window, rect.left, 0, rect.right, rect.bottom, FALSE);
}

// ---- Message handlers --------------------------------------------------------

// The one place where the panes and the loaded settings are released; the
// save before it does nothing when a failed allocation or a log-off saved.
LRESULT OnDestroy(HWND window) {
    ReleaseReaderAccess();  // before the panes it reads go
    ReleaseSharedDc(window);
    DestroyStatusLine();
    if (gApp.menuBar) DestroyWindow(gApp.menuBar);
    gApp.menuBar = nullptr;
    ReleaseDesktopFrame(window);
    SaveSettingsAndQuit();
    ForgetPointerPress(window);  // it names a pane about to go
    DestroyPanes();
    ReleaseSettings();
    gApp.mainWindow = nullptr;
    return 0;
}

LRESULT OnActivate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (gShell.ignoreActivate) return DefWindowProcW(window, message, wParam, lParam);
    if (LOWORD(wParam) != WA_INACTIVE) ShellFullScreen(window, gShell.fullScreen ? kFullScreenFlags : SHFS_HIDESIPBUTTON);
    return 0;
}

// The ground of the theme wherever the panes leave the client area uncovered.
// Every paint repaints the whole view, so the erase before it fills only
// what lies around the panes: filling them too costs the first paint a
// second pass over most of the window.
LRESULT OnEraseBackground(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    int saved = SaveDC(dc);
    ExcludeViewGrounds(dc);
    FillWithColour(dc, client, CurrentPalette().page);
    RestoreDC(dc, saved);
    return 1;
}

LRESULT OnSetCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam) == HTCLIENT && SetDividerCursor(window)) return TRUE;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A press on the divider drags it; in a pane it selects, or taps once released.
LRESULT OnLeftButtonDown(HWND window, LPARAM lParam) {
    ForgetPointerPress(window);
    if (!BeginDividerDrag(window, lParam)) OnPointerDown(window, lParam);
    return 0;
}

// The second press of a quick pair on the divider drags it as the first did.
LRESULT OnLeftButtonDoubleClick(HWND window, LPARAM lParam) {
    ForgetPointerPress(window);
    if (!BeginDividerDrag(window, lParam)) OnPointerDoubleClick(window, lParam);
    return 0;
}

// At most one of the divider and the pointer holds a press at a time.
LRESULT OnMouseMoveMessage(HWND window, WPARAM wParam, LPARAM lParam) {
    DragDivider(window, lParam);
    OnPointerMove(window, wParam, lParam);
    return 0;
}

LRESULT OnLeftButtonUp(HWND window, LPARAM lParam) {
    EndDividerDrag(window);
    OnPointerUp(window, lParam);
    return 0;
}

LRESULT OnCaptureChanged(HWND window) {
    EndDividerDrag(window);
    OnPointerCaptureLost(window);
    return 0;
}

LRESULT OnPaint(HWND window, WPARAM wParam) {
    PaintView((HDC)wParam, window, kRepaintAll);
    return 0;
}

LRESULT OnSettingChange(HWND window, WPARAM wParam, LPARAM lParam) {
    ShellActivateInfo info = {};
    info.cbSize = sizeof(info);
    ShellHandleSettingChange(window, wParam, lParam, &info);
    return 0;
}

LRESULT OnWindowPosChanged(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(lParam);
    // The handheld shell closes a program this way: flags beyond the standard
    // 16 bits together with "no activate".
    if ((position->flags & 0xFFFF0000u) && (position->flags & SWP_NOACTIVATE) && !ProgramEnding()) {
        DestroyWindow(window);
        return 0;
    }
    // On the desktop the default handling is what sends WM_SIZE after a move
    // or resize; without it the panes would never follow the window's size.
    return DefWindowProcW(window, message, wParam, lParam);
}

// Asked before WM_CREATE too, when the window's resolution is already known.
LRESULT OnGetMinMaxInfo(HWND window, LPARAM lParam) {
    KeepMinimumTrackSize(reinterpret_cast<MINMAXINFO*>(lParam), kMinWindowWidthPx, kMinWindowHeightPx,
                         WindowDpi(window));
    return 0;
}

LRESULT OnHelp(HWND window) {
    ShowAboutBox(window);
    return 0;
}

// Logging off ends the program without WM_DESTROY, so the settings are saved here.
LRESULT OnEndSession(WPARAM wParam) {
    if (wParam) SaveSettingsAndQuit();
    return 0;
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (DispatchCommand(window, wParam) == 0) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

// The mouse's side buttons go back and forward. The release is taken too, so
// that the default handling does not send the same as WM_APPCOMMAND again.
LRESULT OnSideButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WORD button = GET_XBUTTON_WPARAM(wParam);
    if (button != XBUTTON1 && button != XBUTTON2) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_XBUTTONDOWN) RunSideButton(window, button);
    return TRUE;
}

LRESULT OnAppCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (RunAppCommand(window, GET_APPCOMMAND_LPARAM(lParam))) return TRUE;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT OnTimer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (OnPointerTimer(window, wParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A right click over a pane, or the menu key: the panes' own menu. Elsewhere
// (the scroll bars have theirs) the default handling.
LRESULT OnContextMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((HWND)wParam == window && ShowPaneContextMenu(window, lParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

// Ctrl and the wheel zoom; the wheel alone scrolls what is under the
// pointer, the outline beside the text too, wherever the keyboard is.
LRESULT OnMouseWheelMessage(HWND window, WPARAM wParam, LPARAM lParam) {
    POINT pointer = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HWND panel = OutlinePanelWindow();
    if (panel && !(GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) && WindowFromPoint(pointer) == panel)
        return SendMessageW(panel, WM_MOUSEWHEEL, wParam, lParam);
    if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) ZoomByWheel(window, GET_WHEEL_DELTA_WPARAM(wParam));
    else OnMouseWheel(window, wParam, lParam);
    return 0;
}

LRESULT OnDpiChangedMessage(HWND window, WPARAM wParam, LPARAM lParam) {
    OnDpiChanged(window, wParam, reinterpret_cast<const RECT*>(lParam));
    return 0;
}

LRESULT OnCopyData(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (TakeBookCopyData(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam))) return TRUE;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT OnDropFilesMessage(HWND window, WPARAM wParam) {
    OnDropFiles(window, (HDROP)wParam);
    return 0;
}

LRESULT OnOpenPendingBook(HWND window) {
    OpenPendingBook(window);
    return 0;
}

LRESULT OnCloseRequest(HWND window) {
    DestroyWindow(window);
    return 0;
}

// A window maximised at the last exit opens maximised again, unless the
// starter asked for some other state than the ordinary one.
int OpeningShowCommand(int showCommand, const WindowPlace& place) {
    bool ordinary = showCommand == SW_SHOWNORMAL || showCommand == SW_SHOWDEFAULT;
    return place.maximized && ordinary && !gShell.fullScreen ? SW_SHOWMAXIMIZED : showCommand;
}

// Once the program is ending the window only waits for the quit request: it
// takes no more requests from the user or from other programs, and it is
// destroyed in order after the message loop (EndReader).
bool IgnoredWhileEnding(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_COMMAND:
    case WM_VSCROLL:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_XBUTTONDOWN:
    case WM_APPCOMMAND:
    case WM_HELP:
    case WM_CLOSE:
    case WM_DROPFILES:
    case WM_COPYDATA:
    case kOpenPendingBookMessage:
    case kCloseRequestMessage:
        return true;
    default:
        return false;
    }
}

// Another copy runs: bring it forward, or open its chooser when it is in front.
void ActivateRunningCopy(HWND running) {
    HWND foreground = GetForegroundWindow();
    HWND top = foreground;
    while (top && GetParent(top)) top = GetParent(top);
    // Posted, not sent: the chooser is modal, and a sent command would keep
    // this copy waiting until the reader closed it.
    if (foreground == running) PostMessageW(running, WM_COMMAND, kChooseSectionCommand, 0);
    if (running != top) SetForegroundWindow(running);
}

// A second start with a book file gives it to the running copy, which opens
// it in its own time, and brings that copy forward.
void HandBookToRunningCopy(HWND running, const wchar_t* path) {
    COPYDATASTRUCT data = {};
    data.dwData = kOpenBookCopyDataTag;
    data.cbData = (DWORD)((wcslen(path) + 1) * sizeof(wchar_t));
    data.lpData = (void*)path;
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(running, WM_COPYDATA, 0, (LPARAM)&data, SMTO_ABORTIFHUNG, 5000, &answer);
    SetForegroundWindow(running);
}

wchar_t gCommandLineBook[kBookPathChars];

}  // namespace

void ReadShellOptions() {
    const wchar_t* maker = MakerKeyPath();
    gShell.ignoreActivate = ReadRegInt(maker, L"IgnoreActivate", 0);
    gShell.fullScreen = ReadRegInt(maker, L"FullScreen", 0);
    gShell.allowSipInHebrewSearch = ReadRegInt(maker, L"AllowSipInHebrewSearch", 1);
    if (gShell.fullScreen) {
        gShell.taskBarWindow = FindTaskBarWindow();
        gTaskBarWasVisible = gShell.taskBarWindow && IsWindowVisible(gShell.taskBarWindow);
    }
    gApp.menuBarOnBottom = ReadRegInt(maker, L"MenuBarOnBottom", 0);
    gApp.gutter = UsableGutter(ReadRegInt(maker, L"SurroundingGutter", 0));
}

ATOM RegisterMainClass(HINSTANCE instance, const wchar_t* className) {
    WNDCLASSW windowClass = {};
    // Double clicks select words in the panes.
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LORVAN));
    // No class cursor on the handheld; a desktop pointer needs one.
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = className;
    return RegisterClassW(&windowClass);
}

HWND StartMainWindow(int showCommand) {
    HWND running = FindWindowW(kMainWindowClass, kMainWindowClass);
    if (running) {
        if (gCommandLineBook[0]) HandBookToRunningCopy(running, gCommandLineBook);
        else ActivateRunningCopy(running);
        return nullptr;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    if (ProgramEnding()) return nullptr;  // memory ran out reading the shell options
    if (gShell.taskBarWindow) ShowWindow(gShell.taskBarWindow, SW_HIDE);
    LoadSettings();
    if (ProgramEnding()) {
        ReleaseSettings();
        return nullptr;
    }
    SetLesson(0);
    RegisterMainClass(gApp.instance, kMainWindowClass);
    // Where the platform would put it is rarely a good shape for a page.
    WindowPlace place = InitialWindowPlace();
    const RECT& rect = place.rect;
    // Made with its menu: one set after it was made costs the window a
    // second frame and layout before it first shows.
    HMENU menu = UsesDesktopFrame() ? LoadDesktopMenu() : nullptr;
    HWND window = ProgramEnding() ? nullptr
                                  : CreateWindowExW(kMainWindowExStyle, kMainWindowClass, kMainWindowClass,
                                                    kMainWindowStyle, rect.left, rect.top, rect.right - rect.left,
                                                    rect.bottom - rect.top, nullptr, menu, gApp.instance, nullptr);
    if (!window && menu) DestroyMenu(menu);
    if (!window) {
        // Without a window nothing else releases what the settings loaded.
        ReleaseSettings();
        return nullptr;
    }
    if (gShell.fullScreen) ApplyFullScreenGeometry(window);
    ShowWindow(window, OpeningShowCommand(showCommand, place));
    // The window now has the size it had at the last exit, so the stored rows
    // show the text they showed then.
    RestoreSavedRows();
    UpdateWindow(window);
    if (gApp.font.faceName[0] == 0 && !ProgramEnding()) {
        // First run: the user chooses the font; the panes take whatever the
        // dialog leaves, even after Cancel (its base may have been filled in).
        RunFontDialog(window, &gApp.font);
        gApp.chosenFontSize = gApp.font.size;
        SetViewFont(window);
        RefreshOutlinePanel();
    }
    ShowStartBookMessage(window);
    return window;
}

LRESULT SetupMainWindow(HWND window) {
    gApp.mainWindow = window;
    gApp.font.dpi = WindowDpi(window);
    // The settings loaded the outline's markers for the system's resolution;
    // the window may stand on a screen of another.
    if (gApp.font.dpi != SystemDpi()) LoadGridBitmaps(gApp.font.dpi);
    CreateMenuBar();
    CreateStatusLine(window);
    CreatePanes(window);
    MarkViewItems();
    UpdateReverseCheck(window, kMenuCheckSet);
    UpdateBookmarkCheck(window, kMenuCheckSet);
    UpdateHistoryCommands();
    UpdateBookCommands();
    DragAcceptFiles(window, TRUE);
    return 0;
}

bool UsesDesktopFrame() {
    DWORD major = 0;
    DWORD minor = 0;
    GetPlatformVersion(&major, &minor);
    bool handheld = major <= kLastHandheldMajorVersion;
    if (handheld && major == kLastHandheldMajorVersion && minor >= kShellMenuBarMinorVersion)
        gApp.menuBarOnBottom = 1;
    // A desktop has its menus at the top of the window, unless the handheld's
    // bar at the bottom is asked for.
    return !handheld && !gApp.menuBarOnBottom;
}

void CreateMenuBar() {
    if (UsesDesktopFrame()) {
        CreateDesktopFrame(gApp.mainWindow);
        return;
    }
    if (gApp.menuBarOnBottom) CreateShellBar();
    else CreateCommandBar();
    if (!gApp.menuBar) return;
    AddToolButtons(gApp.menuBar);
    if (gShell.fullScreen && !gApp.menuBarOnBottom) CommandBarAddAdornments(gApp.menuBar, 0, 0);
    CommandBarShow(gApp.menuBar, TRUE);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ProgramEnding() && IgnoredWhileEnding(message)) return 0;
    switch (message) {
    case WM_CREATE:
        return SetupMainWindow(window);
    case WM_DESTROY:
        return OnDestroy(window);
    case WM_SIZE:
        LayOutMainWindow(window, lParam);
        return 0;
    case WM_ACTIVATE:
        return OnActivate(window, message, wParam, lParam);
    case WM_PAINT:
        return OnPaint(window, wParam);
    case WM_ERASEBKGND:
        return OnEraseBackground(window, (HDC)wParam);
    case WM_SETCURSOR:
        return OnSetCursor(window, message, wParam, lParam);
    case WM_SETTINGCHANGE:
        return OnSettingChange(window, wParam, lParam);
    case WM_WINDOWPOSCHANGED:
        return OnWindowPosChanged(window, message, wParam, lParam);
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(window, lParam);
    case WM_HELP:
        return OnHelp(window);
    case WM_ENDSESSION:
        return OnEndSession(wParam);
    case WM_KEYDOWN:
        return OnKeyDown(window, wParam);
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_VSCROLL:
        OnScroll(window, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        return OnLeftButtonDown(window, lParam);
    case WM_LBUTTONDBLCLK:
        return OnLeftButtonDoubleClick(window, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMoveMessage(window, wParam, lParam);
    case WM_LBUTTONUP:
        return OnLeftButtonUp(window, lParam);
    case WM_CAPTURECHANGED:
        return OnCaptureChanged(window);
    case WM_TIMER:
        return OnTimer(window, message, wParam, lParam);
    case WM_CONTEXTMENU:
        return OnContextMenu(window, message, wParam, lParam);
    case WM_MOUSEWHEEL:
        return OnMouseWheelMessage(window, wParam, lParam);
    case WM_DPICHANGED:
        return OnDpiChangedMessage(window, wParam, lParam);
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
        return OnSideButton(window, message, wParam, lParam);
    case WM_APPCOMMAND:
        return OnAppCommand(window, message, wParam, lParam);
    case WM_GETOBJECT:
        return AnswerReaderObject(window, wParam, lParam);
    case WM_COPYDATA:
        return OnCopyData(window, message, wParam, lParam);
    case WM_DROPFILES:
        return OnDropFilesMessage(window, wParam);
    case kOpenPendingBookMessage:
        return OnOpenPendingBook(window);
    case kCloseRequestMessage:
        return OnCloseRequest(window);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

namespace {

// An Alt chord the accelerators take (Alt+Left, Alt+F3) never reaches the
// window, so at the Alt key's release the default handling takes Alt as
// pressed alone and puts the menu bar in menu mode, where the next keys go.
// That release is dropped.
bool gAltChordTaken = false;

bool IsAltKey(const MSG& message) { return message.wParam == VK_MENU; }

bool DropAltRelease(const MSG& message) {
    bool release = message.message == WM_SYSKEYUP || message.message == WM_KEYUP;
    if (message.message == WM_SYSKEYDOWN && IsAltKey(message)) gAltChordTaken = false;
    if (!release || !IsAltKey(message) || !gAltChordTaken) return false;
    gAltChordTaken = false;
    return true;
}

}  // namespace

int RunMessageLoop() {
    HACCEL accelerators = LoadAcceleratorsW(gApp.instance, MAKEINTRESOURCEW(IDA_LORVAN));
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (DropAltRelease(message)) continue;
        // The commands go to the main window even when a child holds the focus.
        if (accelerators && gApp.mainWindow &&
            TranslateAcceleratorW(gApp.mainWindow, accelerators, &message)) {
            if (message.message == WM_SYSKEYDOWN) gAltChordTaken = true;
            continue;
        }
        if (TakeFindAllMessage(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return (int)message.wParam;
}

HWND StartReader(HINSTANCE instance, int showCommand) {
    SetOutOfMemoryAction(SaveSettingsAndQuit);
    ZeroMemory(&gApp, sizeof(gApp));
    ZeroMemory(&gShell, sizeof(gShell));
    ZeroMemory(&gSplit, sizeof(gSplit));
    ZeroMemory(&gView, sizeof(gView));
    gApp.instance = instance;
    gShell.allowSipInHebrewSearch = 1;
    gSplit.bottomSection = kBottomSectionDefault;
    ReadShellOptions();
    return StartMainWindow(showCommand);
}

int RunReader(HINSTANCE instance, const wchar_t* commandLine, int showCommand) {
    // "/print" prints from the book that was open last, without a window.
    if (IsPrintCommandLine(commandLine)) {
        gApp.instance = instance;
        OpenStartBook();
        LoadFontSettings();
        return RunPrintCommand(commandLine);
    }
    // A book file named there opens; "/today" is accepted and changes nothing.
    if (!BookPathOfCommandLine(commandLine, gCommandLineBook, kBookPathChars)) gCommandLineBook[0] = 0;
    SetStartBookPath(gCommandLineBook);
    int exitCode = StartReader(instance, showCommand) ? RunMessageLoop() : 0;
    EndReader();
    return exitCode;
}

void EndReader() {
    // A quit asked for by a failed allocation or at log-off leaves the window
    // standing. It goes now, which releases the panes without a second save.
    if (gApp.mainWindow) DestroyWindow(gApp.mainWindow);
    // Settings loaded for a window that was never made (memory ran out first).
    ReleaseSettings();
    if (gShell.taskBarWindow && gTaskBarWasVisible) ShowWindow(gShell.taskBarWindow, SW_SHOW);
    ReleaseFindAll();
    ReleaseFontFamilies();
    ReleaseTextBuffers();
    ReleaseBook();
}
