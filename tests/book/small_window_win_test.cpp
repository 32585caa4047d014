// The reader started from a stored window place far too small for it: the
// window keeps to its minimum, and the font dialog that the first run opens
// over it still has room for every control.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "resources/resource_ids.h"
#include "tests/support/first_paint_watch.h"
#include "tests/win/reader_test_support.h"

namespace {

RECT ChildRect(HWND dialog, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, (POINT*)&rect, 2);
    return rect;
}

// Every control is whole inside the client area, overlaps no other, and
// each list shows at least three items.
void ExpectUsableControls(HWND dialog, void* checked) {
    const int ids[] = {IDC_FONT_FACES, IDC_FONT_SIZES, IDC_FONT_PREVIEW, IDC_FONT_BASE_CODE_PAGE,
                       IDC_FONT_BASE_UNICODE, IDOK};
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<RECT> placed;
    for (int id : ids) {
        HWND control = GetDlgItem(dialog, id);
        ASSERT_NE(control, nullptr) << id;
        RECT rect = ChildRect(dialog, control);
        RECT inside;
        EXPECT_FALSE(IsRectEmpty(&rect)) << id;
        EXPECT_TRUE(IntersectRect(&inside, &rect, &client) && EqualRect(&inside, &rect)) << id;
        for (const RECT& other : placed) {
            RECT overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &rect, &other)) << id;
        }
        placed.push_back(rect);
    }
    for (int id : {IDC_FONT_FACES, IDC_FONT_SIZES}) {
        HWND list = GetDlgItem(dialog, id);
        RECT inner;
        GetClientRect(list, &inner);
        EXPECT_GE(inner.bottom, 3 * (int)SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)) << id;
    }
    *(bool*)checked = true;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

TEST(SmallWindow, AStoredTinyPlaceGivesAWindowAndDialogsWithRoom) {
    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    ResetProgramState();
    PutString(kTestProgramKey, L"WindowPlacement", L"0,0,100,100,0");  // no "FontName": a first run
    bool checked = false;
    HWND window = nullptr;
    auto start = [](void* started) { *(HWND*)started = StartReader(GetModuleHandleW(nullptr), SW_SHOWNA); };
    EXPECT_TRUE(ActAfterFirstPaint(L"Choose Font", start, &window, ExpectUsableControls, &checked, 0));
    EXPECT_TRUE(checked);
    ASSERT_NE(window, nullptr);
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_GE(rect.right - rect.left, MulDiv(kMinWindowWidthPx, dpi, 96));
    EXPECT_GE(rect.bottom - rect.top, MulDiv(kMinWindowHeightPx, dpi, 96));

    DestroyWindow(window);
    EndReader();
    TakeQuitMessage();
    ResetProgramState();
}
