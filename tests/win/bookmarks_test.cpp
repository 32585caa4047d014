// Command 123 on the reader's own window: bookmarking the current section,
// the question before removing one, and the check mark of "&Bookmark".
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "navigation/bookmarks.h"
#include "tests/win/reader_test_support.h"

namespace {

const wchar_t kTestClass[] = L"LorvanBookmarkTest";
const UINT kBookmarkCommand = 123;

class BookmarkTest : public ::testing::Test {
protected:
    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    HWND window = nullptr;

    void SetUp() override {
        ResetProgramState();
        gApp.flags = kFlagsDefault;
        gApp.lesson = 1;  // a section the test resources hold, for the panes
        wcscpy(gApp.font.faceName, L"DejaVu Sans");
        gApp.font.letterBase = kLetterBaseUnicode;
        RegisterMainClass(gApp.instance, kTestClass);
        window = CreateWindowExW(0, kTestClass, L"", WS_POPUP, 0, 0, 320, 480, nullptr, nullptr, gApp.instance,
                                 nullptr);
        ASSERT_NE(window, nullptr);
        gApp.lesson = 5;
    }
    void TearDown() override {
        DestroyWindow(window);
        TakeQuitMessage();
    }
    void Toggle(int answer) {
        boxes.answer = answer;
        DispatchCommand(window, kBookmarkCommand);
    }
    bool Checked() {
        return (GetMenuState(MenuOfBarButton(kGoButtonCommand), kBookmarkCommand, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    std::vector<uint16_t> List() {
        std::vector<uint16_t> list;
        for (int i = 0; gApp.bookmarks && i <= gApp.bookmarkCount; i++) list.push_back(gApp.bookmarks[i]);
        return list;
    }
};

}  // namespace

TEST_F(BookmarkTest, ToggleAsksBeforeRemovingAndCancelStopsTheQuestion) {
    Toggle(IDYES);
    EXPECT_EQ(List(), (std::vector<uint16_t>{5, 0}));
    EXPECT_TRUE(Checked());
    EXPECT_TRUE(boxes.shown.empty());

    Toggle(IDNO);  // keeps it
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Remove Bookmark?\n\nCancel - Don't ask again");
    EXPECT_EQ(boxes.shown[0].caption, L"Bookmark");
    EXPECT_EQ(boxes.shown[0].flags, (UINT)MB_YESNOCANCEL);
    EXPECT_EQ(List(), (std::vector<uint16_t>{5, 0}));
    EXPECT_TRUE(Checked());

    Toggle(IDYES);
    EXPECT_EQ(gApp.bookmarkCount, 0);
    EXPECT_FALSE(Checked());

    // Added in order; Cancel removes and ends the questions.
    for (uint16_t section : {7, 3, 5}) {
        gApp.lesson = section;
        Toggle(IDYES);
    }
    EXPECT_EQ(List(), (std::vector<uint16_t>{7, 3, 5, 0}));
    gApp.lesson = 3;
    Toggle(IDCANCEL);
    EXPECT_EQ(List(), (std::vector<uint16_t>{7, 5, 0}));
    size_t asked = boxes.shown.size();
    gApp.lesson = 7;
    Toggle(IDNO);
    EXPECT_EQ(boxes.shown.size(), asked);
    EXPECT_EQ(List(), (std::vector<uint16_t>{5, 0}));
    EXPECT_FALSE(Checked());
}
