// The About box from the reader's own template: the link's font, size and
// colours and the font's life; the link font of a button without a font.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "app/about_box.h"
#include "app/app_state.h"
#include "platform/dialog_shell.h"
#include "resources/resource_ids.h"
#include "tests/win/pane_test_support.h"

namespace {

const UINT kRunSteps = WM_APP + 8;
std::function<void(HWND)> gAboutSteps;

INT_PTR CALLBACK AboutStepsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunSteps) {
        gAboutSteps(dialog);
        return TRUE;
    }
    INT_PTR result = AboutDlgProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) PostMessageW(dialog, kRunSteps, 0, 0);
    return result;
}

// The longest run of pure blue in any row: the underline is one.
int LongestBlueRun(const Canvas& canvas) {
    int longest = 0;
    for (int y = 0; y < canvas.heightPx; y++) {
        for (int x = 0, run = 0; x < canvas.widthPx; x++) {
            run = canvas.At(x, y) == 0xFF0000 ? run + 1 : 0;
            if (run > longest) longest = run;
        }
    }
    return longest;
}

}  // namespace

TEST(AboutBox, LinkIsBlueUnderlinedOnWhiteAndSizedToItsText) {
    gAboutSteps = [](HWND dialog) {
        HWND link = GetDlgItem(dialog, IDC_ABOUT_LINK);
        wchar_t text[128] = L"";
        GetWindowTextW(link, text, 128);
        EXPECT_STREQ(text, kMakerSiteAddress);
        ASSERT_NE(gShell.aboutLinkFont, nullptr);
        EXPECT_EQ((HFONT)SendMessageW(link, WM_GETFONT, 0, 0), gShell.aboutLinkFont);
        LOGFONTW logFont = {};
        GetObjectW(gShell.aboutLinkFont, sizeof logFont, &logFont);
        EXPECT_TRUE(logFont.lfUnderline);
        EXPECT_EQ(logFont.lfWeight, 800);

        Canvas canvas(400, 60);
        canvas.Clear(0x808080);
        HGDIOBJ savedFont = SelectObject(canvas.dc, gShell.aboutLinkFont);
        SIZE extent;
        GetTextExtentPoint32W(canvas.dc, text, lstrlenW(text), &extent);
        RECT button;
        GetClientRect(link, &button);
        EXPECT_EQ(button.right, extent.cx + 2 * GetSystemMetrics(SM_CXEDGE));
        EXPECT_EQ(button.bottom, extent.cy + 2 * GetSystemMetrics(SM_CYEDGE));

        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = IDC_ABOUT_LINK;
        item.hwndItem = link;
        item.hDC = canvas.dc;
        item.rcItem = button;
        DrawLinkButton(dialog, IDC_ABOUT_LINK, &item);
        SelectObject(canvas.dc, savedFont);
        EXPECT_EQ(canvas.Count(0, 0, button.right, button.bottom, 0x808080), 0);  // all painted
        EXPECT_EQ(canvas.At(button.right - 1, 0), 0xFFFFFF);
        EXPECT_GT(LongestBlueRun(canvas), extent.cx * 9 / 10);
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    };
    INT_PTR result = RunDialogTemplate(GetModuleHandleW(nullptr), IDD_ABOUT, nullptr, AboutStepsProc, 0);
    gAboutSteps = nullptr;
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(gShell.aboutLinkFont, nullptr);  // deleted as the box closed
}

TEST(AboutBox, NamesTheBookAndItsSourcesBelowTheTemplateAndGrowsToHoldThem) {
    gAboutSteps = [](HWND dialog) {
        HWND credits = GetDlgItem(dialog, IDC_ABOUT_BOOK);
        ASSERT_NE(credits, nullptr);
        wchar_t text[512] = L"";
        GetWindowTextW(credits, text, 512);
        EXPECT_STREQ(text, L"Test Book\r\nText: Example Text, Test Edition 1913, http://example.org/text, CC-BY\r\n"
                           L"Commentary: \x05E4\x05D9\x05E8\x05D5\x05E9, licence unknown");
        RECT place, client, link;
        GetWindowRect(credits, &place);
        MapWindowPoints(nullptr, dialog, (POINT*)&place, 2);
        GetClientRect(dialog, &client);
        GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_LINK), &link);
        MapWindowPoints(nullptr, dialog, (POINT*)&link, 2);
        EXPECT_GE(place.top, link.bottom);  // below the template's items
        RECT ok;
        GetWindowRect(GetDlgItem(dialog, IDOK), &ok);  // the desktop's OK strip, moved down below them
        MapWindowPoints(nullptr, dialog, (POINT*)&ok, 2);
        EXPECT_LT(place.bottom, ok.top);
        EXPECT_LE(ok.bottom, client.bottom);
        EXPECT_LE(place.right, client.right);
        RECT units = {0, 0, 220, 0};
        MapDialogRect(dialog, &units);
        EXPECT_GE(client.right, units.right);  // widened for the credits
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(RunDialogTemplate(GetModuleHandleW(nullptr), IDD_ABOUT, nullptr, AboutStepsProc, 0), IDOK);
    gAboutSteps = nullptr;
}

TEST(AboutBox, LinkFontOfAButtonWithoutFontIsTenPointTahoma) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HWND link = CreateWindowExW(0, L"BUTTON", L"www.example.com", WS_CHILD | BS_OWNERDRAW, 5, 5, 50, 8, parent,
                                (HMENU)(INT_PTR)IDC_ABOUT_LINK, GetModuleHandleW(nullptr), nullptr);
    HFONT font = MakeLinkFont(parent);
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof logFont, &logFont);
    EXPECT_STREQ(logFont.lfFaceName, L"Tahoma");
    HDC dc = GetDC(link);
    EXPECT_EQ(logFont.lfHeight, -10 * GetDeviceCaps(dc, LOGPIXELSY) / 72);
    ReleaseDC(link, dc);
    EXPECT_TRUE(GetWindowLongPtrW(link, GWL_STYLE) & WS_VISIBLE);  // shown once sized
    RECT place;
    GetWindowRect(link, &place);
    MapWindowPoints(nullptr, parent, (POINT*)&place, 2);
    EXPECT_EQ(place.left, 5);  // sized, not moved
    EXPECT_GT(place.right - place.left, 50);
    DestroyWindow(parent);
    DeleteObject(font);
}
