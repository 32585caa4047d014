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
#include "platform/dpi.h"
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

    // 80% of the height, a 3 : 4 page, no wider than 640 px at 96 DPI.
    EXPECT_TRUE(SameRect(ReadingRect(RECT{0, 0, 1024, 768}, 96), RECT{282, 77, 742, 691}));
    EXPECT_TRUE(SameRect(ReadingRect(RECT{0, 0, 1920, 1040}, 96), RECT{648, 104, 1272, 936}));
    EXPECT_TRUE(SameRect(ReadingRect(RECT{0, 0, 3840, 2120}, 96), RECT{1600, 212, 2240, 1908}));
    EXPECT_TRUE(SameRect(ReadingRect(RECT{0, 0, 3840, 2120}, 192), RECT{1284, 212, 2556, 1908}));
    EXPECT_TRUE(SameRect(ReadingRect(RECT{10, 20, 410, 520}, 96), RECT{60, 70, 360, 470}));
    EXPECT_TRUE(SameRect(ReadingRect(RECT{0, 0, 300, 600}, 96), RECT{0, 60, 300, 540}));  // as wide as there is
}

TEST_F(WindowPlaceTest, OpensWhereItWasOrAtTheReadingSize) {
    RECT work = WorkAreaNear(nullptr);
    WindowPlace place = InitialWindowPlace();
    EXPECT_TRUE(SameRect(place.rect, ReadingRect(work, SystemDpi())));
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
    EXPECT_TRUE(SameRect(InitialWindowPlace().rect, ReadingRect(work, SystemDpi())));
    PutRegValue(kTestProgramKey, kWindowPlacementValue, REG_BINARY, "\x31\x00\x2C", 3);
    EXPECT_TRUE(SameRect(InitialWindowPlace().rect, ReadingRect(work, SystemDpi())));
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

// The character a shortcut text names a key by: plus, minus and 0 of the main
// keys and of the keypad alike ("=" is the plus key without Shift).
std::wstring KeyName(WORD key) {
    if (key >= VK_F1 && key <= VK_F12) return L"F" + std::to_wstring(key - VK_F1 + 1);
    if (key == VK_OEM_PLUS || key == VK_ADD) return L"+";
    if (key == VK_OEM_MINUS || key == VK_SUBTRACT) return L"-";
    if (key == VK_NUMPAD0) return L"0";
    if (key == VK_LEFT) return L"Left";
    if (key == VK_RIGHT) return L"Right";
    return std::wstring(1, (wchar_t)key);
}

// Every shortcut text of the menu ("\bCtrl+F") has its keys in accelerator
// table 3 for the same command, and the table has no key the menu does not show.
TEST(ShortcutKeys, AreTheOnesTheMenuShows) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HACCEL table = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_LORVAN));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32];
    int count = CopyAcceleratorTableW(table, keys, 32);
    std::vector<std::pair<std::wstring, UINT>> fromTable;
    for (int i = 0; i < count; i++) {
        std::wstring name = (keys[i].fVirt & FCONTROL) ? L"Ctrl+" : L"";
        // The plus of the main keys takes Shift to type; the menu names it "Ctrl++".
        if ((keys[i].fVirt & FSHIFT) && keys[i].key != VK_OEM_PLUS) name += L"Shift+";
        if (keys[i].fVirt & FALT) name += L"Alt+";
        EXPECT_TRUE(keys[i].fVirt & FVIRTKEY) << "not a virtual key: " << keys[i].cmd;
        fromTable.push_back({name + KeyName(keys[i].key), keys[i].cmd});
    }
    EXPECT_EQ(count, 24);  // the zoom keys twice or three times: main keys, Shift, keypad

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
    EXPECT_EQ(fromMenu.size(), 20u);
    std::sort(fromTable.begin(), fromTable.end());
    fromTable.erase(std::unique(fromTable.begin(), fromTable.end()), fromTable.end());
    std::sort(fromMenu.begin(), fromMenu.end());
    EXPECT_EQ(fromTable, fromMenu);
}
