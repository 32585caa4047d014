#include "app/about_box.h"

#include <shellapi.h>

#include "app/app_state.h"
#include "app/update_address.h"
#include "content/book_info.h"
#include "platform/dialog_shell.h"
#include "platform/dpi.h"
#include "resources/resource_ids.h"
#include "site_address.h"

const wchar_t kMakerSiteAddress[] = L"" LORVAN_SITE_URL;

namespace {

const int kLinkTextChars = 100;
const LONG kLinkWeight = 800;
const COLORREF kLinkColour = 0xFF0000;  // blue
const COLORREF kLinkBackground = 0xFFFFFF;

// A face the link can fall back on when the dialog's font names none.
const wchar_t kLinkFallbackFace[] = L"Tahoma";

// 10 points at the device's vertical resolution, as a character height.
LONG TenPointHeight(HDC dc) { return -10 * GetDeviceCaps(dc, LOGPIXELSY) / 72; }

void SizeButtonToText(HWND button, HDC dc, const wchar_t* text) {
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    int widthPx = extent.cx + 2 * GetSystemMetrics(SM_CXEDGE);
    int heightPx = extent.cy + 2 * GetSystemMetrics(SM_CYEDGE);
    SetWindowPos(button, nullptr, 0, 0, widthPx, heightPx, SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

// The book drawn for the box's resolution, when not the template's 1x one.
HBITMAP gAboutBitmap = nullptr;

// The template's one static control that shows a bitmap.
HWND AboutPicture(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) return child;
    }
    return nullptr;
}

void ReleaseBoxResources(HWND dialog) {
    if (gShell.aboutLinkFont) DeleteObject(gShell.aboutLinkFont);
    gShell.aboutLinkFont = nullptr;
    ReleaseArtInStatic(AboutPicture(dialog), &gAboutBitmap);
}

// Room for the credits: a title and two sources of five values each.
const size_t kCreditBytes = 13 * (kBookInfoMaxValue + 16);
const int kCreditsWidthDlu = 220;
const int kMarginDlu = 7;

// The bottom of the template's own area: above the strip of the OK button
// that the dialog shell adds on the desktop, whose margins are even.
int ContentBottom(HWND dialog, const RECT& client) {
    HWND ok = GetDlgItem(dialog, IDOK);
    if (!ok) return client.bottom;
    RECT button;
    GetWindowRect(ok, &button);
    MapWindowPoints(nullptr, dialog, (POINT*)&button, 2);
    return button.top - (client.bottom - button.bottom);
}

// Below the template's items, the book and where its text came from, when
// the book information names them; the box grows to hold them.
void AddBookCredits(HWND dialog) {
    static BookInfo info;
    static char utf8[kCreditBytes];
    static wchar_t text[kCreditBytes];
    if (!LoadBookInfo(&info) || !HasBookCredits(&info) || !FormatBookCredits(&info, utf8, sizeof utf8)) return;
    if (!MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text, (int)kCreditBytes)) return;
    RECT units = {kMarginDlu, kMarginDlu, kCreditsWidthDlu, 0};
    MapDialogRect(dialog, &units);
    RECT client;
    GetClientRect(dialog, &client);
    int widthPx = units.right > client.right ? units.right : client.right;
    RECT measured = {0, 0, widthPx - 2 * units.left, 0};
    HFONT font = (HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0);
    HDC dc = GetDC(dialog);
    HGDIOBJ saved = SelectObject(dc, font ? (HGDIOBJ)font : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, saved);
    ReleaseDC(dialog, dc);
    HWND credits = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, units.left,
                                   ContentBottom(dialog, client), measured.right, measured.bottom, dialog,
                                   (HMENU)(INT_PTR)IDC_ABOUT_BOOK, gApp.instance, nullptr);
    if (!credits) return;
    if (font) SendMessageW(credits, WM_SETFONT, (WPARAM)font, FALSE);
    // Grown about its centre, so that it stays centred where it opened.
    RECT frame;
    GetWindowRect(dialog, &frame);
    int growX = widthPx - client.right, growY = measured.bottom + units.top;
    int left = frame.left - growX / 2 > 0 ? frame.left - growX / 2 : 0;
    int top = frame.top - growY / 2 > 0 ? frame.top - growY / 2 : 0;
    SetWindowPos(dialog, nullptr, left, top, frame.right - frame.left + growX,
                 frame.bottom - frame.top + growY, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR OnAboutInit(HWND dialog) {
    gShell.aboutLinkFont = MakeLinkFont(dialog);
    AddBookCredits(dialog);
    gAboutBitmap = ShowArtInStatic(AboutPicture(dialog), gApp.instance, IDB_ABOUT, WindowDpi(dialog));
    return FALSE;
}

void EndAboutBox(HWND dialog, int result) {
    EndDialog(dialog, result);
    ReleaseBoxResources(dialog);
}

INT_PTR OnAboutCommand(HWND dialog, WPARAM wParam) {
    UINT id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        EndAboutBox(dialog, (int)id);
        return TRUE;
    }
    // An owner-drawn button also reports double clicks; one click opens one page.
    if (id == IDC_ABOUT_LINK && HIWORD(wParam) == BN_CLICKED) OpenMakerSite(GetDlgItem(dialog, IDC_ABOUT_LINK));
    return FALSE;
}

}  // namespace

void ShowAboutBox(HWND owner) { RunDialogTemplate(gApp.instance, IDD_ABOUT, owner, AboutDlgProc, 0); }

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM:
        DrawLinkButton(dialog, (UINT)wParam, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_INITDIALOG:
        return OnAboutInit(dialog);
    case WM_COMMAND:
        return OnAboutCommand(dialog, wParam);
    case WM_HELP:
        // Passed on, it would reach the main window and open a second box.
        return TRUE;
    case WM_DESTROY:
        // Closed with its owner, not through OK.
        ReleaseBoxResources(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

HFONT MakeLinkFont(HWND dialog) {
    HWND button = GetDlgItem(dialog, IDC_ABOUT_LINK);
    HDC dc = GetDC(button);
    if (!dc) return nullptr;
    LOGFONTW logFont;
    ZeroMemory(&logFont, sizeof logFont);
    HFONT buttonFont = (HFONT)SendMessageW(button, WM_GETFONT, 0, 0);
    if (buttonFont) GetObjectW(buttonFont, sizeof logFont, &logFont);
    logFont.lfUnderline = TRUE;
    if (logFont.lfFaceName[0] == 0) lstrcpynW(logFont.lfFaceName, kLinkFallbackFace, LF_FACESIZE);
    if (logFont.lfHeight == 0) logFont.lfHeight = TenPointHeight(dc);
    logFont.lfWeight = kLinkWeight;
    HFONT font = CreateFontIndirectW(&logFont);
    if (!font) {
        ReleaseDC(button, dc);
        return nullptr;
    }
    HGDIOBJ savedFont = SelectObject(dc, font);
    wchar_t text[kLinkTextChars + 1] = L"";
    GetWindowTextW(button, text, kLinkTextChars + 1);
    SendMessageW(button, WM_SETFONT, (WPARAM)font, TRUE);
    SizeButtonToText(button, dc, text);
    SelectObject(dc, savedFont);
    ReleaseDC(button, dc);
    return font;
}

void DrawLinkButton(HWND dialog, UINT controlId, const DRAWITEMSTRUCT* item) {
    wchar_t text[kLinkTextChars + 1] = L"";
    GetDlgItemTextW(dialog, (int)controlId, text, kLinkTextChars + 1);
    HDC dc = item->hDC;
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, kLinkBackground);
    // The opaque rectangle paints the whole button white first.
    ExtTextOutW(dc, GetSystemMetrics(SM_CXEDGE) / 2, 0, ETO_OPAQUE, &item->rcItem, text, (UINT)lstrlenW(text),
                nullptr);
}

void OpenMakerSite(HWND owner) { OpenUrl(owner, kMakerSiteAddress); }

void CheckForUpdates(HWND owner) {
    wchar_t address[kUpdateAddressUnits];
    // A site address too long for the buffer opens nothing rather than a cut address.
    if (!BuildUpdateAddress(kMakerSiteAddress, kBuildProcessor, kProductId, kVersionText, address,
                            kUpdateAddressUnits))
        return;
    OpenUrl(owner, address);
}

void OpenUrl(HWND owner, const wchar_t* address) {
    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"Open";
    info.lpFile = address;
    // A desktop passes the show command on to the browser it starts, and 0
    // would start it hidden.
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
}
