// FindNext on the reader's own window, over the small book of this program's
// test resources: sections 1 and 2, damaged 3 to 7, and the search sections
// 11, 12, 15, 17, 19 and 21; every other section is missing.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "navigation/find_all_window.h"
#include "navigation/search.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/services.h"
#include "tests/common/message_capture.h"
#include "tests/win/reader_test_support.h"

namespace {

const wchar_t kSearchTestClass[] = L"LorvanSearchTest";

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetReaderForTest();
        RegisterMainClass(gApp.instance, kSearchTestClass);
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
        ReleaseFindAll();
        TakeQuitMessage();
    }
    void OpenReaderAt(int section) {
        gApp.lesson = (uint16_t)section;
        window = CreateWindowExW(0, kSearchTestClass, L"", WS_POPUP, 0, 0, 300, 400, nullptr, nullptr,
                                 gApp.instance, nullptr);
        ASSERT_NE(window, nullptr);
        RECT client;
        GetClientRect(window, &client);
        OnSize(window, MAKELPARAM(client.right, client.bottom));
        boxes.shown.clear();  // a missing commentary is announced at the start
    }
    void SearchFor(const char* codes) {
        memset(gApp.searchString, 0, sizeof gApp.searchString);
        strcpy((char*)gApp.searchString, codes);
    }
    // The marked stretch of a pane's text.
    static std::string Marked(const TextPane* pane) {
        if (!pane || !pane->text || pane->markEnd <= pane->markStart) return "";
        return std::string((const char*)pane->text + pane->markStart, pane->markEnd - pane->markStart);
    }
    static bool Holds(const TextPane* pane, const char* codes) {
        return pane && pane->text && strstr((const char*)pane->text + 2, codes);
    }
    TextPane* Main() { return gApp.mainPane; }
    TextPane* Bottom() { return gSplit.bottomPane; }

    TestSettingsKeys keys;
    MessageBoxCatcher boxes;
    MessageCapture plainMessages;  // the damaged stream of section 5
    HWND window = nullptr;
};

}  // namespace

TEST_F(SearchTest, WrapsAroundTheBookToAMainTextSection) {
    OpenReaderAt(21);
    SearchFor("WRAP");
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 11);
    EXPECT_EQ(gSplit.activePane, Main());
    EXPECT_EQ(gSplit.activeScrollBar, gSplit.mainScrollBar);
    EXPECT_EQ(Marked(Main()), "WRAP");
    EXPECT_TRUE(Holds(Bottom(), "NOTE"));  // its commentary, section 12, below
    EXPECT_TRUE(boxes.shown.empty());
    // Search again goes on within section 11, then round again to the same match.
    EXPECT_EQ(DispatchCommand(window, 117), 0);
    EXPECT_EQ(gApp.lesson, 11);
    EXPECT_EQ(Marked(Main()), "WRAP");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SearchTest, CommentaryMatchMakesTheLowerPaneActiveUnlessItIsHidden) {
    OpenReaderAt(1);
    SearchFor("NOTE");
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 11);
    EXPECT_EQ(gSplit.activePane, Bottom());
    EXPECT_EQ(gSplit.activeScrollBar, gSplit.bottomScrollBar);
    EXPECT_EQ(Marked(Bottom()), "NOTE");
    EXPECT_TRUE(Holds(Main(), "WRAP"));  // section 11 above its commentary

    // From the commentary the next match is in section 15's main text.
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 15);
    EXPECT_EQ(gSplit.activePane, Main());
    EXPECT_EQ(Marked(Main()), "NOTE");

    // With the lower pane hidden, commentaries are passed over.
    DispatchCommand(window, 401);
    gSplit.activePane = nullptr;
    ASSERT_EQ(GoToSection(window, 1), 0);
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 15);
    EXPECT_EQ(gSplit.activePane, Main());
}

TEST_F(SearchTest, DamagedAndUnshowableSectionsArePassedOver) {
    OpenReaderAt(1);
    SearchFor("LOST");
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 19);  // not 17, whose first record the layout refuses
    EXPECT_EQ(Marked(Main()), "LOST");
    EXPECT_EQ(plainMessages.count, 1);  // section 5's own message; the search adds none
    // Commentary 20 is missing: that is announced, and the match still shown.
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Resource not found");
}

TEST_F(SearchTest, AMatchOnlyBeforeTheResumePointIsFoundAfterTheWholeBook) {
    OpenReaderAt(21);
    ASSERT_GT(Main()->lastFirstRow, 0);
    SearchFor("DEEP");
    // From the top of a fresh section the search goes down to its end.
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 21);
    EXPECT_EQ(Marked(Main()), "DEEP");
    EXPECT_EQ(Main()->firstRow, Main()->lastFirstRow);  // the match's row, as far as it goes
    uint16_t markStart = Main()->markStart;
    // Again: nothing lies below the mark, nothing elsewhere; the final full
    // search of the pane finds the same match and shows it in place.
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 21);
    EXPECT_EQ(Main()->markStart, markStart);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SearchTest, SearchAgainMovesOnFromAMatchInARulesText) {
    OpenReaderAt(21);
    SearchFor("E");  // only in the rule's "RULE" and the later "DEEP"
    EXPECT_EQ(FindNext(window), 1);
    const char* text = (const char*)Main()->text;
    EXPECT_EQ(std::string(text + Main()->markStart - 3, 4), "RULE");
    EXPECT_EQ(Main()->firstRow, 0);  // no line shows it to scroll to
    // Search Again goes on past it, to the highest "E" of "DEEP", then the other.
    EXPECT_EQ(DispatchCommand(window, 117), 0);
    EXPECT_EQ(gApp.lesson, 21);
    EXPECT_EQ(std::string(text + Main()->markStart - 2, 4), "DEEP");
    EXPECT_EQ(Main()->firstRow, Main()->lastFirstRow);
    DispatchCommand(window, 117);
    EXPECT_EQ(std::string(text + Main()->markStart - 1, 4), "DEEP");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SearchTest, NothingFoundSaysSoAndAnEmptySearchDoesNothing) {
    OpenReaderAt(11);
    SearchFor("ZZZZ");
    EXPECT_EQ(FindNext(window), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Not Found!");
    EXPECT_EQ(boxes.shown[0].caption, L"Lorvan");
    EXPECT_EQ(boxes.shown[0].flags, 0u);
    EXPECT_EQ(gApp.lesson, 11);
    EXPECT_EQ(Main()->markEnd, 0);

    SearchFor("");
    EXPECT_EQ(FindNext(window), 0);
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0), 0);  // consumed all the same
    EXPECT_EQ(boxes.shown.size(), 1u);

    // Enter searches again once a search is set.
    SearchFor("ONCE");
    EXPECT_EQ(SendMessageW(window, WM_KEYDOWN, VK_RETURN, 0), 0);
    EXPECT_EQ(Marked(Main()), "ONCE");
}

TEST_F(SearchTest, AStoredSectionOutsideTheBookStillEndsTheScan) {
    OpenReaderAt(400);
    SearchFor("ZZZZ");
    EXPECT_EQ(FindNext(window), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Not Found!");
    // A search string stored without a terminator, full of wildcards, is
    // bounded to its first 33 bytes.
    memset(gApp.searchString, '*', sizeof gApp.searchString);
    EXPECT_EQ(FindNext(window), 0);
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(SearchTest, NoMemoryForTheRecordListStopsTheSearchAtOnce) {
    OpenReaderAt(11);
    SearchFor("WRAP");
    FailAllocationsAfter(0);
    EXPECT_EQ(FindNext(window), 0);
    FailAllocationsAfter(-1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"There is not enough memory, aborting");
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(SearchTest, SearchPreviousRetracesSearchAgain) {
    OpenReaderAt(21);
    SearchFor("E");  // the rule's "RULE", then the two of "DEEP"
    struct Mark {
        int lesson;
        TextPane* pane;
        uint16_t start;
    };
    auto here = [this]() {
        TextPane* pane = gSplit.activePane ? gSplit.activePane : Main();
        return Mark{gApp.lesson, pane, pane->markStart};
    };
    std::vector<Mark> forward;
    for (int i = 0; i < 3; i++) {
        ASSERT_EQ(FindNext(window), 1);
        forward.push_back(here());
    }
    for (int i = 1; i >= 0; i--) {
        ASSERT_EQ(DispatchCommand(window, 161), 0);
        EXPECT_EQ(here().start, forward[i].start) << i;
    }
    // Then forward again to where it was.
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(here().start, forward[1].start);

    // Across sections and round the book's ends: 12 (commentary) and 15.
    SearchFor("NOTE");
    ASSERT_EQ(GoToSection(window, 1), 0);
    ActivateMainPane();
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 11);
    EXPECT_EQ(gSplit.activePane, Bottom());
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 15);
    EXPECT_EQ(FindPrevious(window), 1);
    EXPECT_EQ(gApp.lesson, 11);
    EXPECT_EQ(gSplit.activePane, Bottom());
    EXPECT_EQ(Marked(Bottom()), "NOTE");
    EXPECT_TRUE(Holds(Main(), "WRAP"));
    EXPECT_EQ(FindPrevious(window), 1);  // back past section 1 to the last sections
    EXPECT_EQ(gApp.lesson, 15);
    EXPECT_EQ(Marked(Main()), "NOTE");
    // With the commentary hidden it is passed over going back as well.
    DispatchCommand(window, 401);
    EXPECT_EQ(FindPrevious(window), 1);
    EXPECT_EQ(gApp.lesson, 15);
    boxes.shown.clear();  // section 15's commentary is missing, and said so
    SearchFor("ZZZZ");
    EXPECT_EQ(FindPrevious(window), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Not Found!");
}

TEST_F(SearchTest, FindAllListsEveryMatchAndEnterShowsOneMarked) {
    OpenReaderAt(1);
    SearchFor("NOTE");
    ASSERT_EQ(RunFindAll(window), 2);
    HWND results = OpenFindAllWindow();
    ASSERT_NE(results, nullptr);
    HWND list = GetFocus();
    ASSERT_TRUE(list && IsChild(results, list));
    ASSERT_EQ(FindAllRowCount(), 2);
    EXPECT_EQ(FindAllRowMatch(0)->section, 12);
    EXPECT_EQ(FindAllRowMatch(1)->section, 15);

    // Enter on a row shows its match as Search Again would, and the list stays.
    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(gApp.lesson, 11);
    EXPECT_EQ(gSplit.activePane, Bottom());
    EXPECT_EQ(Marked(Bottom()), "NOTE");
    SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(gApp.lesson, 15);
    EXPECT_EQ(gSplit.activePane, Main());
    EXPECT_EQ(Marked(Main()), "NOTE");
    EXPECT_TRUE(IsWindowVisible(results));
    // Search Again goes on from there.
    EXPECT_EQ(FindNext(window), 1);
    EXPECT_EQ(gApp.lesson, 11);

    // The filter, and the commentary hidden as Search Again passes over it.
    SetFindAllFilter(kShowMainText);
    ASSERT_EQ(FindAllRowCount(), 1);
    EXPECT_EQ(FindAllRowMatch(0)->section, 15);
    SetFindAllFilter(kShowBoth);
    DispatchCommand(window, 401);
    EXPECT_EQ(FindAllRowCount(), 1);
    DispatchCommand(window, 412);
    EXPECT_EQ(FindAllRowCount(), 2);

    // A new search fills the same window; one that finds nothing leaves it.
    SearchFor("LOST");
    EXPECT_EQ(RunFindAll(window), 1);  // section 17 cannot be shown
    EXPECT_EQ(FindAllRowMatch(0)->section, 19);
    SearchFor("ZZZZ");
    EXPECT_EQ(RunFindAll(window), 0);
    ASSERT_EQ(boxes.shown.size(), 2u);  // section 15's missing commentary, then nothing found
    EXPECT_EQ(boxes.shown[1].text, L"Not Found!");
    EXPECT_EQ(FindAllRowCount(), 1);
    SendMessageW(results, WM_CLOSE, 0, 0);
    EXPECT_EQ(FindAllWindow(), nullptr);
}

// Moved to a screen at twice the resolution, the window takes the suggested
// size, and its header and rows double; back again, they return.
TEST_F(SearchTest, FindAllFollowsAChangeOfResolution) {
    OpenReaderAt(1);
    SearchFor("NOTE");
    ASSERT_EQ(RunFindAll(window), 2);
    HWND results = OpenFindAllWindow();
    ASSERT_NE(results, nullptr);
    HWND list = GetFocus();
    auto listTop = [&] {
        RECT rect;
        GetWindowRect(list, &rect);
        MapWindowPoints(nullptr, results, (POINT*)&rect, 2);
        return rect.top;
    };
    auto rowAt = [&](int y) {  // a click there selects the row it falls in
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, y));
        return FindAllSelectedRow();
    };
    // The count and the filter buttons: the height of the font each label has.
    auto labelHeights = [&] {
        std::vector<LONG> heights;
        for (HWND child = GetWindow(results, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (child == list) continue;
            LOGFONTW font = {};
            GetObjectW((HFONT)SendMessageW(child, WM_GETFONT, 0, 0), sizeof font, &font);
            heights.push_back(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight);
        }
        return heights;
    };
    ASSERT_EQ(listTop(), 32);
    const std::vector<LONG> heights96 = labelHeights();
    ASSERT_EQ(heights96.size(), 4u);
    ASSERT_GT(heights96[0], 0);
    const int secondRowY = 40;
    EXPECT_EQ(rowAt(secondRowY), 1);
    RECT suggested = {100, 100, 740, 600};
    SendMessageW(results, WM_DPICHANGED, MAKEWPARAM(192, 192), (LPARAM)&suggested);
    RECT now;
    GetWindowRect(results, &now);
    EXPECT_EQ(now.right - now.left, 640);
    EXPECT_EQ(listTop(), 64);
    EXPECT_EQ(rowAt(secondRowY), 0);
    for (LONG height : labelHeights()) EXPECT_EQ(height, 2 * heights96[0]) << "labels at twice the resolution";
    SendMessageW(results, WM_DPICHANGED, MAKEWPARAM(96, 96), (LPARAM)&suggested);
    EXPECT_EQ(listTop(), 32);
    EXPECT_EQ(rowAt(secondRowY), 1);
    EXPECT_EQ(labelHeights(), heights96);
    SendMessageW(results, WM_CLOSE, 0, 0);
}
