// The About box from the reader's own template: its texts and picture, the
// link's font, size and colours, and the font's life; the link font's
// fallbacks on a button that has no font of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

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

std::vector<std::wstring> StaticTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = L"", text[128] = L"";
        GetClassNameW(child, className, 16);
        GetWindowTextW(child, text, 128);
        if (lstrcmpiW(className, L"Static") == 0 && text[0]) texts.push_back(text);
    }
    return texts;
}

HBITMAP PictureOf(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        HBITMAP bitmap = (HBITMAP)SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0);
        if (bitmap) return bitmap;
    }
    return nullptr;
}

// The longest run of pure blue in any row of the canvas.
int LongestBlueRun(const Canvas& canvas) {
    int longest = 0;
    for (int y = 0; y < canvas.heightPx; y++) {
        int run = 0;
        for (int x = 0; x < canvas.widthPx; x++) {
            run = canvas.At(x, y) == 0xFF0000 ? run + 1 : 0;
            if (run > longest) longest = run;
        }
    }
    return longest;
}

}  // namespace

TEST(AboutBox, ShowsVersionPictureAndABlueUnderlinedLinkSizedToItsText) {
    gApp.instance = GetModuleHandleW(nullptr);
    gAboutSteps = [](HWND dialog) {
        std::vector<std::wstring> texts = StaticTexts(dialog);
        EXPECT_NE(std::find(texts.begin(), texts.end(), L"Version 1.84a"), texts.end());
        EXPECT_NE(std::find(texts.begin(), texts.end(), L"Ostra (with Marel) Lorvan"), texts.end());
        BITMAP picture = {};
        ASSERT_TRUE(GetObjectW(PictureOf(dialog), sizeof picture, &picture));
        EXPECT_EQ(picture.bmWidth, 63);
        EXPECT_EQ(picture.bmHeight, 40);

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

        // The button is as large as its text in that font, plus the edges.
        HDC dc = GetDC(link);
        HGDIOBJ saved = SelectObject(dc, gShell.aboutLinkFont);
        SIZE extent;
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
        SelectObject(dc, saved);
        ReleaseDC(link, dc);
        RECT button;
        GetClientRect(link, &button);
        EXPECT_EQ(button.right, extent.cx + 2 * GetSystemMetrics(SM_CXEDGE));
        EXPECT_EQ(button.bottom, extent.cy + 2 * GetSystemMetrics(SM_CYEDGE));

        // Drawn blue on white, underlined: one row of blue nearly as wide as the text.
        Canvas canvas(button.right, button.bottom);
        canvas.Clear(0x808080);
        HGDIOBJ canvasFont = SelectObject(canvas.dc, gShell.aboutLinkFont);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = IDC_ABOUT_LINK;
        item.hwndItem = link;
        item.hDC = canvas.dc;
        item.rcItem = button;
        DrawLinkButton(dialog, IDC_ABOUT_LINK, &item);
        SelectObject(canvas.dc, canvasFont);
        EXPECT_EQ(canvas.At(0, 0), 0xFFFFFF);
        EXPECT_EQ(canvas.At(button.right - 1, button.bottom - 1), 0xFFFFFF);
        EXPECT_EQ(canvas.Count(0, 0, button.right, button.bottom, 0x808080), 0);
        EXPECT_GT(LongestBlueRun(canvas), extent.cx * 9 / 10);

        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    };
    INT_PTR result = RunDialogTemplate(GetModuleHandleW(nullptr), IDD_ABOUT, nullptr, AboutStepsProc, 0);
    gAboutSteps = nullptr;
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(gShell.aboutLinkFont, nullptr);  // deleted as the box closed
}

TEST(AboutBox, LinkFontOfAButtonWithoutFontIsTenPointTahoma) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HWND link = CreateWindowExW(0, L"BUTTON", L"www.example.com", WS_CHILD | BS_OWNERDRAW, 5, 5, 50, 8, parent,
                                (HMENU)(INT_PTR)IDC_ABOUT_LINK, GetModuleHandleW(nullptr), nullptr);
    ASSERT_EQ(SendMessageW(link, WM_GETFONT, 0, 0), 0);
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
