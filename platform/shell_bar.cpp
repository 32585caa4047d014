// The menu bar and the command bar on desktop Win32. Both are one window of
// our own class holding a toolbar control: drop-down buttons open the popups
// of a menu, tool buttons send WM_COMMAND to the bar's parent, and the bar
// keeps itself along the bottom (menu bar) or top (command bar) edge of its
// parent's client area.
#include <windows.h>
#include <commctrl.h>

#include <string.h>

#include "platform/dpi.h"
#include "platform/fonts.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const wchar_t kBarClass[] = L"LorvanShellBar";
const UINT_PTR kParentSubclassId = 0x4C42;  // "LB"
const int kBarPaddingPx = 2;  // at 96 DPI, as every size here
const int kToolImagePx = 16;
// The button face of the tool images, which shows the bar's own face instead.
const COLORREF kToolImageFace = RGB(192, 192, 192);
// dwData tags of the buttons the bar makes itself; caller's buttons carry
// anything else and count as tool buttons.
const DWORD_PTR kMenuButtonTag = 0x4C4D0000;
const DWORD_PTR kCloseButtonTag = 0x4C430000;
const DWORD_PTR kTagMask = 0xFFFF0000;
const int kCloseCommand = 0xF060;  // SC_CLOSE, never a command of the program
const int kMaxToolTips = 64;
const size_t kMenuBarHeaderWords = 2;
const size_t kMenuBarButtonWords = 7;

struct ShellBar {
    HWND window;
    HWND toolbar;
    HWND parent;
    HMENU menu;        // owned; the popups of the drop-down buttons
    HIMAGELIST images; // owned; the tool images handed to the toolbar
    HINSTANCE imageInstance;
    int imageBitmapId; // 0 until images are added
    int imageCount;
    HFONT font;        // owned; the text's font when the bar's resolution is not the system's
    int dpi;
    int atBottom;      // 1: menu bar at the bottom, 0: command bar at the top
    int heightPx;
    wchar_t* toolTips[kMaxToolTips];  // owned copies
    int toolTipCount;
};

ShellBar* BarOf(HWND window) {
    return reinterpret_cast<ShellBar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void FreeToolTips(ShellBar* bar) {
    for (int i = 0; i < bar->toolTipCount; i++) PlatformFree(bar->toolTips[i]);
    bar->toolTipCount = 0;
}

wchar_t* CopyWide(const wchar_t* text) {
    size_t count = text ? wcslen(text) : 0;
    wchar_t* copy = static_cast<wchar_t*>(PlatformAlloc((count + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    if (count) memcpy(copy, text, count * sizeof(wchar_t));
    copy[count] = 0;
    return copy;
}

void SetToolTips(ShellBar* bar, int count, const wchar_t* const* texts) {
    FreeToolTips(bar);
    if (!texts || count <= 0) return;
    if (count > kMaxToolTips) count = kMaxToolTips;
    for (int i = 0; i < count; i++) {
        wchar_t* copy = CopyWide(texts[i]);
        if (!copy) break;
        bar->toolTips[bar->toolTipCount++] = copy;
    }
}

// Puts the bar along its edge of the parent's client area.
void PlaceBar(ShellBar* bar) {
    RECT client;
    GetClientRect(bar->parent, &client);
    int widthPx = client.right - client.left;
    int y = bar->atBottom ? client.bottom - bar->heightPx : 0;
    SetWindowPos(bar->window, nullptr, 0, y, widthPx, bar->heightPx, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(bar->toolbar, nullptr, 0, 0, widthPx, bar->heightPx, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MeasureBar(ShellBar* bar) {
    SendMessageW(bar->toolbar, TB_AUTOSIZE, 0, 0);
    DWORD buttonSize = (DWORD)SendMessageW(bar->toolbar, TB_GETBUTTONSIZE, 0, 0);
    bar->heightPx = HIWORD(buttonSize) + 2 * ScalePx(kBarPaddingPx, bar->dpi);
    PlaceBar(bar);
}

// The tool images drawn for the bar's resolution, as an image list whose
// button face is transparent. Null when the bitmap cannot be had.
HIMAGELIST LoadToolImages(const ShellBar* bar) {
    HBITMAP bitmap = LoadArtBitmap(bar->imageInstance, (WORD)bar->imageBitmapId, bar->dpi, 0);
    SIZE size = BitmapSize(bitmap);
    int imagePx = bar->imageCount > 0 ? size.cx / bar->imageCount : 0;
    HIMAGELIST images = nullptr;
    if (imagePx > 0 && size.cy > 0) {
        images = ImageList_Create(imagePx, size.cy, ILC_COLOR24 | ILC_MASK, bar->imageCount, 0);
        if (images && ImageList_AddMasked(images, bitmap, kToolImageFace) < 0) {
            ImageList_Destroy(images);
            images = nullptr;
        }
    }
    if (bitmap) DeleteObject(bitmap);
    return images;
}

// The toolbar's text at the bar's resolution. At the system's own the
// toolbar's default font is already right.
void UseFontForDpi(ShellBar* bar) {
    HFONT old = bar->font;
    int systemDpi = SystemDpi();
    if (!old && bar->dpi == systemDpi) return;  // the toolbar's own font it is
    bar->font = nullptr;
    if (bar->dpi != systemDpi) bar->font = CreateControlFontForDpi(bar->dpi);
    HFONT shown = bar->font ? bar->font : (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    SendMessageW(bar->toolbar, WM_SETFONT, (WPARAM)shown, TRUE);
    if (old) DeleteObject(old);
}

void UseImagesForDpi(ShellBar* bar) {
    if (!bar->imageBitmapId) return;
    HIMAGELIST images = LoadToolImages(bar);
    if (!images) return;
    int widthPx = 0, heightPx = 0;
    ImageList_GetIconSize(images, &widthPx, &heightPx);
    SendMessageW(bar->toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(widthPx, heightPx));
    SendMessageW(bar->toolbar, TB_SETIMAGELIST, 0, (LPARAM)images);
    if (bar->images) ImageList_Destroy(bar->images);
    bar->images = images;
}

LRESULT CALLBACK ParentSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR data) {
    if (message == WM_SIZE) PlaceBar(reinterpret_cast<ShellBar*>(data));
    return DefSubclassProc(window, message, wParam, lParam);
}

// Index of a tool button among the caller's buttons, or -1.
int ToolButtonOrdinal(ShellBar* bar, int command) {
    int count = (int)SendMessageW(bar->toolbar, TB_BUTTONCOUNT, 0, 0);
    int ordinal = 0;
    for (int i = 0; i < count; i++) {
        TBBUTTON button = {};
        if (!SendMessageW(bar->toolbar, TB_GETBUTTON, i, (LPARAM)&button)) continue;
        DWORD_PTR tag = button.dwData & kTagMask;
        if (tag == kMenuButtonTag || tag == kCloseButtonTag || (button.fsStyle & BTNS_SEP)) continue;
        if (button.idCommand == command) return ordinal;
        ordinal++;
    }
    return -1;
}

BOOL ButtonOfCommand(ShellBar* bar, int command, TBBUTTON* button) {
    int index = (int)SendMessageW(bar->toolbar, TB_COMMANDTOINDEX, command, 0);
    if (index < 0) return FALSE;
    return (BOOL)SendMessageW(bar->toolbar, TB_GETBUTTON, index, (LPARAM)button);
}

HMENU PopupOfButton(ShellBar* bar, int command) {
    TBBUTTON button = {};
    if (!bar->menu || !ButtonOfCommand(bar, command, &button)) return nullptr;
    if ((button.dwData & kTagMask) != kMenuButtonTag) return nullptr;
    return GetSubMenu(bar->menu, (int)(button.dwData & 0xFFFF));
}

void OpenPopup(ShellBar* bar, int command) {
    HMENU popup = PopupOfButton(bar, command);
    RECT rect;
    if (!popup || !SendMessageW(bar->toolbar, TB_GETRECT, command, (LPARAM)&rect)) return;
    MapWindowPoints(bar->toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    UINT align = bar->atBottom ? TPM_BOTTOMALIGN : TPM_TOPALIGN;
    int y = bar->atBottom ? rect.top : rect.bottom;
    // The parent owns the popup, so the chosen command reaches it as WM_COMMAND.
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | align, rect.left, y, bar->parent, nullptr);
}

void AnswerToolTip(ShellBar* bar, NMTTDISPINFOW* info) {
    info->lpszText = const_cast<wchar_t*>(L"");
    info->szText[0] = 0;
    int ordinal = ToolButtonOrdinal(bar, (int)info->hdr.idFrom);
    int entry = ordinal + 1;  // entry 0 stands for the menu
    if (ordinal >= 0 && entry < bar->toolTipCount) info->lpszText = bar->toolTips[entry];
}

LRESULT OnBarNotify(ShellBar* bar, NMHDR* header) {
    if (header->code == TBN_DROPDOWN) {
        OpenPopup(bar, reinterpret_cast<NMTOOLBARW*>(header)->iItem);
        return TBDDRET_DEFAULT;
    }
    if (header->code == TTN_GETDISPINFOW) AnswerToolTip(bar, reinterpret_cast<NMTTDISPINFOW*>(header));
    return 0;
}

LRESULT OnBarCommand(ShellBar* bar, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kCloseCommand) {
        PostMessageW(bar->parent, WM_CLOSE, 0, 0);
        return 0;
    }
    // Tool buttons speak to the window that owns the bar.
    return SendMessageW(bar->parent, WM_COMMAND, wParam, lParam);
}

void DestroyBar(ShellBar* bar) {
    RemoveWindowSubclass(bar->parent, ParentSubclassProc, kParentSubclassId);
    if (bar->menu) DestroyMenu(bar->menu);
    // The toolbar is gone before its parent's record: nothing uses them now.
    if (bar->images) ImageList_Destroy(bar->images);
    if (bar->font) DeleteObject(bar->font);
    FreeToolTips(bar);
    SetWindowLongPtrW(bar->window, GWLP_USERDATA, 0);
    PlatformFree(bar);
}

LRESULT CALLBACK BarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ShellBar* bar = BarOf(window);
    if (!bar) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NOTIFY:
        return OnBarNotify(bar, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        return OnBarCommand(bar, wParam, lParam);
    case SHCMBM_GETSUBMENU:
        return (LRESULT)PopupOfButton(bar, (int)lParam);
    case kBarSetToolTips:
        SetToolTips(bar, (int)wParam, reinterpret_cast<const wchar_t* const*>(lParam));
        return TRUE;
    case TB_ADDBUTTONSW:
    case TB_ADDBITMAP: {
        // New buttons and images may make the bar taller.
        LRESULT result = SendMessageW(bar->toolbar, message, wParam, lParam);
        MeasureBar(bar);
        return result;
    }
    case TB_BUTTONCOUNT:
        return SendMessageW(bar->toolbar, message, wParam, lParam);
    case WM_NCDESTROY:
        DestroyBar(bar);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

BOOL RegisterBarClass(HINSTANCE instance) {
    WNDCLASSW windowClass = {};
    if (GetClassInfoW(instance, kBarClass, &windowClass)) return TRUE;
    windowClass.lpfnWndProc = BarWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kBarClass;
    return RegisterClassW(&windowClass) != 0;
}

HWND CreateToolbarIn(HWND container, HINSTANCE instance, int dpi) {
    DWORD style = WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER |
                  TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS;
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", style, 0, 0, 0, 0, container, nullptr,
                                   instance, nullptr);
    if (!toolbar) return nullptr;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    int imagePx = ScalePx(kToolImagePx, dpi);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(imagePx, imagePx));
    SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    return toolbar;
}

// Makes the bar window and its record; the record is freed with the window.
HWND CreateBar(HINSTANCE instance, HWND parent, int barId, int atBottom) {
    if (!parent || !RegisterBarClass(instance)) return nullptr;
    ShellBar* bar = static_cast<ShellBar*>(PlatformAlloc(sizeof(ShellBar)));
    if (!bar) return nullptr;
    memset(bar, 0, sizeof(*bar));
    HWND window = CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                                  (HMENU)(INT_PTR)barId, instance, nullptr);
    int dpi = WindowDpi(parent);
    HWND toolbar = window ? CreateToolbarIn(window, instance, dpi) : nullptr;
    if (!toolbar) {
        if (window) DestroyWindow(window);
        PlatformFree(bar);
        return nullptr;
    }
    bar->window = window;
    bar->toolbar = toolbar;
    bar->parent = parent;
    bar->atBottom = atBottom;
    bar->dpi = dpi;
    SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)bar);
    UseFontForDpi(bar);
    SetWindowSubclass(parent, ParentSubclassProc, kParentSubclassId, (DWORD_PTR)bar);
    MeasureBar(bar);
    return window;
}

BOOL AddDropDownButton(ShellBar* bar, int command, const wchar_t* caption, int popupIndex) {
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_WHOLEDROPDOWN | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.dwData = kMenuButtonTag | (DWORD_PTR)(popupIndex & 0xFFFF);
    button.iString = (INT_PTR)caption;
    return (BOOL)SendMessageW(bar->toolbar, TB_ADDBUTTONSW, 1, (LPARAM)&button);
}

WORD WordAt(const uint8_t* bytes, size_t wordIndex) {
    return (WORD)(bytes[2 * wordIndex] | bytes[2 * wordIndex + 1] << 8);
}

// Adds the buttons of a menu-bar resource; FALSE when it is missing or too short.
BOOL AddMenuBarButtons(ShellBar* bar, HINSTANCE instance, UINT resourceId) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    DWORD byteCount = found ? SizeofResource(instance, found) : 0;
    HGLOBAL loaded = byteCount ? LoadResource(instance, found) : nullptr;
    const uint8_t* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes || byteCount < kMenuBarHeaderWords * 2) return FALSE;
    size_t buttonCount = WordAt(bytes, 1);
    size_t room = (byteCount / 2 - kMenuBarHeaderWords) / kMenuBarButtonWords;
    if (buttonCount > room) return FALSE;
    for (size_t i = 0; i < buttonCount; i++) {
        size_t at = kMenuBarHeaderWords + i * kMenuBarButtonWords;
        wchar_t caption[64] = L"";
        LoadStringW(instance, WordAt(bytes, at + 4), caption, 64);
        WORD popup = WordAt(bytes, at + 6);
        if (popup != kNoPopup) AddDropDownButton(bar, WordAt(bytes, at + 1), caption, popup);
    }
    return TRUE;
}

}  // namespace

BOOL ShellCreateMenuBar(ShellMenuBarInfo* info) {
    if (!info || info->cbSize < sizeof(ShellMenuBarInfo)) return FALSE;
    info->bar = nullptr;
    HINSTANCE instance = info->resourceInstance;
    HWND window = CreateBar(instance, info->parent, (int)info->menuBarId, 1);
    if (!window) return FALSE;
    ShellBar* bar = BarOf(window);
    bar->menu = LoadMenuW(instance, MAKEINTRESOURCEW(info->menuBarId));
    if (!bar->menu || !AddMenuBarButtons(bar, instance, info->menuBarId)) {
        DestroyWindow(window);
        return FALSE;
    }
    if (info->bitmapId) CommandBarAddBitmap(window, instance, (int)info->bitmapId, (int)info->bitmapImages, 0, 0);
    MeasureBar(bar);
    ShowWindow(window, SW_SHOWNA);
    info->bar = window;
    return TRUE;
}

HWND CommandBarCreate(HINSTANCE instance, HWND parent, int barId) {
    return CreateBar(instance, parent, barId, 0);
}

BOOL CommandBarInsertMenubar(HWND bar, HINSTANCE instance, WORD menuId, WORD buttonIndex) {
    ShellBar* record = bar ? BarOf(bar) : nullptr;
    if (!record || record->menu || buttonIndex != 0) return FALSE;
    record->menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
    if (!record->menu) return FALSE;
    int popupCount = GetMenuItemCount(record->menu);
    for (int i = 0; i < popupCount; i++) {
        wchar_t caption[64] = L"";
        GetMenuStringW(record->menu, i, caption, 64, MF_BYPOSITION);
        // The popups' buttons take commands no menu item uses.
        AddDropDownButton(record, 0xF100 + i, caption, i);
    }
    MeasureBar(record);
    return TRUE;
}

HMENU CommandBarGetMenu(HWND bar, WORD buttonIndex) {
    ShellBar* record = bar ? BarOf(bar) : nullptr;
    return record && buttonIndex == 0 ? record->menu : nullptr;
}

int CommandBarHeight(HWND bar) {
    ShellBar* record = bar ? BarOf(bar) : nullptr;
    return record ? record->heightPx : 0;
}

int CommandBarAddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int imageCount, int, int) {
    ShellBar* record = bar ? BarOf(bar) : nullptr;
    if (!record || imageCount <= 0 || record->images) return -1;
    record->imageInstance = instance;
    record->imageBitmapId = bitmapId;
    record->imageCount = imageCount;
    UseImagesForDpi(record);
    if (!record->images) {
        record->imageBitmapId = 0;
        return -1;
    }
    MeasureBar(record);
    return 0;
}

void CommandBarSetDpi(HWND bar, int dpi) {
    ShellBar* record = bar ? BarOf(bar) : nullptr;
    if (!record || UsableDpi(dpi) == record->dpi) return;
    record->dpi = UsableDpi(dpi);
    UseFontForDpi(record);
    UseImagesForDpi(record);
    MeasureBar(record);
}

BOOL CommandBarAddAdornments(HWND bar, DWORD, DWORD) {
    ShellBar* record = bar ? BarOf(bar) : nullptr;
    if (!record) return FALSE;
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = kCloseCommand;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.dwData = kCloseButtonTag;
    button.iString = (INT_PTR)L"\u00D7";
    return (BOOL)SendMessageW(record->toolbar, TB_ADDBUTTONSW, 1, (LPARAM)&button);
}

BOOL CommandBarShow(HWND bar, BOOL show) {
    if (!bar) return FALSE;
    ShowWindow(bar, show ? SW_SHOWNA : SW_HIDE);
    return TRUE;
}

HMENU BarButtonMenu(HWND bar, BOOL shellMenuBar, UINT buttonCommand) {
    if (!bar) return nullptr;
    if (shellMenuBar) return (HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, buttonCommand);
    return CommandBarGetMenu(bar, 0);
}

HWND BarToolbar(HWND bar) {
    ShellBar* record = bar ? BarOf(bar) : nullptr;
    return record ? record->toolbar : nullptr;
}
