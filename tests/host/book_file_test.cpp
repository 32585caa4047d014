// Book files natively: the module that pack writes read back by the tools'
// PE reader and by the reader's first look at a file's headers, and the check
// the reader runs on a book's resources before it opens it.
#include <gtest/gtest.h>

#include <string.h>

#include "content/book_check.h"
#include "content/book_numbers.h"
#include "content/section_store.h"
#include "platform/host_resources.h"
#include "platform/module_header.h"
#include "platform/services.h"
#include "tests/host/edition_book.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const std::string kSmallBookDir = std::string(LORVAN_SOURCE_DIR) + "/tests/books/small";

ResourceSet CompileTree(const std::string& dir) {
    SourceFiles files;
    std::string error;
    EXPECT_TRUE(ReadSourceTree(dir, &files, &error)) << error;
    ResourceSet resources;
    BookDiagnostics diagnostics;
    EXPECT_TRUE(CompileBook(files, &resources, &diagnostics))
        << (diagnostics.empty() ? "" : FormatDiagnostic(diagnostics[0]));
    return resources;
}

int HeaderCheck(const Bytes& image, uint64_t fileBytes, uint64_t* needed = nullptr) {
    size_t head = image.size() < kModuleHeadBytes ? image.size() : kModuleHeadBytes;
    return CheckModuleHeader(image.data(), head, fileBytes, needed);
}

void Register(const ResourceSet& resources) {
    ClearHostResources();
    for (const auto& resource : resources)
        RegisterHostResource(resource.first, resource.second.data(), (uint32_t)resource.second.size());
}

int gMessages = 0;
void CountMessage(const char*, void*) { gMessages++; }

BookCheck Check(const ResourceSet& resources, BookInfo* info) {
    Register(resources);
    gMessages = 0;
    SetMessageSink(CountMessage, nullptr);
    BookCheck check = CheckBookResources(info);
    SetMessageSink(nullptr, nullptr);
    ClearHostResources();
    EXPECT_EQ(gMessages, 0) << "a check shows no message box";
    return check;
}

}  // namespace

TEST(BookFile, TheModuleHoldsEveryResourceAndItsHeadersAreWhole) {
    const ResourceSet& edition = EditionResources();
    Bytes image;
    std::string error;
    ASSERT_TRUE(BuildResourceModule(edition, &image, &error)) << error;
    ResourceSet read;
    ASSERT_TRUE(ReadPeRawDataResources(image, &read, &error)) << error;
    EXPECT_TRUE(read == edition);
    EXPECT_EQ(image.size() % 0x200, 0u);
    EXPECT_EQ(HeaderCheck(image, image.size()), kModuleUsable);

    // Back to a source tree, through the same decompiler as the program's,
    // which compiles to the same resources again.
    SourceFiles files;
    ASSERT_TRUE(DecompileBook(read, &files, &error)) << error;
    ResourceSet again;
    BookDiagnostics diagnostics;
    ASSERT_TRUE(CompileBook(files, &again, &diagnostics));
    EXPECT_TRUE(again == edition);

    // A copy cut short is found out before the system maps it; so is
    // anything that is not a module.
    uint64_t needed = 0;
    EXPECT_EQ(HeaderCheck(image, image.size() - 1, &needed), kModuleTruncated);
    EXPECT_EQ(needed, image.size());
    Bytes text(600, 'a');
    EXPECT_EQ(HeaderCheck(text, text.size()), kModuleNotModule);
    EXPECT_EQ(HeaderCheck(Bytes(image.begin(), image.begin() + 0x60), 0x60), kModuleNotModule);
    EXPECT_EQ(CheckModuleHeader(nullptr, 0, 0, nullptr), kModuleNotModule);
    Bytes noResources = image;
    memset(noResources.data() + 0x40 + 24 + 112 + 16, 0, 8);  // the resource directory's entry
    EXPECT_EQ(HeaderCheck(noResources, noResources.size()), kModuleNoResources);
    Bytes program = image;
    program[0x40 + 4 + 18 + 1] &= ~0x20;  // the library flag
    EXPECT_EQ(HeaderCheck(program, program.size()), kModuleProgram);
}

TEST(BookFile, TheCheckFindsWhatWouldStopTheReader) {
    ResourceSet book = CompileTree(kSmallBookDir);
    BookInfo info;
    BookCheck check = Check(book, &info);
    EXPECT_EQ(check.result, kBookReadable);
    EXPECT_EQ(info.pairs, 3);
    EXPECT_STREQ(info.id, "small-test-book");

    ResourceSet damaged = book;
    damaged[1004][9] ^= 0x40;  // the commentary of pair 2 claims another length
    check = Check(damaged, &info);
    EXPECT_EQ(check.result, kBookDamagedSection);
    EXPECT_EQ(check.section, 4);
    EXPECT_EQ(check.loadError, kSectionBadStream);
    char text[200];
    DescribeBookCheck(check, text, sizeof text);
    EXPECT_STREQ(text, "section 4 is damaged: its text does not expand to its stated length");

    damaged = book;
    damaged.erase(1006);
    check = Check(damaged, &info);
    EXPECT_EQ(check.result, kBookDamagedSection);
    EXPECT_EQ(check.section, 6);
    EXPECT_EQ(check.loadError, kSectionNoResource);

    damaged = book;
    damaged.erase(kIndexResource);
    EXPECT_EQ(Check(damaged, &info).result, kBookDamagedIndex);

    damaged = book;
    damaged.erase(kBookInfoResource);
    EXPECT_EQ(Check(damaged, &info).result, kBookNoInformation);

    const char noId[] = "title: t\npairs: 3\n";
    damaged[kBookInfoResource] = Bytes(noId, noId + strlen(noId));
    EXPECT_EQ(Check(damaged, &info).result, kBookNoId);
    const char morePairs[] = "id: x\npairs: 4\n";  // says more than the module holds
    damaged[kBookInfoResource] = Bytes(morePairs, morePairs + strlen(morePairs));
    check = Check(damaged, &info);
    EXPECT_EQ(check.result, kBookDamagedSection);
    EXPECT_EQ(check.section, 7);
}

TEST(BookFile, TheOpenBooksCountIsReadWhereverItIsUsed) {
    EXPECT_EQ(kBookPairs, kBuiltInBookPairs);
    ASSERT_TRUE(SetBookPairs(3));
    EXPECT_EQ(kLastBookSection, 6);
    EXPECT_TRUE(IsMainTextSection(5));
    EXPECT_FALSE(IsMainTextSection(7));
    EXPECT_FALSE(SetBookPairs(0));
    EXPECT_FALSE(SetBookPairs(kMaxBookPairs + 1));
    EXPECT_EQ(kBookPairs, 3);
    ASSERT_TRUE(SetBookPairs(kMaxBookPairs));
    EXPECT_EQ(kLastBookSection, 31766);  // resource 32766, below the index
    SetBookPairs(kBuiltInBookPairs);
}
