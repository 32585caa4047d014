// Settings against the real registry, under a key of the tests' own.
#include <gtest/gtest.h>

#include <string.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "clipboard/copy_text.h"
#include "navigation/bookmarks.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/services.h"
#include "tests/win/pane_test_support.h"
#include "tests/win/reader_test_support.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override {
        ReleaseSettings();
        TakeQuitMessage();
        ResetSettingsSaved();
    }
    TestSettingsKeys keys;
};

std::vector<uint16_t> Bookmarks() {
    std::vector<uint16_t> list;
    if (!gApp.bookmarks) return list;
    for (int i = 0; i <= gApp.bookmarkCount; i++) list.push_back(gApp.bookmarks[i]);
    return list;
}

}  // namespace

TEST_F(SettingsTest, ReadRegIntTakesNumbersAndParsesStringsWithTheirQuirks) {
    PutDword(kTestProgramKey, L"Number", 0xD1140040u);
    PutString(kTestProgramKey, L"Twelve", L"12");
    PutString(kTestProgramKey, L"Minus", L"-5");        // '-' counts as the digit -3
    PutString(kTestProgramKey, L"Letter", L"1A");       // 'A' adds 65 - 48 = 17
    PutString(kTestProgramKey, L"Empty", L"");
    PutString(kTestProgramKey, L"Huge", L"99999999999999999999");
    EXPECT_EQ((uint32_t)ReadRegInt(kTestProgramKey, L"Number", 7), 0xD1140040u);
    EXPECT_EQ(ReadRegInt(kTestProgramKey, L"Twelve", 7), 12);
    EXPECT_EQ(ReadRegInt(kTestProgramKey, L"Minus", 7), -3 * 10 + 5);
    EXPECT_EQ(ReadRegInt(kTestProgramKey, L"Letter", 7), 1 * 10 + 17);
    EXPECT_EQ(ReadRegInt(kTestProgramKey, L"Empty", 7), 0);
    EXPECT_EQ(ReadRegInt(kTestProgramKey, L"Huge", 7), 0x630FFFFF);  // 10^20 - 1, modulo 2^32
    EXPECT_EQ(ReadRegInt(kTestProgramKey, L"Missing", 7), 7);
    EXPECT_EQ(ReadRegInt(L"Software\\Quenmark\\LorvanTest\\NoSuchKey", L"Number", -2), -2);
}

TEST_F(SettingsTest, StringValueWithoutTerminatorStillEnds) {
    const wchar_t unterminated[3] = {L'a', L'b', L'c'};
    PutRegValue(kTestProgramKey, L"Raw", REG_BINARY, unterminated, sizeof(unterminated));
    wchar_t* text = ReadSettingString(L"Raw");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"abc");
    PlatformFree(text);
    PutRegValue(kTestProgramKey, L"OddBytes", REG_BINARY, "12345", 5);
    EXPECT_EQ(ReadRegInt(kTestProgramKey, L"OddBytes", 9), ParseDecimalUnits(L"\x3231\x3433\x35", 3));
    uint8_t one = 1;
    PutRegValue(kTestProgramKey, L"Short", REG_DWORD, &one, 1);
    EXPECT_EQ(ReadRegInt(kTestProgramKey, L"Short", 9), 1);
}

TEST_F(SettingsTest, FirstStartUsesDefaultsAndFirstExitWritesTheTable) {
    LoadSettings();
    EXPECT_EQ(gApp.flags, kFlagsDefault);
    EXPECT_EQ(gApp.font.letterBase, 0x5D0);
    EXPECT_EQ(gApp.font.size, kFirstStartFontSize);  // a reading size, not the platform's small default
    EXPECT_EQ(gApp.chosenFontSize, kFirstStartFontSize);
    EXPECT_EQ(gApp.lesson, 0);
    EXPECT_EQ(gSplit.bottomSection, 12);
    EXPECT_EQ(gApp.bookmarks, nullptr);
    EXPECT_NE(gApp.gridBitmaps[0], nullptr);
    EXPECT_NE(gApp.gridBitmaps[2], nullptr);
    DWORD type = 0;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(GetRegValue(kTestProgramKey, L"Program Path", &type, &bytes));  // creates the key
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_NE(wcsstr(reinterpret_cast<const wchar_t*>(bytes.data()), L".exe"), nullptr);

    SetLesson(0);
    SaveSettingsAndQuit();
    EXPECT_TRUE(TakeQuitMessage());
    EXPECT_NE(gApp.gridBitmaps[0], nullptr);  // released with the window, not by the save
    ReleaseSettings();
    EXPECT_EQ(gApp.gridBitmaps[0], nullptr);
    DWORD value = 0;
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Flags", &value));
    EXPECT_EQ(value, kFlagsDefault);
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Lesson", &value));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(GetDword(kTestProgramKey, L"FontAsciiBase", &value));
    EXPECT_TRUE(GetDword(kTestProgramKey, L"BottomSection", &value));
    EXPECT_EQ(value, 12u);
    EXPECT_TRUE(GetDword(kTestProgramKey, L"FontSize", &value));
    EXPECT_EQ(value, (DWORD)kFirstStartFontSize);
    EXPECT_TRUE(GetDword(kTestProgramKey, L"SearchOptions", &value));
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(GetRegValue(kTestProgramKey, L"FontName", &type, &bytes));
    EXPECT_FALSE(GetRegValue(kTestProgramKey, L"SearchString", &type, &bytes));
    EXPECT_FALSE(GetDword(kTestProgramKey, L"LastPosition", &value));  // no pane existed
    ASSERT_TRUE(GetRegValue(kTestProgramKey, L"Bookmarks", &type, &bytes));
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(bytes, std::vector<uint8_t>({0, 0}));
}

TEST_F(SettingsTest, SavedValuesComeBackAfterARestart) {
    LoadSettings();
    wcscpy(gApp.font.faceName, L"Frank Ruehl CLM");
    gApp.font.size = 22;
    gApp.font.letterBase = 224;
    gApp.flags = 0xD1140840u;
    gApp.lesson = 37;
    strcpy(reinterpret_cast<char*>(gApp.searchString), "abc");
    gApp.searchOptions = 0x80000002u;  // a bit of a later version rides along
    gSplit.bottomSection = 23;
    uint16_t* list = static_cast<uint16_t*>(PlatformAlloc(4 * sizeof(uint16_t)));
    list[0] = 7; list[1] = 3; list[2] = 5; list[3] = 0;
    gApp.bookmarks = list;
    gApp.bookmarkCount = 3;
    SaveSettingsAndQuit();
    ReleaseSettings();
    EXPECT_EQ(gApp.bookmarks, nullptr);

    ResetProgramState();
    LoadSettings();
    EXPECT_STREQ(gApp.font.faceName, L"Frank Ruehl CLM");
    EXPECT_EQ(gApp.font.size, 22);
    EXPECT_EQ(gApp.font.letterBase, 224);
    EXPECT_EQ(gApp.flags, 0xD1140840u);
    EXPECT_EQ(gApp.lesson, 37);
    EXPECT_STREQ(reinterpret_cast<char*>(gApp.searchString), "abc");
    EXPECT_EQ(gApp.searchOptions, 0x80000002u);
    EXPECT_EQ(gSplit.bottomSection, 23);
    EXPECT_EQ(Bookmarks(), std::vector<uint16_t>({7, 3, 5, 0}));
    EXPECT_EQ(gApp.bookmarkCount, 3);
    SaveSettingsAndQuit();
}

TEST_F(SettingsTest, SaveRunsOnceSoASecondSaveCannotLoseTheBookmarks) {
    const uint8_t stored[] = {9, 0, 0, 0};
    PutRegValue(kTestProgramKey, L"Bookmarks", REG_BINARY, stored, sizeof(stored));
    LoadSettings();
    SaveSettingsAndQuit();
    SaveSettingsAndQuit();  // e.g. log-off first, then the window's destruction
    DWORD type = 0;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(GetRegValue(kTestProgramKey, L"Bookmarks", &type, &bytes));
    EXPECT_EQ(bytes, std::vector<uint8_t>(stored, stored + 4));
}

TEST_F(SettingsTest, LongValuesAreCutToTheirFields) {
    PutString(kTestProgramKey, L"FontName", std::wstring(40, L'x'));
    std::string search(50, 'b');
    PutRegValue(kTestProgramKey, L"SearchString", REG_BINARY, search.c_str(), 51);
    LoadSettings();
    EXPECT_EQ(wcslen(gApp.font.faceName), 31u);
    EXPECT_EQ(strlen(reinterpret_cast<char*>(gApp.searchString)), 33u);

    // A search string stored without its 0, shorter than the field, ends where it ends.
    ResetProgramState();
    PutRegValue(kTestProgramKey, L"SearchString", REG_BINARY, "kl", 2);
    LoadSettings();
    EXPECT_STREQ(reinterpret_cast<char*>(gApp.searchString), "kl");

    ResetProgramState();
    strcpy(reinterpret_cast<char*>(gApp.searchString), "keep");
    PutRegValue(kTestProgramKey, L"SearchString", REG_BINARY, "\0abc", 4);
    LoadSettings();
    EXPECT_STREQ(reinterpret_cast<char*>(gApp.searchString), "keep");
}

TEST_F(SettingsTest, OddStoredValuesGetUsableResults) {
    PutString(kTestProgramKey, L"Lesson", L"13");
    PutDword(kTestProgramKey, L"BottomSection", 20);  // units digit 0
    LoadSettings();
    EXPECT_EQ(gApp.lesson, 13);  // a number stored as a string
    EXPECT_EQ(gSplit.bottomSection, 12);
    for (DWORD code : {1u, 12u, 13u, 14u, 23u, 34u}) {
        PutDword(kTestProgramKey, L"BottomSection", code);
        LoadSettings();
        EXPECT_EQ(gSplit.bottomSection, (int)code);
    }
    PutDword(kTestProgramKey, L"BottomSection", 99);
    LoadSettings();
    EXPECT_EQ(gSplit.bottomSection, 12);
}

// Values that the reader never writes, loaded from the registry, and what the
// reader then does with them: which section opens and where, which letters
// the codes become (and so whether Copy gets the whole section), and how
// tall the fonts are.
TEST_F(SettingsTest, UnusableStoredValuesLoadAsUsableOnes) {
    struct Case {
        DWORD lesson, fontSize, letterBase;
        uint16_t opens;
        bool keepsPosition;
        int32_t size, base;
    };
    const Case cases[] = {
        {37, 20, 0x5D0, 37, true, 20, 0x5D0},  // usable: as stored
        {31767, 0x80000000u, 0, 1, false, kMaxFontSizePx, 0x5D0},  // the index's own number
        {357, 0x7FFFFFFF, 0xFFFFFFFF, 1, false, kMaxFontSizePx, 0x5D0},
        {0x10003, 1, 0x7FFFFFFF, 1, false, kMinFontSizePx, 0x5D0},  // not section 3 by its low 16 bits
        {0xFFFFFFFF, 0xFFFFFFFF, 1234, 1, false, kMinFontSizePx, 0x5D0},  // -1: a letter height of 1
        {356, 72, 97, 355, false, 72, 97},  // a commentary: the text it belongs to
        {2, 8, 224, 1, false, 8, 224},
    };
    SectionBuilder section;
    section.Add(0x81, 0, "ba{");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Lesson " << c.lesson << ", FontSize " << c.fontSize << ", FontAsciiBase "
                                        << c.letterBase);
        ResetProgramState();
        PutDword(kTestProgramKey, L"Lesson", c.lesson);
        PutDword(kTestProgramKey, L"LastPosition", 5);
        PutDword(kTestProgramKey, L"FontSize", c.fontSize);
        PutDword(kTestProgramKey, L"FontAsciiBase", c.letterBase);
        LoadSettings();
        SetLesson(0);  // as the start-up does
        EXPECT_EQ(gApp.lesson, c.opens);
        EXPECT_EQ(gApp.lastPosition, c.keepsPosition ? 5 : 0);
        EXPECT_EQ(gApp.font.size, c.size);
        EXPECT_EQ(gApp.font.letterBase, c.base);

        uint8_t* text = section.Take();
        wchar_t copied[16];
        EXPECT_EQ(BuildCopyText(text, copied, sizeof copied), kCopyTextBuilt);
        const wchar_t expected[] = {(wchar_t)(c.base + 1), (wchar_t)c.base, (wchar_t)(c.base + 26), L'\r', L'\n',
                                    L'\r', L'\n', 0};
        EXPECT_STREQ(copied, expected);
        PlatformFree(text);
        HFONT large = CreateStyleFont(&gApp.font, kFlagLarge);
        LOGFONTW font = {};
        GetObjectW(large, sizeof font, &font);
        EXPECT_EQ(font.lfHeight, c.size * 5 / 4);
        DeleteObject(large);
        ReleaseSettings();
    }
}

TEST_F(SettingsTest, StoredBookmarksAreCleanedBeforeUse) {
    // Odd length, no closing 0 word, a 0 inside and a repeated section.
    const uint8_t stored[] = {5, 0, 0, 0, 7, 0, 5, 0, 0x2C, 1, 9};
    PutRegValue(kTestProgramKey, L"Bookmarks", REG_BINARY, stored, sizeof(stored));
    InitBookmarks();
    EXPECT_EQ(Bookmarks(), std::vector<uint16_t>({5, 7, 300, 0}));
    EXPECT_EQ(gApp.bookmarkCount, 3);

    const uint8_t empty[] = {0, 0};
    PutRegValue(kTestProgramKey, L"Bookmarks", REG_BINARY, empty, sizeof(empty));
    InitBookmarks();
    EXPECT_EQ(Bookmarks(), std::vector<uint16_t>({0}));
    EXPECT_EQ(gApp.bookmarkCount, 0);

    PutRegValue(kTestProgramKey, L"Bookmarks", REG_BINARY, stored, 1);
    InitBookmarks();
    EXPECT_EQ(Bookmarks(), std::vector<uint16_t>({0}));

    RegDeleteKeyValueW(HKEY_CURRENT_USER, kTestProgramKey, L"Bookmarks");
    InitBookmarks();
    EXPECT_EQ(gApp.bookmarks, nullptr);
    EXPECT_EQ(gApp.bookmarkCount, 0);
}

TEST_F(SettingsTest, BookmarkCheckFollowsTheList) {
    const uint8_t stored[] = {3, 0, 0, 0};
    PutRegValue(kTestProgramKey, L"Bookmarks", REG_BINARY, stored, sizeof(stored));
    InitBookmarks();
    gApp.lesson = 3;
    EXPECT_EQ(IsBookmarked(), 1);
    gApp.lesson = 5;
    EXPECT_EQ(IsBookmarked(), 0);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 123, L"&Bookmark");
    EXPECT_EQ(SetMenuCheck(menu, kMenuCheckSet, 123, 1), 1);
    EXPECT_EQ(GetMenuState(menu, 123, MF_BYCOMMAND) & MF_CHECKED, (UINT)MF_CHECKED);
    EXPECT_EQ(SetMenuCheck(menu, kMenuCheckToggle, 123, 1), 0);
    EXPECT_EQ(GetMenuState(menu, 123, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(SetMenuCheck(menu, kMenuCheckToggle, 123, 0), 1);
    DestroyMenu(menu);
}

TEST_F(SettingsTest, ExhaustedMemoryTellsTheUserSavesAndQuits) {
    MessageBoxCatcher boxes;
    LoadSettings();
    gApp.lesson = 41;
    FailAllocationsAfter(0);
    void* block = AllocOrAbort(64);
    FailAllocationsAfter(-1);
    EXPECT_EQ(block, nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"There is not enough memory, aborting");
    EXPECT_EQ(boxes.shown[0].caption, L"Error");
    EXPECT_EQ(boxes.shown[0].flags, (UINT)MB_ICONSTOP);
    EXPECT_TRUE(TakeQuitMessage());
    DWORD value = 0;
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Lesson", &value));
    EXPECT_EQ(value, 41u);
    EXPECT_TRUE(ProgramEnding());
    void* fine = AllocOrAbort(64);
    EXPECT_NE(fine, nullptr);
    PlatformFree(fine);

    // A second failure says nothing more and saves nothing more.
    gApp.lesson = 43;
    FailAllocationsAfter(0);
    EXPECT_EQ(AllocOrAbort(64), nullptr);
    FailAllocationsAfter(-1);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Lesson", &value));
    EXPECT_EQ(value, 41u);
}

TEST_F(SettingsTest, MemoryRunningOutWhileLoadingLeavesTheStoredSettingsAlone) {
    MessageBoxCatcher boxes;
    PutString(kTestProgramKey, L"FontName", L"DejaVu Sans");
    PutDword(kTestProgramKey, L"Flags", 0x40);
    PutDword(kTestProgramKey, L"Lesson", 21);
    const uint8_t stored[] = {9, 0, 0, 0};
    PutRegValue(kTestProgramKey, L"Bookmarks", REG_BINARY, stored, sizeof(stored));
    FailAllocationsAfter(0);
    LoadSettings();
    FailAllocationsAfter(-1);
    EXPECT_FALSE(boxes.shown.empty());
    EXPECT_TRUE(TakeQuitMessage());
    SaveSettingsAndQuit();  // the window's destruction afterwards writes nothing either
    DWORD value = 0;
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Flags", &value));
    EXPECT_EQ(value, 0x40u);
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Lesson", &value));
    EXPECT_EQ(value, 21u);
    DWORD type = 0;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(GetRegValue(kTestProgramKey, L"Bookmarks", &type, &bytes));
    EXPECT_EQ(bytes, std::vector<uint8_t>(stored, stored + 4));

    // Memory ran out reading the shell options: a load after it does not make
    // the save that follows write.
    ReleaseSettings();
    ResetProgramState();
    PutDword(kTestMakerKey, L"FullScreen", 0);
    FailAllocationsAfter(0);
    ReadShellOptions();
    FailAllocationsAfter(-1);
    EXPECT_TRUE(TakeQuitMessage());
    LoadSettings();
    gApp.lesson = 99;
    SaveSettingsAndQuit();
    EXPECT_FALSE(TakeQuitMessage());
    EXPECT_TRUE(GetDword(kTestProgramKey, L"Lesson", &value));
    EXPECT_EQ(value, 21u);
}

TEST_F(SettingsTest, ShellOptionsHaveDefaultsAndAGutterThatFitsTheWindow) {
    ReadShellOptions();
    EXPECT_EQ(gShell.ignoreActivate, 0);
    EXPECT_EQ(gShell.fullScreen, 0);
    EXPECT_EQ(gShell.allowSipInHebrewSearch, 1);
    EXPECT_EQ(gApp.menuBarOnBottom, 0);
    EXPECT_EQ(gApp.gutter, 0);
    PutDword(kTestMakerKey, L"AllowSipInHebrewSearch", 0);
    PutDword(kTestMakerKey, L"SurroundingGutter", 6);
    ReadShellOptions();
    EXPECT_EQ(gShell.allowSipInHebrewSearch, 0);
    EXPECT_EQ(gApp.gutter, 6);
    // Doubled and added to coordinates, these would overflow or turn the panes inside out.
    PutDword(kTestMakerKey, L"SurroundingGutter", 0x7FFFFFFF);
    ReadShellOptions();
    EXPECT_EQ(gApp.gutter, 0xFFFF);
    PutString(kTestMakerKey, L"SurroundingGutter", L"-4");
    ReadShellOptions();
    EXPECT_EQ(gApp.gutter, 0);
}

TEST_F(SettingsTest, StoredBookmarksLoadWithNoAllocationBeyondTheValueAndTheList) {
    MessageBoxCatcher boxes;
    const uint8_t stored[] = {9, 0, 9, 0, 0, 0};
    PutRegValue(kTestProgramKey, L"Bookmarks", REG_BINARY, stored, sizeof(stored));
    FailAllocationsAfter(2);  // the value's buffer and the cleaned list
    InitBookmarks();
    FailAllocationsAfter(-1);
    EXPECT_EQ(Bookmarks(), std::vector<uint16_t>({9, 0}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SettingsTest, ViewOptionsAndADraggedShareComeBack) {
    LoadSettings();
    EXPECT_EQ(gView.theme, kThemeLight);
    EXPECT_EQ(gView.readingColumn, 1);  // on unless turned off
    EXPECT_EQ(gSplit.bottomShare, 0);
    gView.theme = kThemeDark;
    gView.readingColumn = 0;
    gSplit.bottomShare = 4049;  // dragged to 40.49 percent
    SaveSettingsAndQuit();
    DWORD value = 0;
    EXPECT_TRUE(GetDword(kTestProgramKey, L"BottomSectionPercent", &value));
    EXPECT_EQ(value, 40u);
    ReleaseSettings();

    ResetProgramState();
    LoadSettings();
    EXPECT_EQ(gView.theme, kThemeDark);
    EXPECT_EQ(gView.readingColumn, 0);
    EXPECT_EQ(gSplit.bottomShare, 4000);
    EXPECT_EQ(gSplit.bottomSection, 12);
    ReleaseSettings();

    // The share of the stored fraction is that fraction; odd values are not kept.
    const struct { DWORD percent; DWORD code; int share; } stored[] = {
        {50, 12, 0}, {33, 13, 0}, {34, 13, 3400}, {4, 12, 0}, {96, 12, 0}, {0xFFFFFFFF, 12, 0}};
    for (const auto& row : stored) {
        ResetProgramState();
        PutDword(kTestProgramKey, L"BottomSectionPercent", row.percent);
        PutDword(kTestProgramKey, L"BottomSection", row.code);
        PutDword(kTestProgramKey, L"Theme", 3);
        LoadSettings();
        EXPECT_EQ(gSplit.bottomShare, row.share) << row.percent;
        EXPECT_EQ(gView.theme, kThemeLight);
        ReleaseSettings();
    }
    // With the commentary hidden the share is 0, over a dragged one stored before.
    ResetProgramState();
    PutDword(kTestProgramKey, L"BottomSectionPercent", 40);
    LoadSettings();
    gSplit.bottomSection = 1;
    gSplit.bottomShare = 0;  // as "None" leaves it
    SaveSettingsAndQuit();
    EXPECT_TRUE(GetDword(kTestProgramKey, L"BottomSectionPercent", &value));
    EXPECT_EQ(value, 0u);
}
