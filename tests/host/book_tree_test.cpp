// Whole books: the shipped edition as generated and as compiled, the round
// trip through resources, and the errors of a tree as a whole.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "content/section_records.h"
#include "content/section_store.h"
#include "tests/host/edition_book.h"
#include "tools/book/book_text.h"
#include "tools/book/book_tree.h"
#include "tools/book/edition.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const int kEditionSections = 2 * kEditionPairs;

Bytes Expanded(uint16_t id) {
    int error = 0;
    Bytes text = ExpandResource(EditionResources().at(id), &error);
    EXPECT_EQ(error, 0) << id;
    return text;
}

uint16_t BigEndian16(const Bytes& b, size_t at) { return (uint16_t)(b[at] << 8 | b[at + 1]); }

// What the edition's sections use, gathered over all records.
struct DeviceUse {
    std::set<int> hangingCodes, alignments;
    int continuations = 0, large = 0, small = 0, bold = 0, indents = 0, paragraphEnds = 0;
    int fixedRules = 0, percentRules = 0, spacers = 0, braces = 0, unreversed = 0;
};

void CountRecord(const Bytes& text, const ParagraphRecord& r, bool first, DeviceUse* use) {
    if (r.flags & kFlagParagraphEnd) use->paragraphEnds++;
    if (IsSpacerRecord(r.flags)) {
        if (r.indent == 0) use->spacers++;
        else if (r.indent <= 160) use->fixedRules++;
        else use->percentRules++;
        return;
    }
    bool startsWithSpace = r.textLength && text[r.textOffset] == ' ';
    if (HangingCode(r.indent) && !first && startsWithSpace) use->continuations++;
    else if (HangingCode(r.indent)) use->hangingCodes.insert(HangingCode(r.indent));
    use->alignments.insert(r.flags & kAlignMask);
    if (IndentPixels(r.indent)) use->indents++;
    if (r.flags & kFlagLarge) use->large++;
    if (r.flags & kFlagSmall) use->small++;
    if (r.flags & kFlagBold) use->bold++;
    if (!(r.flags & kFlagReversed)) use->unreversed++;
    for (uint32_t i = 0; i < r.textLength; i++) use->braces += text[r.textOffset + i] == kBraceEscape;
}

}  // namespace

TEST(BookEdition, GeneratorReproducesTheCommittedEditionByteForByte) {
    SourceFiles generated;
    GenerateEdition(&generated);
    ASSERT_EQ(generated.size(), Edition().size());
    for (const auto& file : generated) {
        auto committed = Edition().find(file.first);
        ASSERT_NE(committed, Edition().end()) << file.first;
        EXPECT_TRUE(committed->second == file.second) << file.first << " differs: run make_edition again";
    }
}

TEST(BookEdition, CompilesToAllResourcesWithTheirReservedWords) {
    const ResourceSet& resources = EditionResources();
    ASSERT_EQ(resources.size(), 358u);  // the sections, the index and the book information
    for (int n = 1; n <= kEditionSections; n++) {
        const Bytes& resource = resources.at((uint16_t)(1000 + n));
        EXPECT_EQ(BigEndian16(resource, 2), n + 20);
        EXPECT_EQ(BigEndian16(resource, 4), n + 20);
        EXPECT_EQ(BigEndian16(resource, 0), BigEndian16(resource, 6) + 8u);
        EXPECT_EQ(BigEndian16(resource, 0), resource.size() - 6);
    }
    const Bytes& index = resources.at(kIndexResource);
    EXPECT_EQ(BigEndian16(index, 2), 1);
    EXPECT_EQ(BigEndian16(index, 4), 255);
}

TEST(BookEdition, UsesEveryTypographicDevice) {
    DeviceUse use;
    for (int n = 1; n <= kEditionSections; n++) {
        Bytes text = Expanded((uint16_t)(1000 + n));
        text.insert(text.end(), 3, 0);
        RecordWalker walker;
        StartRecordWalk(&walker, text.data(), (uint32_t)text.size());
        ParagraphRecord record;
        for (bool first = true; NextParagraphRecord(&walker, &record); first = false)
            CountRecord(text, record, first, &use);
        TitleLine title, subtitle;
        FindSectionTitles(text.data(), &title, &subtitle);
        EXPECT_GT(title.length, 0) << n;
        EXPECT_GT(subtitle.length, 0) << n;
    }
    EXPECT_EQ(use.hangingCodes, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(use.alignments, (std::set<int>{0x00, kAlignRight, kAlignCentre}));
    for (int count : {use.continuations, use.large, use.small, use.bold, use.indents, use.paragraphEnds,
                      use.fixedRules, use.percentRules, use.spacers, use.braces})
        EXPECT_GT(count, 10);
    EXPECT_EQ(use.unreversed, 0) << "every paragraph is stored in drawing order";
}

TEST(BookEdition, SizesSpreadLikeARealBook) {
    std::vector<int> sizes;
    size_t largestCompressed = 0;
    for (int n = 1; n <= kEditionSections; n++) {
        const Bytes& resource = EditionResources().at((uint16_t)(1000 + n));
        sizes.push_back(BigEndian16(resource, 8));
        largestCompressed = std::max(largestCompressed, (size_t)BigEndian16(resource, 6));
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_LT(sizes.front(), 500);
    EXPECT_GE(sizes.back(), 4150);
    EXPECT_LE(sizes.back(), 4170);
    EXPECT_LT(sizes[sizes.size() / 4], 1000);      // a quarter are short
    EXPECT_GT(sizes[sizes.size() * 3 / 4], 2300);  // a quarter are long
    EXPECT_LT(largestCompressed, 2600u);
}

TEST(BookEdition, IndexHasLevelsLabelsBothKindsOfHeadingAndEveryMainSection) {
    Bytes text = Expanded(kIndexResource);
    std::set<int> linked, levels;
    int labels = 0, expanded = 0, collapsed = 0, hidden = 0;
    // Entries are 4 bytes and a NUL-terminated text; a zero style ends them.
    size_t at = 0;
    while (at + 4 < text.size() && text[at + 2]) {
        uint16_t id = (uint16_t)(text[at] | text[at + 1] << 8);
        uint8_t style = text[at + 2];
        levels.insert(text[at + 3]);
        if (id & 0x8000) ((style & 0x40) ? expanded : collapsed)++;
        else if (id & 0x4000) linked.insert(id & 0x3FFF);
        else labels++;
        if (!(style & 0x80)) hidden++;
        size_t end = at + 4;
        while (end < text.size() && text[end]) end++;
        at = end + 1;
    }
    for (int n = 1; n <= kEditionSections; n += 2) EXPECT_EQ(linked.count(n), 1u) << n;
    EXPECT_EQ(levels, (std::set<int>{0, 1, 2}));
    EXPECT_GT(labels, 2);
    EXPECT_GT(expanded, 1);
    EXPECT_GT(collapsed, 10);
    EXPECT_GT(hidden, 100);  // whatever lies under a collapsed heading
}

TEST(BookRoundTrip, EditionDecompilesAndCompilesToTheSameResources) {
    SourceFiles decompiled;
    std::string error;
    ASSERT_TRUE(DecompileBook(EditionResources(), &decompiled, &error)) << error;
    ResourceSet again;
    BookDiagnostics diagnostics;
    ASSERT_TRUE(CompileBook(decompiled, &again, &diagnostics)) << FormatDiagnostic(diagnostics[0]);
    EXPECT_TRUE(again == EditionResources());
    SourceFiles twice;
    ASSERT_TRUE(DecompileBook(again, &twice, &error)) << error;
    EXPECT_TRUE(twice == decompiled);
}

TEST(BookRoundTrip, DamagedResourcesGiveTheSectionStoreCodes) {
    struct Case {
        uint16_t id;
        void (*damage)(Bytes*);
        const char* message;
    } cases[] = {
        {1005, [](Bytes* r) { (*r)[0] = 0; (*r)[1] = 4; }, "resource 1005: error 3"},
        {1006, [](Bytes* r) { r->resize(5); }, "resource 1006: error 3"},
        {1007, [](Bytes* r) { (*r)[9]++; }, "resource 1007: error 5"},
        {1008, [](Bytes* r) { (*r)[8] = (*r)[9] = 0; }, "resource 1008: error 4"},
        {1009, [](Bytes* r) { r->clear(); }, "resource 1009: error 2"},
        {1010, [](Bytes* r) { Bytes text = {0x31, 0, 0x61}; r->assign(SectionResourceBound(3), 0);
                              r->resize(BuildSectionResource(text.data(), 3, 30, 30, r->data())); },
         "resource 1010: the last paragraph runs past"},
    };
    for (const Case& c : cases) {
        ResourceSet resources = EditionResources();
        c.damage(&resources[c.id]);
        SourceFiles files;
        std::string error;
        EXPECT_FALSE(DecompileBook(resources, &files, &error));
        EXPECT_EQ(error.find(c.message), 0u) << error;
        EXPECT_TRUE(files.empty());
    }
    ResourceSet resources = EditionResources();
    resources.erase(kIndexResource);
    SourceFiles files;
    std::string error;
    EXPECT_FALSE(DecompileBook(resources, &files, &error));
    EXPECT_EQ(error, "resource 32767: missing");
}

TEST(BookTree, ProblemsAcrossTheTreeAreAllReportedAndNothingIsKept) {
    SourceFiles files = Edition();
    files.erase("005.txt");
    files["002.txt"] = "א\n@commentary\nב\n";
    files["007.txt"] = "א\n";
    files["index.txt"] += "> 400 א\n";
    files["009.txt"] += "[hang=9] א\n";
    std::string noise;  // Latin-1 letters that do not compress
    uint32_t state = 7;
    for (int i = 0; i < 60000; i++) {
        state = state * 1664525u + 1013904223u;
        AppendUtf8(&noise, 0xC0 + (state >> 24) % 0x3F);
    }
    files["011.txt"] = noise + "\n@commentary\nב\n";
    ResourceSet resources;
    BookDiagnostics diagnostics;
    EXPECT_FALSE(CompileBook(files, &resources, &diagnostics));
    EXPECT_TRUE(resources.empty());
    std::set<std::string> reported;
    for (const BookDiagnostic& d : diagnostics) reported.insert(d.file);
    EXPECT_EQ(reported, (std::set<std::string>{"002.txt", "005.txt", "007.txt", "009.txt", "011.txt", "index.txt"}));
    std::string all;
    for (const BookDiagnostic& d : diagnostics) all += FormatDiagnostic(d) + "\n";
    EXPECT_NE(all.find("005.txt: error: missing: sections 5 and 6"), std::string::npos) << all;
    EXPECT_NE(all.find("007.txt: error: the commentary section is missing"), std::string::npos) << all;
    EXPECT_NE(all.find("section 400, which does not exist"), std::string::npos) << all;
    EXPECT_NE(all.find("hang is 1, 2 or 3"), std::string::npos) << all;
    EXPECT_NE(all.find("011.txt: error: section 11 does not fit a resource"), std::string::npos) << all;
}

namespace {

void Put16(Bytes* b, size_t at, uint32_t v) { (*b)[at] = (uint8_t)v; (*b)[at + 1] = (uint8_t)(v >> 8); }
void Put32(Bytes* b, size_t at, uint32_t v) { Put16(b, at, v & 0xFFFF); Put16(b, at + 2, v >> 16); }

// A small PE32 image with one section holding the resource tree: raw data
// 1001 = "AAAA", and an entry whose id 0x103E9 is 1001 in its low 16 bits,
// holding "BBBB".
Bytes SmallProgram() {
    Bytes image(0x300, 0);
    const size_t pe = 0x40, optional = pe + 24, sections = optional + 224, res = 0x200;
    const uint32_t resRva = 0x1000;
    image[0] = 'M'; image[1] = 'Z';
    Put32(&image, 0x3C, pe);
    image[pe] = 'P'; image[pe + 1] = 'E';
    Put16(&image, pe + 6, 1);      // one section
    Put16(&image, pe + 20, 224);   // optional header size
    Put16(&image, optional, 0x10B);
    Put32(&image, optional + 92, 16);
    Put32(&image, optional + 96 + 16, resRva);
    Put32(&image, optional + 96 + 20, 0x100);
    Put32(&image, sections + 8, 0x100);
    Put32(&image, sections + 12, resRva);
    Put32(&image, sections + 16, 0x100);
    Put32(&image, sections + 20, res);
    Put16(&image, res + 14, 1);                      // root: one type
    Put32(&image, res + 16, 10);
    Put32(&image, res + 20, 0x80000000u | 0x18);
    Put16(&image, res + 0x18 + 14, 2);               // type 10: two ids
    Put32(&image, res + 0x28, 1001);
    Put32(&image, res + 0x2C, 0x80000000u | 0x38);
    Put32(&image, res + 0x30, 0x10000 + 1001);
    Put32(&image, res + 0x34, 0x80000000u | 0x50);
    for (uint32_t i = 0; i < 2; i++) {
        size_t language = res + 0x38 + 0x18 * i, entry = res + 0x68 + 0x10 * i, data = res + 0x88 + 8 * i;
        Put16(&image, language + 14, 1);
        Put32(&image, language + 16, 0x409);
        Put32(&image, language + 20, (uint32_t)(entry - res));
        Put32(&image, entry, resRva + (uint32_t)(data - res));
        Put32(&image, entry + 4, 4);
        for (int k = 0; k < 4; k++) image[data + k] = (uint8_t)('A' + i);
    }
    return image;
}

}  // namespace

TEST(BookTree, ProgramResourcesAreReadWithEveryBoundChecked) {
    ResourceSet resources;
    std::string error;
    ASSERT_TRUE(ReadPeRawDataResources(SmallProgram(), &resources, &error)) << error;
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_EQ(resources.at(1001), (Bytes{'A', 'A', 'A', 'A'}));

    Bytes beyond = SmallProgram();
    Put32(&beyond, 0x200 + 0x68 + 4, 0x10000);  // data larger than its section
    EXPECT_FALSE(ReadPeRawDataResources(beyond, &resources, &error));
    EXPECT_EQ(error, "damaged resource 1001");

    // Any one byte damaged, or the image cut short anywhere: an answer, never
    // a read outside the image.
    Bytes image = SmallProgram();
    for (size_t at = 0; at < image.size(); at++) {
        for (uint8_t value : {(uint8_t)0xFF, (uint8_t)0x80, (uint8_t)0x01}) {
            Bytes damaged = image;
            damaged[at] = value;
            ReadPeRawDataResources(damaged, &resources, &error);
        }
        ReadPeRawDataResources(Bytes(image.begin(), image.begin() + (ptrdiff_t)at), &resources, &error);
    }
}

TEST(BookTree, ProgramsThatAreNotOneAreRefused) {
    ResourceSet resources;
    std::string error;
    EXPECT_FALSE(ReadPeRawDataResources(Bytes{'M', 'Z'}, &resources, &error));
    EXPECT_FALSE(ReadPeRawDataResources(Bytes(400, 0), &resources, &error));
    Bytes header(0x200, 0);
    header[0] = 'M';
    header[1] = 'Z';
    header[0x3C] = 0x80;
    header[0x80] = 'P';
    header[0x81] = 'E';
    EXPECT_FALSE(ReadPeRawDataResources(header, &resources, &error));
    EXPECT_EQ(error, "damaged PE header");
}

TEST(BookTree, AFailedWriteLeavesNoFilesNoNewDirectoriesAndTheOldOutputWhole) {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("lorvan_book_write_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "old");
    std::string error;
    ASSERT_TRUE(WriteSourceTree(SourceFiles{{"a.txt", "old"}}, (root / "old").string(), &error)) << error;

    // "zz/b.txt" cannot be written: its directory does not exist.
    SourceFiles files = {{"a.txt", "new"}, {"zz/b.txt", "x"}};
    EXPECT_FALSE(WriteSourceTree(files, (root / "new" / "deeper").string(), &error));
    EXPECT_NE(error.find("b.txt: cannot be written"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(root / "new"));

    EXPECT_FALSE(WriteSourceTree(files, (root / "old").string(), &error));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(root / "old")) left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"a.txt"});
    SourceFiles read;
    ASSERT_TRUE(ReadSourceTree((root / "old").string(), &read, &error)) << error;
    EXPECT_EQ(read.at("a.txt"), "old");
    fs::remove_all(root);
}
