// Dialogs on desktop Win32. Every dialog runs through ShellDialogProc, which
// hands each message on to the dialog's own procedure; for a template that
// asks for the caption's OK it also keeps the OK button's strip out of the
// dialog's sight.
#include "platform/dialog_shell.h"

#include <string.h>

#include "platform/dialog_template.h"
#include "platform/dpi.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace {

const wchar_t kHostProp[] = L"LorvanDialogHost";
const wchar_t kButtonProcProp[] = L"LorvanOkButtonProc";

// The OK button and its strip, in dialog units as desktop dialogs space them.
const int kButtonWidthDlu = 50;
const int kButtonHeightDlu = 14;
const int kStripMarginDlu = 4;

// One record a running dialog, on the stack of RunDialogTemplate.
struct DialogHost {
    DLGPROC proc;
    LPARAM param;
    bool captionOk;
    bool initialised;  // the dialog's own WM_INITDIALOG has begun
    HWND okButton;
    int stripHeightPx;
    SIZE ownPx;  // as the template made it, with the strip: the least a full-size dialog takes
    const wchar_t* sizeValue;  // in the desktop form: where the size the user leaves is kept; else null
};

// Sizes of the desktop form at 96 DPI that a stored value may hold.
const int kMinStoredDialogPx96 = 200;
const int kMaxStoredDialogPx96 = 8192;

// The host of the dialog being created: the first messages of a new dialog
// arrive before WM_INITDIALOG has passed the parameter.
DialogHost* gPendingHost = nullptr;

DialogHost* HostOf(HWND dialog) {
    DialogHost* host = (DialogHost*)GetPropW(dialog, kHostProp);
    if (!host && gPendingHost) {
        host = gPendingHost;
        gPendingHost = nullptr;
        SetPropW(dialog, kHostProp, host);
    }
    return host;
}

int DluToPx(HWND dialog, int xDlu, int yDlu, bool vertical) {
    RECT rect = {0, 0, xDlu, yDlu};
    MapDialogRect(dialog, &rect);
    return vertical ? rect.bottom : rect.right;
}

void PlaceOkButton(HWND dialog, DialogHost* host) {
    RECT client;
    GetClientRect(dialog, &client);
    int marginPx = DluToPx(dialog, kStripMarginDlu, kStripMarginDlu, true);
    int widthPx = DluToPx(dialog, kButtonWidthDlu, 0, false);
    int heightPx = host->stripHeightPx - 2 * marginPx;
    SetWindowPos(host->okButton, nullptr, client.right - marginPx - widthPx, client.bottom - host->stripHeightPx + marginPx,
                 widthPx, heightPx, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsNavigationKey(WPARAM key) {
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: return true;
    default: return false;
    }
}

// The OK button takes the focus in a dialog without controls of its own, so
// it passes the keys such a dialog scrolls by on to the dialog.
LRESULT CALLBACK OkButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = (WNDPROC)GetPropW(button, kButtonProcProp);
    switch (message) {
    case WM_GETDLGCODE:
        return CallWindowProcW(original, button, message, wParam, lParam) | DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (!IsNavigationKey(wParam)) break;
        SendMessageW(GetParent(button), WM_KEYDOWN, wParam, lParam);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(button, GWLP_WNDPROC, (LONG_PTR)original);
        RemovePropW(button, kButtonProcProp);
        break;
    }
    return CallWindowProcW(original, button, message, wParam, lParam);
}

void AddOkButton(HWND dialog, DialogHost* host) {
    host->stripHeightPx = DluToPx(dialog, 0, kButtonHeightDlu + 2 * kStripMarginDlu, true);
    SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_CLIPCHILDREN);
    host->okButton = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0,
                                     0, 0, dialog, (HMENU)(INT_PTR)IDOK, GetModuleHandleW(nullptr), nullptr);
    if (!host->okButton) {
        host->stripHeightPx = 0;
        return;
    }
    SendMessageW(host->okButton, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    SetPropW(host->okButton, kButtonProcProp, (HANDLE)GetWindowLongPtrW(host->okButton, GWLP_WNDPROC));
    SetWindowLongPtrW(host->okButton, GWLP_WNDPROC, (LONG_PTR)OkButtonProc);
    // Taller by the strip, so the template's own controls keep their places.
    RECT window;
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + host->stripHeightPx,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceOkButton(dialog, host);
}

INT_PTR OnInitDialog(HWND dialog, DialogHost* host, WPARAM wParam) {
    if (host->captionOk) AddOkButton(dialog, host);
    RECT own;
    GetWindowRect(dialog, &own);
    host->ownPx = SIZE{own.right - own.left, own.bottom - own.top};
    host->initialised = true;
    return host->proc(dialog, WM_INITDIALOG, wParam, host->param);
}

// The dialog's own procedure sees a client area without the strip.
INT_PTR OnSize(HWND dialog, DialogHost* host, WPARAM wParam, LPARAM lParam) {
    if (!host->initialised) return FALSE;
    if (!host->okButton) return host->proc(dialog, WM_SIZE, wParam, lParam);
    PlaceOkButton(dialog, host);
    int heightPx = HIWORD(lParam) - host->stripHeightPx;
    return host->proc(dialog, WM_SIZE, wParam, MAKELPARAM(LOWORD(lParam), heightPx > 0 ? heightPx : 0));
}

// A dialog that paints its own background leaves the strip alone, so the
// strip gets the dialog colour first.
INT_PTR OnEraseBackground(HWND dialog, DialogHost* host, WPARAM wParam, LPARAM lParam) {
    if (host->okButton) {
        RECT strip;
        GetClientRect(dialog, &strip);
        strip.top = strip.bottom - host->stripHeightPx;
        FillRect((HDC)wParam, &strip, GetSysColorBrush(COLOR_BTNFACE));
    }
    return host->proc(dialog, WM_ERASEBKGND, wParam, lParam);
}

// The desktop form keeps the size the user leaves it at, as pixels at 96 DPI.
void RememberDialogSize(HWND dialog, const DialogHost* host) {
    RECT rect;
    if (!host->sizeValue || !GetWindowRect(dialog, &rect)) return;
    int dpi = WindowDpi(dialog);
    int widthPx96 = UnscalePx(rect.right - rect.left, dpi);
    int heightPx96 = UnscalePx(rect.bottom - rect.top, dpi);
    WriteSettingInt(host->sizeValue, (uint32_t)MAKELONG(widthPx96, heightPx96));
}

INT_PTR OnDestroy(HWND dialog, DialogHost* host, WPARAM wParam, LPARAM lParam) {
    RememberDialogSize(dialog, host);
    return host->initialised ? host->proc(dialog, WM_DESTROY, wParam, lParam) : FALSE;
}

// A resizable dialog never becomes smaller than its template made it.
INT_PTR OnGetMinMaxInfo(HWND dialog, DialogHost* host, WPARAM wParam, LPARAM lParam) {
    if (host->sizeValue) {
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = host->ownPx.cx;
        info->ptMinTrackSize.y = host->ownPx.cy;
    }
    return host->initialised ? host->proc(dialog, WM_GETMINMAXINFO, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK ShellDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogHost* host = HostOf(dialog);
    if (!host) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, host, wParam);
    case WM_SIZE: return OnSize(dialog, host, wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBackground(dialog, host, wParam, lParam);
    case WM_DESTROY: return OnDestroy(dialog, host, wParam, lParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(dialog, host, wParam, lParam);
    case WM_NCDESTROY: RemovePropW(dialog, kHostProp); return host->proc(dialog, message, wParam, lParam);
    default: return host->initialised ? host->proc(dialog, message, wParam, lParam) : FALSE;
    }
}

// A copy of the template with the caption-OK bit taken out, which desktop
// Win32 does not know. Null when the template is damaged or memory is short.
void* CopyTemplate(const uint8_t* bytes, DWORD byteCount, bool* captionOk) {
    DialogTemplateInfo info;
    if (!ReadDialogTemplate(bytes, byteCount, &info)) return nullptr;
    void* copy = PlatformAlloc(byteCount);
    if (!copy) return nullptr;
    memcpy(copy, bytes, byteCount);
    *captionOk = (info.exStyle & kExStyleCaptionOk) != 0;
    uint32_t exStyle = info.exStyle & ~kExStyleCaptionOk;
    memcpy((uint8_t*)copy + info.exStyleOffset, &exStyle, sizeof(exStyle));
    return copy;
}

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

// Moves `rect` back onto the work area as far as its size allows.
void KeepOnWorkArea(RECT* rect) {
    RECT work = WorkAreaOf(MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST));
    LONG dx = rect->right > work.right ? work.right - rect->right : 0;
    LONG dy = rect->bottom > work.bottom ? work.bottom - rect->bottom : 0;
    if (rect->left + dx < work.left) dx = work.left - rect->left;
    if (rect->top + dy < work.top) dy = work.top - rect->top;
    OffsetRect(rect, dx, dy);
}

// The owner's rectangle, but never smaller than the dialog as its template
// made it, where every control has room.
RECT FullSizeRect(HWND dialog, const RECT& area) {
    const DialogHost* host = (const DialogHost*)GetPropW(dialog, kHostProp);
    SIZE own = host ? host->ownPx : SIZE{0, 0};
    RECT rect = area;
    if (rect.right - rect.left < own.cx) rect.right = rect.left + own.cx;
    if (rect.bottom - rect.top < own.cy) rect.bottom = rect.top + own.cy;
    if (!EqualRect(&rect, &area)) KeepOnWorkArea(&rect);
    return rect;
}

}  // namespace

BOOL ShellInitDialog(ShellInitDialogInfo* info) {
    if (!info || !info->dialog) return FALSE;
    if (!(info->mask & SHIDIM_FLAGS) || !(info->flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN))) return TRUE;
    RECT area;
    HWND owner = GetWindow(info->dialog, GW_OWNER);
    if (!owner || !GetWindowRect(owner, &area))
        area = WorkAreaOf(MonitorFromWindow(info->dialog, MONITOR_DEFAULTTONEAREST));
    RECT rect = FullSizeRect(info->dialog, area);
    return SetWindowPos(info->dialog, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitFullScreenDialog(HWND dialog, DWORD flags, BOOL fullScreen) {
    ShellInitDialogInfo info = {SHIDIM_FLAGS, dialog, fullScreen ? flags : flags | SHIDIF_DONEBUTTON};
    // In full screen the main window already covers its monitor, so taking
    // its rectangle covers the screen; the handheld's extra move to the top
    // edge would only push the dialog off a monitor that is not the first.
    ShellInitDialog(&info);
}

bool WantsDesktopDialog(HWND owner, BOOL fullScreen) {
    if (fullScreen || !owner || !IsWindow(owner)) return false;
    // A reader that has put its frame off covers its monitor: full screen.
    if ((GetWindowLongPtrW(owner, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return false;
    RECT client;
    if (!GetClientRect(owner, &client)) return false;
    return client.right - client.left > ScalePx(kHandheldWidthPx96, WindowDpi(owner));
}

SIZE StoredDialogSizePx96(const DesktopDialogSize& size) {
    SIZE wanted = {size.widthPx96, size.heightPx96};
    if (!size.sizeValue) return wanted;
    uint32_t stored = (uint32_t)ReadSettingInt(size.sizeValue, 0);
    int widthPx96 = LOWORD(stored);
    int heightPx96 = HIWORD(stored);
    bool usable = widthPx96 >= kMinStoredDialogPx96 && heightPx96 >= kMinStoredDialogPx96 &&
                  widthPx96 <= kMaxStoredDialogPx96 && heightPx96 <= kMaxStoredDialogPx96;
    return usable ? SIZE{widthPx96, heightPx96} : wanted;
}

RECT DesktopDialogRect(SIZE sizePx, const RECT& ownerRect, const RECT& workArea) {
    LONG widthPx = sizePx.cx < workArea.right - workArea.left ? sizePx.cx : workArea.right - workArea.left;
    LONG heightPx = sizePx.cy < workArea.bottom - workArea.top ? sizePx.cy : workArea.bottom - workArea.top;
    LONG left = ownerRect.left + (ownerRect.right - ownerRect.left - widthPx) / 2;
    LONG top = ownerRect.top + (ownerRect.bottom - ownerRect.top - heightPx) / 2;
    if (left + widthPx > workArea.right) left = workArea.right - widthPx;
    if (top + heightPx > workArea.bottom) top = workArea.bottom - heightPx;
    if (left < workArea.left) left = workArea.left;
    if (top < workArea.top) top = workArea.top;
    return RECT{left, top, left + widthPx, top + heightPx};
}

void InitReaderDialog(HWND dialog, DWORD flags, BOOL fullScreen, const DesktopDialogSize& desktop) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    DialogHost* host = (DialogHost*)GetPropW(dialog, kHostProp);
    if (!host || !WantsDesktopDialog(owner, fullScreen)) {
        InitFullScreenDialog(dialog, flags, fullScreen);
        return;
    }
    host->sizeValue = desktop.sizeValue;
    SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_THICKFRAME);
    int dpi = WindowDpi(owner);
    SIZE px96 = StoredDialogSizePx96(desktop);
    SIZE sizePx = {ScalePx(px96.cx, dpi), ScalePx(px96.cy, dpi)};
    if (sizePx.cx < host->ownPx.cx) sizePx.cx = host->ownPx.cx;
    if (sizePx.cy < host->ownPx.cy) sizePx.cy = host->ownPx.cy;
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    RECT rect = DesktopDialogRect(sizePx, ownerRect, WorkAreaOf(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)));
    SetWindowPos(dialog, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

INT_PTR RunDialogTemplate(HINSTANCE instance, WORD templateId, HWND owner, DLGPROC proc, LPARAM param) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const uint8_t* bytes = loaded ? (const uint8_t*)LockResource(loaded) : nullptr;
    if (!bytes || !proc) return -1;
    DialogHost host = {proc, param, false, false, nullptr, 0, SIZE{0, 0}, nullptr};
    void* copy = CopyTemplate(bytes, SizeofResource(instance, found), &host.captionOk);
    if (!copy) return -1;
    DialogHost* outerPending = gPendingHost;
    gPendingHost = &host;
    INT_PTR result = DialogBoxIndirectParamW(instance, (const DLGTEMPLATE*)copy, owner, ShellDialogProc, 0);
    gPendingHost = outerPending;
    PlatformFree(copy);
    return result;
}

BOOL GetDialogClientRect(HWND dialog, RECT* rect) {
    if (!GetClientRect(dialog, rect)) return FALSE;
    DialogHost* host = (DialogHost*)GetPropW(dialog, kHostProp);
    if (host && host->okButton) {
        rect->bottom -= host->stripHeightPx;
        if (rect->bottom < rect->top) rect->bottom = rect->top;
    }
    return TRUE;
}
