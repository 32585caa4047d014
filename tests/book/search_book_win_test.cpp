// Search Again, Search Previous and Find All over the embedded book in the
// reader's own window: Search Again goes through exactly the matches Find
// All lists, in its order, and Search Previous retraces them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <tuple>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "navigation/find_all.h"
#include "navigation/search.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/services.h"
#include "tests/book/book_reader_test.h"
#include "tests/win/reader_test_support.h"

namespace {

// Section, first and last byte of the mark.
typedef std::tuple<int, int, int> Mark;

class SearchBookTest : public BookReaderTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(OpenReader(1, 360, 420));
    }
    static Mark Shown() {
        TextPane* pane = gSplit.activePane ? gSplit.activePane : gApp.mainPane;
        int section = pane == gSplit.bottomPane ? gApp.lesson + 1 : gApp.lesson;
        return Mark{section, pane->markStart, pane->markEnd - 1};
    }
};

std::vector<Mark> FindAllMarks(const char* codes, uint32_t options) {
    SearchPattern pattern = {(const uint8_t*)codes, (int)strlen(codes), options};
    FindAllResults results = {};
    EXPECT_EQ(FindAllInBook(&pattern, PlatformAlloc, &results), kFindAllDone);
    std::vector<Mark> marks;
    for (uint32_t i = 0; i < results.count; i++) {
        const SectionHit& hit = results.matches[i].hit;
        marks.push_back(Mark{results.matches[i].section, hit.endOffset - hit.length + 1, hit.endOffset});
    }
    FreeFindAllResults(&results);
    return marks;
}

}  // namespace

TEST_F(SearchBookTest, SearchAgainGoesThroughFindAllsListAndSearchPreviousBack) {
    const size_t kSteps = 40;
    // "hamem" and its like in drawing order; with the options, full and
    // defective spellings and the final mem too.
    for (uint32_t options : {0u, (uint32_t)(kSearchFinalLetters | kSearchSkipVavYod)}) {
        const char* codes = options ? "nof" : "oe";
        std::vector<Mark> listed = FindAllMarks(codes, options);
        ASSERT_GT(listed.size(), kSteps);
        strcpy((char*)gApp.searchString, codes);
        gApp.searchOptions = options;
        ActivateMainPane();
        ASSERT_EQ(GoToSection(window, 1), 0);
        std::vector<Mark> visited;
        for (size_t i = 0; i < kSteps; i++) {
            ASSERT_EQ(FindNext(window), 1);
            visited.push_back(Shown());
            ASSERT_EQ(visited.back(), listed[i]) << "match " << i << " options " << options;
        }
        for (size_t i = kSteps - 1; i-- > 0;) {
            ASSERT_EQ(FindPrevious(window), 1);
            ASSERT_EQ(Shown(), visited[i]) << "back to match " << i << " options " << options;
        }
        // From the first match back round the book's start to its last.
        ASSERT_EQ(FindPrevious(window), 1);
        EXPECT_EQ(Shown(), listed.back());
        ASSERT_EQ(FindNext(window), 1);
        EXPECT_EQ(Shown(), listed.front());
    }
    EXPECT_TRUE(boxes.shown.empty());
}
