// Find All over the shipped edition, held against a scan of its own: each
// section expanded by the book tools, its records read here, and every
// record matched the plain way (search_reference.h).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "navigation/find_all.h"
#include "platform/host_resources.h"
#include "platform/services.h"
#include "tests/common/search_reference.h"
#include "tests/host/edition_book.h"

namespace {

// Section, last byte of the match, length, and the record's text.
typedef std::tuple<int, int, int, int, int> Row;

void RegisterEdition() {
    ClearHostResources();
    for (const auto& resource : EditionResources())
        RegisterHostResource(resource.first, resource.second.data(), (uint32_t)resource.second.size());
}

// Every section's text, expanded by the book tools (which use the resource
// table themselves, so before RegisterEdition).
const std::vector<std::vector<uint8_t>>& DecodedBook() {
    static std::vector<std::vector<uint8_t>> texts;
    if (texts.empty()) {
        texts.resize(kLastBookSection + 1);
        int error = 0;
        for (int section = 1; section <= kLastBookSection; section++)
            texts[section] = ExpandResource(EditionResources().at((uint16_t)(1000 + section)), &error);
    }
    return texts;
}

std::vector<Row> ScanBook(const std::string& codes, uint32_t options) {
    std::vector<Row> rows;
    for (int section = 1; section <= kLastBookSection; section++) {
        const std::vector<uint8_t>& text = DecodedBook()[section];
        size_t at = 0;
        while (at < text.size() && text[at] != 0) {
            size_t start = at + 2, end = start;
            while (text[end] != 0) end++;
            auto matches = ReferenceMatchesInRecord(text.data() + start, (int)(end - start),
                                                    (const uint8_t*)codes.data(), (int)codes.size(), options);
            for (const auto& match : matches)
                rows.emplace_back(section, (int)start + match.first, match.second, (int)start, (int)end);
            at = end + 1;
        }
    }
    return rows;
}

std::vector<Row> FindAll(const std::string& codes, uint32_t options) {
    SearchPattern pattern = {(const uint8_t*)codes.data(), (int)codes.size(), options};
    FindAllResults results = {};
    EXPECT_EQ(FindAllInBook(&pattern, PlatformAlloc, &results), kFindAllDone);
    std::vector<Row> rows;
    for (uint32_t i = 0; i < results.count; i++) {
        const BookMatch& m = results.matches[i];
        rows.emplace_back(m.section, m.hit.endOffset, m.hit.length, m.hit.recordStart, m.hit.recordEnd);
        EXPECT_NE(results.texts[m.section], nullptr);
    }
    FreeFindAllResults(&results);
    return rows;
}

}  // namespace

TEST(FindAllInBook, FindsWhatAPlainScanOfTheBookFinds) {
    DecodedBook();
    RegisterEdition();
    // In drawing order, as stored: "hamayim" (he mem yod final-mem) and
    // stretches of it. With the options the spellings and forms around it.
    struct Case {
        const char* codes;
        uint32_t options;
    } cases[] = {
        {"njoe", 0}, {"n?oe", 0}, {"n*oe", 0}, {"oe", 0},
        {"ojoe", kSearchFinalLetters}, {"noe", kSearchSkipVavYod},
        {"noe", kSearchFinalLetters | kSearchSkipVavYod},
    };
    for (const Case& c : cases) {
        std::vector<Row> found = FindAll(c.codes, c.options);
        std::vector<Row> wanted = ScanBook(c.codes, c.options);
        EXPECT_GT(wanted.size(), 0u) << c.codes;
        EXPECT_TRUE(found == wanted) << c.codes << " options " << c.options << ": " << found.size() << " found, "
                                     << wanted.size() << " wanted";
    }
    ClearHostResources();
}

int gAllocationsLeft = 0;

void* CountedAlloc(size_t byteCount) { return gAllocationsLeft-- > 0 ? PlatformAlloc(byteCount) : nullptr; }

TEST(FindAllInBook, RunningOutOfMemoryLeavesNothingBehind) {
    RegisterEdition();
    std::string codes = "oe";
    SearchPattern pattern = {(const uint8_t*)codes.data(), 2, kSearchFinalLetters};
    FindAllResults results = {};
    // The table of texts, the record list, the folding room, or the growing
    // list of matches.
    for (int allowed : {0, 1, 2, 3, 300}) {
        gAllocationsLeft = allowed;
        EXPECT_EQ(FindAllInBook(&pattern, CountedAlloc, &results), kFindAllNoMemory);
        EXPECT_EQ(results.count, 0u);
        EXPECT_EQ(results.matches, nullptr);
        EXPECT_EQ(results.texts, nullptr);
        EXPECT_EQ(results.textCount, 0u);
    }
    ClearHostResources();
}
