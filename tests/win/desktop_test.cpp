// The reader on a desktop: the window's stored place and the shortcut keys
// that the menu's labels promise.
#include <gtest/gtest.h>

#include <wchar.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/window_place.h"
#include "platform/desktop.h"
#include "platform/services.h"
#include "resources/resource_ids.h"
#include "tests/win/reader_test_support.h"

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Inside(const RECT& rect, const RECT& area) {
    return rect.left >= area.left && rect.top >= area.top && rect.right <= area.right && rect.bottom <= area.bottom;
}

std::wstring StoredPlace() {
    wchar_t* text = ReadSettingString(kWindowPlacementValue);
    std::wstring result = text ? text : L"(none)";
    PlatformFree(text);
    return result;
}

class WindowPlaceTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override {
        if (window) DestroyWindow(window);
        TakeQuitMessage();
    }
    HWND OpenFramedWindow(int left, int top, int widthPx, int heightPx) {
        window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, top, widthPx, heightPx,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        return window;
    }
    TestSettingsKeys keys;
    HWND window = nullptr;
};

}  // namespace

TEST(WindowPlaceFormat, ReadsOnlyWhatItWrites) {
    WindowPlace place = {};
    ASSERT_TRUE(ParseWindowPlace(L"-1200,-30,800,600,1", &place));
    EXPECT_TRUE(SameRect(place.rect, RECT{-1200, -30, -400, 570}));
    EXPECT_TRUE(place.maximized);
    wchar_t text[kWindowPlaceChars];
    FormatWindowPlace(place, text);
    EXPECT_STREQ(text, L"-1200,-30,800,600,1");

    const wchar_t* refused[] = {
        L"",  L"56,17,428,587",      L"56,17,428,587,0,0",   L"56,17,428,587,2",  L" 56,17,428,587,0",
        L"56,,428,587,0", L"56,17,-428,587,0", L"56,17,99,587,0", L"56,17,428,32768,0", L"9999999,17,428,587,0",
        L"--56,17,428,587,0", L"56;17;428;587;0", L"56,17,428,587,0x",
    };
    for (const wchar_t* text : refused) {
        WindowPlace untouched = {{1, 2, 3, 4}, false};
        EXPECT_FALSE(ParseWindowPlace(text, &untouched)) << "accepted: " << std::string(text, text + wcslen(text));
        EXPECT_TRUE(SameRect(untouched.rect, RECT{1, 2, 3, 4}));
    }
    EXPECT_FALSE(ParseWindowPlace(nullptr, &place));
}

TEST(WindowPlaceFormat, FitsIntoTheWorkArea) {
    const RECT area = {0, 30, 1024, 768};
    EXPECT_TRUE(SameRect(FitRectInto(RECT{100, 100, 580, 740}, area), RECT{100, 100, 580, 740}));
    EXPECT_TRUE(SameRect(FitRectInto(RECT{900, 700, 1380, 1340}, area), RECT{544, 128, 1024, 768}));
    EXPECT_TRUE(SameRect(FitRectInto(RECT{-500, -20, -20, 620}, area), RECT{0, 30, 480, 670}));
    EXPECT_TRUE(SameRect(FitRectInto(RECT{-3000, 200, 3000, 2200}, area), area));  // larger: the whole area

    EXPECT_TRUE(SameRect(ReadingRect(RECT{0, 0, 1024, 768}), RECT{272, 64, 752, 704}));
    EXPECT_TRUE(SameRect(ReadingRect(RECT{10, 20, 410, 520}), RECT{10, 20, 410, 520}));
    EXPECT_TRUE(SameRect(ReadingRect(RECT{0, 0, 800, 600}), RECT{160, 0, 640, 600}));  // portrait still
}

TEST_F(WindowPlaceTest, OpensWhereItWasOrAtTheReadingSize) {
    RECT work = WorkAreaNear(nullptr);
    WindowPlace place = InitialWindowPlace();
    EXPECT_TRUE(SameRect(place.rect, ReadingRect(work)));
    EXPECT_FALSE(place.maximized);

    RECT stored = {work.left + 40, work.top + 50, work.left + 460, work.top + 610};
    wchar_t text[kWindowPlaceChars];
    FormatWindowPlace(WindowPlace{stored, true}, text);
    WriteSettingString(kWindowPlacementValue, text);
    place = InitialWindowPlace();
    EXPECT_TRUE(SameRect(place.rect, stored));
    EXPECT_TRUE(place.maximized);

    // A screen that is gone, and values nobody wrote: still on the screen.
    WriteSettingString(kWindowPlacementValue, L"30000,-30000,480,640,0");
    place = InitialWindowPlace();
    EXPECT_TRUE(Inside(place.rect, work));
    EXPECT_EQ(place.rect.right - place.rect.left, 480);
    WriteSettingInt(kWindowPlacementValue, 12);
    EXPECT_TRUE(SameRect(InitialWindowPlace().rect, ReadingRect(work)));
    PutRegValue(kTestProgramKey, kWindowPlacementValue, REG_BINARY, "\x31\x00\x2C", 3);
    EXPECT_TRUE(SameRect(InitialWindowPlace().rect, ReadingRect(work)));
}

TEST_F(WindowPlaceTest, ExitStoresTheRestoredPlaceButNotFullScreen) {
    RECT work = WorkAreaNear(nullptr);
    ASSERT_NE(OpenFramedWindow(work.left + 40, work.top + 50, 420, 560), nullptr);
    gApp.mainWindow = window;
    SaveSettingsAndQuit();
    wchar_t expected[kWindowPlaceChars];
    FormatWindowPlace(WindowPlace{RECT{work.left + 40, work.top + 50, work.left + 460, work.top + 610}, false},
                      expected);
    EXPECT_EQ(StoredPlace(), expected);

    // Maximised: the place it comes back to, and the mark.
    ShowWindow(window, SW_MAXIMIZE);
    ResetSettingsSaved();
    SaveSettingsAndQuit();
    FormatWindowPlace(WindowPlace{RECT{work.left + 40, work.top + 50, work.left + 460, work.top + 610}, true},
                      expected);
    EXPECT_EQ(StoredPlace(), expected);

    gShell.fullScreen = 1;
    ShowWindow(window, SW_RESTORE);
    MoveWindow(window, work.left, work.top, 300, 300, FALSE);
    ResetSettingsSaved();
    SaveSettingsAndQuit();
    EXPECT_EQ(StoredPlace(), expected);
}

// Every shortcut text of the menu ("\bCtrl+F") has its key in accelerator
// table 3 for the same command, and the table has no key the menu does not show.
TEST(ShortcutKeys, AreTheOnesTheMenuShows) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HACCEL table = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_LORVAN));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32];
    int count = CopyAcceleratorTableW(table, keys, 32);
    std::vector<std::pair<std::wstring, UINT>> fromTable;
    for (int i = 0; i < count; i++) {
        std::wstring name = (keys[i].fVirt & FCONTROL) ? L"Ctrl+" : (keys[i].fVirt & FALT) ? L"Alt+" : L"";
        if (keys[i].key >= VK_F1 && keys[i].key <= VK_F12) name += L"F" + std::to_wstring(keys[i].key - VK_F1 + 1);
        else name += (wchar_t)keys[i].key;
        EXPECT_TRUE(keys[i].fVirt & FVIRTKEY) << "not a virtual key: " << keys[i].cmd;
        fromTable.push_back({name, keys[i].cmd});
    }

    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDM_LORVAN));
    ASSERT_NE(menu, nullptr);
    std::vector<std::pair<std::wstring, UINT>> fromMenu;
    for (int popup = 0; popup < GetMenuItemCount(menu); popup++) {
        HMENU items = GetSubMenu(menu, popup);
        for (int i = 0; i < GetMenuItemCount(items); i++) {
            wchar_t label[64] = L"";
            GetMenuStringW(items, i, label, 64, MF_BYPOSITION);
            const wchar_t* shortcut = wcschr(label, L'\b');
            if (shortcut) fromMenu.push_back({shortcut + 1, GetMenuItemID(items, i)});
        }
    }
    DestroyMenu(menu);
    EXPECT_EQ(fromMenu.size(), 8u);
    std::sort(fromTable.begin(), fromTable.end());
    std::sort(fromMenu.begin(), fromMenu.end());
    EXPECT_EQ(fromTable, fromMenu);
}
