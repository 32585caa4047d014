// Book files in the reader's own window: the modules pack writes, loaded the
// way the reader loads them, a book of three pairs read round its end with a
// place and bookmarks of its own, books the reader must refuse, and the ways
// a book arrives (the stored path, the command line, a drop, a second start).
// The books are packed by the build beside this program.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/book_file.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "content/book_numbers.h"
#include "content/section_store.h"
#include "navigation/bookmarks.h"
#include "navigation/outline_panel.h"
#include "navigation/section_grid.h"
#include "navigation/section_numeral.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "tests/book/book_reader_test.h"
#include "tests/win/reader_test_support.h"

namespace {

const int kReaderWidthPx = 360;
const int kReaderHeightPx = 520;
const UINT kBookmarkCommand = 123;

std::wstring BesideProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash) slash[1] = 0;
    return std::wstring(path) + name;
}

const std::wstring kSmallBook = BesideProgram(L"small.lvb");
const std::wstring kEditionCopy = BesideProgram(L"edition-copy.lvb");
const std::wstring kSmallBookKey = std::wstring(kTestProgramKey) + L"\\Books\\small-test-book";

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::wstring WriteTempFile(const wchar_t* name, const std::string& bytes) {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
    return path;
}

// Where resource `id` lies in the file: a module loaded as a data file alone
// is the file's bytes as they are.
size_t ResourceOffset(const std::wstring& path, WORD id) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return 0;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    const uint8_t* bytes = found ? (const uint8_t*)LockResource(LoadResource(module, found)) : nullptr;
    const uint8_t* base = (const uint8_t*)((ULONG_PTR)module & ~(ULONG_PTR)3);
    size_t offset = bytes ? (size_t)(bytes - base) : 0;
    FreeLibrary(module);
    return offset;
}

std::vector<uint8_t> SectionOf(void* module, int section) {
    SetBookModule(module);
    uint32_t length = 0;
    uint8_t* text = LoadSectionTextWithLength(section, &length, nullptr);
    SetBookModule(gBook.module);
    std::vector<uint8_t> bytes;
    if (text) bytes.assign(text, text + length);
    PlatformFree(text);
    return bytes;
}

class BookFileTest : public BookReaderTest {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestProgramKey);
        ASSERT_NO_FATAL_FAILURE(OpenReader(15, kReaderWidthPx, kReaderHeightPx));
    }
    void TearDown() override {
        SetStartBookPath(nullptr);
        BookReaderTest::TearDown();
    }
    void Restart() {
        DestroyWindow(gApp.mainWindow);
        EndReader();
        TakeQuitMessage();
        ResetProgramState();
        window = StartReader(GetModuleHandleW(nullptr), SW_SHOWNA);
        ASSERT_NE(window, nullptr);
    }
    bool Bookmarked(int section) {
        GoToSection(window, (uint32_t)section);
        return gApp.lesson == section && IsBookmarked();
    }
    // The refusal names the file and why, and leaves the open book and place alone.
    void ExpectRefused(const std::wstring& path, const wchar_t* why) {
        std::wstring open = gBook.path;
        int pairs = kBookPairs;
        uint16_t lesson = gApp.lesson;
        size_t before = boxes.shown.size();
        EXPECT_EQ(OpenBookFile(window, path.c_str()), 1);
        ASSERT_EQ(boxes.shown.size(), before + 1);
        const std::wstring& text = boxes.shown.back().text;
        EXPECT_NE(text.find(path), std::wstring::npos) << path;
        EXPECT_NE(text.find(why), std::wstring::npos) << text.c_str();
        EXPECT_EQ(boxes.shown.back().caption, L"Open Book");
        EXPECT_EQ(gBook.path, open);
        EXPECT_EQ(kBookPairs, pairs);
        EXPECT_EQ(gApp.lesson, lesson);
        EXPECT_EQ(BookModule(), (void*)gBook.module);
    }
};

}  // namespace

TEST_F(BookFileTest, APackedEditionExpandsAsTheProgramDoes) {
    HMODULE module = LoadLibraryExW(kEditionCopy.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << GetLastError();
    for (int section = 1; section <= 2 * kBuiltInBookPairs; section++) {
        std::vector<uint8_t> own = SectionOf(nullptr, section);
        ASSERT_FALSE(own.empty()) << section;
        ASSERT_EQ(SectionOf(module, section), own) << section;
    }
    EXPECT_EQ(SectionOf(module, kIndexSectionNumber), SectionOf(nullptr, kIndexSectionNumber));
    FreeLibrary(module);
}

TEST_F(BookFileTest, ASmallBookStepsRoundItsEndAndKeepsItsOwnPlaceAndBookmarks) {
    DispatchCommand(window, kBookmarkCommand);
    ASSERT_TRUE(IsBookmarked());
    ASSERT_EQ(OpenBookFile(window, kSmallBook.c_str()), 0);
    EXPECT_EQ(kBookPairs, 3);
    EXPECT_EQ(gApp.lesson, 1);
    EXPECT_STREQ(gBook.info.id, "small-test-book");
    EXPECT_EQ(std::wstring(PlaceKeyPath()), kSmallBookKey);
    // Round its end both ways; Go To knows its range.
    DispatchCommand(window, 110);
    EXPECT_EQ(gApp.lesson, 5);
    DispatchCommand(window, 109);
    EXPECT_EQ(gApp.lesson, 1);
    int number = 0;
    EXPECT_EQ(ReadSectionNumeral(L"4", 8, &number), kNumeralOutsideBook);
    EXPECT_EQ(ReadSectionNumeral(L"\u05D2", 8, &number), kNumeralInBook);  // gimel, 3

    DispatchCommand(window, 109);
    DispatchCommand(window, kBookmarkCommand);
    ASSERT_TRUE(IsBookmarked());
    EXPECT_EQ(gApp.lesson, 3);

    // The built-in edition: its own section and bookmark, not the book's.
    DispatchCommand(window, kBuiltInBookCommand);
    EXPECT_EQ(gBook.module, nullptr);
    EXPECT_EQ(kBookPairs, kBuiltInBookPairs);
    EXPECT_EQ(gApp.lesson, 15);
    EXPECT_TRUE(IsBookmarked());
    EXPECT_FALSE(Bookmarked(3));
    DWORD stored = 0;
    ASSERT_TRUE(GetDword(kSmallBookKey.c_str(), L"Lesson", &stored));
    EXPECT_EQ(stored, 3u);

    // Opened again, the book comes back where it was left, bookmark and all.
    ASSERT_EQ(OpenBookFile(window, kSmallBook.c_str()), 0);
    EXPECT_EQ(gApp.lesson, 3);
    EXPECT_TRUE(IsBookmarked());
    EXPECT_FALSE(Bookmarked(5));

    // A stored section the book does not have starts it at its first.
    DispatchCommand(window, kBuiltInBookCommand);
    PutDword(kSmallBookKey.c_str(), L"Lesson", 101);
    ASSERT_EQ(OpenBookFile(window, kSmallBook.c_str()), 0);
    EXPECT_EQ(gApp.lesson, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

// The outline beside the text shows the open book's own index, built anew.
TEST_F(BookFileTest, TheOutlinePanelShowsTheOpenBooksIndex) {
    const UINT kOutlineCommand = 148;
    DispatchCommand(window, kOutlineCommand);
    const SectionGrid* grid = OutlinePanelGrid();
    ASSERT_NE(grid, nullptr);
    uint32_t editionIndexBytes = grid->indexTextBytes;
    ASSERT_EQ(OpenBookFile(window, kSmallBook.c_str()), 0);
    grid = OutlinePanelGrid();
    ASSERT_NE(grid, nullptr);
    EXPECT_NE(grid->indexTextBytes, editionIndexBytes);
    EXPECT_EQ(grid->markedSection, 1);
    DispatchCommand(window, kBuiltInBookCommand);
    EXPECT_EQ(OutlinePanelGrid()->indexTextBytes, editionIndexBytes);
    DispatchCommand(window, kOutlineCommand);
}

TEST_F(BookFileTest, BadBooksAreRefusedWithTheirReasonAndTheOpenBookStays) {
    ASSERT_EQ(OpenBookFile(window, kEditionCopy.c_str()), 0);
    GoToSection(window, 9);
    std::string good = ReadFileBytes(kSmallBook);
    ASSERT_GT(good.size(), 1024u);  // half of it still holds the headers

    ExpectRefused(BesideProgram(L"no-such-book.lvb"), L"the file does not exist");
    ExpectRefused(WriteTempFile(L"lorvan-cut.lvb", good.substr(0, good.size() / 2)), L"cut short");
    ExpectRefused(WriteTempFile(L"lorvan-text.lvb", std::string(5000, 'x')), L"not a book file");
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    ExpectRefused(std::wstring(system) + L"\\comctl32.dll", L"not a book file");
    ExpectRefused(BesideProgram(L"lorvan_book_tests.exe"), L"a program, not a book file");

    size_t at = ResourceOffset(kSmallBook, 1004);
    ASSERT_GT(at, 0u);
    std::string damaged = good;
    damaged[at + 9] ^= 0x40;  // the expanded length of section 4
    ExpectRefused(WriteTempFile(L"lorvan-damaged.lvb", damaged),
                  L"section 4 is damaged: its text does not expand to its stated length");
    // Refused books leave the window as it was, and the good one still opens.
    EXPECT_EQ(OpenBookFile(window, kSmallBook.c_str()), 0);
    EXPECT_EQ(kBookPairs, 3);
}

TEST_F(BookFileTest, TheBookArrivesFromTheStoredPathTheCommandLineADropOrASecondStart) {
    // The command line at start, then kept as "BookPath" for the next.
    SetStartBookPath(kSmallBook.c_str());
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_EQ(kBookPairs, 3);
    SetStartBookPath(nullptr);
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_EQ(std::wstring(gBook.path), kSmallBook);
    EXPECT_EQ(kBookPairs, 3);

    // A stored book that is gone: the built-in edition, said once, forgotten.
    DispatchCommand(window, kBuiltInBookCommand);
    DestroyWindow(gApp.mainWindow);
    EndReader();
    TakeQuitMessage();
    PutString(kTestProgramKey, L"BookPath", BesideProgram(L"gone.lvb").c_str());
    ResetProgramState();
    window = StartReader(GetModuleHandleW(nullptr), SW_SHOWNA);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(gBook.module, nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find(L"gone.lvb"), std::wstring::npos);
    EXPECT_NE(boxes.shown[0].text.find(L"built-in book is open"), std::wstring::npos);
    DWORD type = 0;
    std::vector<uint8_t> stored;
    EXPECT_FALSE(GetRegValue(kTestProgramKey, L"BookPath", &type, &stored));
    ASSERT_NO_FATAL_FAILURE(Restart());
    EXPECT_EQ(boxes.shown.size(), 1u);

    // A drop on the window.
    size_t chars = kSmallBook.size() + 2;
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    DROPFILES* files = (DROPFILES*)GlobalLock(drop);
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    memcpy(files + 1, kSmallBook.c_str(), kSmallBook.size() * sizeof(wchar_t));
    GlobalUnlock(drop);
    SendMessageW(window, WM_DROPFILES, (WPARAM)drop, 0);
    EXPECT_EQ(kBookPairs, 3);

    // A second start's book, opened once the message that carried it is answered.
    DispatchCommand(window, kBuiltInBookCommand);
    COPYDATASTRUCT data = {kOpenBookCopyDataTag, (DWORD)((kEditionCopy.size() + 1) * sizeof(wchar_t)),
                           (void*)kEditionCopy.c_str()};
    EXPECT_TRUE(SendMessageW(window, WM_COPYDATA, 0, (LPARAM)&data));
    EXPECT_EQ(gBook.module, nullptr);
    MSG message;
    while (PeekMessageW(&message, window, kOpenPendingBookMessage, kOpenPendingBookMessage, PM_REMOVE))
        DispatchMessageW(&message);
    EXPECT_EQ(std::wstring(gBook.path), kEditionCopy);
    EXPECT_EQ(boxes.shown.size(), 1u);

    wchar_t information[2048];
    DescribeOpenBook(information, 2048);
    EXPECT_NE(std::wstring(information).find(L"178 sections"), std::wstring::npos);
}
