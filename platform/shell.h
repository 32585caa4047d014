// The handheld shell's services as this reader uses them, built for desktop
// Win32: the menu bar made from a menu-bar resource, the command bar, the
// full-screen and input-panel calls, the setting-change handler, the platform
// version and a message box that tests can intercept.
#pragma once

#include <windows.h>

// ---- Bar messages -----------------------------------------------------------

// Asks a shell menu bar for the popup of one of its buttons: lParam is the
// button's command; returns the HMENU or null.
const UINT SHCMBM_GETSUBMENU = WM_USER + 401;  // 1425
// Hands a bar its tool tips: wParam the count, lParam an array of wide
// strings. Entry 0 belongs to the menu; entries 1 on go to the tool buttons
// in the order they were added. The bar keeps copies.
const UINT kBarSetToolTips = WM_USER + 81;  // 1105
// Tool buttons are added with TB_ADDBUTTONSW (1092) and their images with
// TB_ADDBITMAP, both as for a toolbar; clicks arrive at the bar's parent as
// WM_COMMAND.

// ---- Shell menu bar -----------------------------------------------------------

struct ShellMenuBarInfo {
    DWORD cbSize;
    HWND parent;
    DWORD flags;          // kMenuBarHideSipButton
    UINT menuBarId;       // raw-data menu-bar resource, also the menu with the popups
    HINSTANCE resourceInstance;
    UINT bitmapId;        // 0: no bitmap
    UINT bitmapImages;
    HWND bar;             // out: the new bar
    COLORREF background;
};
const DWORD kMenuBarHideSipButton = 4;

// Menu-bar resource layout: 16-bit words, the menu id and the button count,
// then seven words per button: image (kNoImage for none), command, state,
// style, caption string id, reserved, popup index in the menu (kNoPopup: none).
const WORD kNoImage = 0xFFFE;
const WORD kNoPopup = 0xFFFF;

// Creates the bar along the bottom edge of info->parent's client area; it
// stays there when the parent is resized. Returns FALSE when the resource is
// missing or damaged or the window cannot be made.
BOOL ShellCreateMenuBar(ShellMenuBarInfo* info);

// ---- Command bar ----------------------------------------------------------------

// A bar along the top edge of `parent`; `barId` is its control id.
HWND CommandBarCreate(HINSTANCE instance, HWND parent, int barId);
// Loads menu `menuId` and shows each of its popups as a drop-down button.
BOOL CommandBarInsertMenubar(HWND bar, HINSTANCE instance, WORD menuId, WORD buttonIndex);
// The menu inserted at `buttonIndex`, or null.
HMENU CommandBarGetMenu(HWND bar, WORD buttonIndex);
int CommandBarHeight(HWND bar);
// Adds `imageCount` images of bitmap `bitmapId`, side by side, light grey
// (192, 192, 192) showing the bar's face; returns the first image's index or
// -1. The images come at the scale nearest the bar's resolution
// (resources/art), so the size given (the 1x one) is not used.
int CommandBarAddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int imageCount, int widthPx,
                        int heightPx);
// Draws the bar anew for a window moved to a screen of `dpi`: its images and
// text, and with them its height (CommandBarHeight).
void CommandBarSetDpi(HWND bar, int dpi);
// Adds the close button at the right end, which closes the parent window.
BOOL CommandBarAddAdornments(HWND bar, DWORD flags, DWORD reserved);
BOOL CommandBarShow(HWND bar, BOOL show);

// The popup that holds the items of bar button `buttonCommand`: a shell menu
// bar is asked for it (SHCMBM_GETSUBMENU); a command bar's menu holds every
// popup. Null without a bar.
HMENU BarButtonMenu(HWND bar, BOOL shellMenuBar, UINT buttonCommand);

// The toolbar control inside a bar of either kind (tests look at its buttons).
HWND BarToolbar(HWND bar);

// ---- Full screen and the input panel ---------------------------------------------

const DWORD SHFS_SHOWTASKBAR = 0x01;
const DWORD SHFS_HIDETASKBAR = 0x02;
const DWORD SHFS_SHOWSIPBUTTON = 0x04;
const DWORD SHFS_HIDESIPBUTTON = 0x08;
const DWORD SHFS_SHOWSTARTICON = 0x10;
const DWORD SHFS_HIDESTARTICON = 0x20;

BOOL ShellFullScreen(HWND window, DWORD state);
// Input-panel preference of a window, and showing or hiding the panel.
BOOL ShellSipPreference(HWND window, int preference);
BOOL ShellShowSip(BOOL show);

struct ShellActivateInfo {
    DWORD cbSize;
    HWND lastFocus;
    UINT flags;  // bit fields of the handheld record, all zero here
};
// The shell's WM_SETTINGCHANGE handling for a window.
BOOL ShellHandleSettingChange(HWND window, WPARAM wParam, LPARAM lParam, ShellActivateInfo* info);

// The handheld task bar window (class "HHTaskBar", empty title), or null.
HWND FindTaskBarWindow();

// ---- Platform version ---------------------------------------------------------------

// The version the program runs on, from the 276-byte version record.
void ReadPlatformVersion(DWORD* major, DWORD* minor);
// The version the program goes by: ReadPlatformVersion's in the reader
// (app/product_seams.cpp); the test programs may report another.
void GetPlatformVersion(DWORD* major, DWORD* minor);

// ---- Message box ------------------------------------------------------------------

// MessageBoxW, unless a sink is set: then the sink gets the box and its answer
// is returned, so tests never block on a box.
typedef int (*MessageBoxSink)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags,
                              void* context);
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags);
void SetMessageBoxSink(MessageBoxSink sink, void* context);
