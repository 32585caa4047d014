// Printing the embedded book on a PostScript printer whose port is a file:
// every page reaches the file, a cancel between pages leaves no file, a job
// the printer refuses is reported, the preview's metafile keeps its ink
// inside the margins, and a face that cannot print is replaced.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/app_state.h"
#include "panes/text_pane.h"
#include "print/print_job.h"
#include "print/print_layout.h"
#include "print/print_preview.h"
#include "tests/support/test_printer.h"
#include "tests/win/pane_test_support.h"

namespace {

const wchar_t kPrinter[] = L"Lorvan Test";

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// The Unix path of a Windows one: Wine's ports are Unix paths.
std::wstring UnixPath(const std::wstring& path) {
    typedef char*(CDECL * UnixName)(LPCWSTR);
    UnixName toUnix = (UnixName)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix) return path;
    char* unix = toUnix(path.c_str());
    if (!unix) return path;
    std::wstring wide(unix, unix + strlen(unix));
    HeapFree(GetProcessHeap(), 0, unix);
    return wide;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

int CountOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) count++;
    return count;
}

class PrintBookTest : public ::testing::Test {
protected:
    static std::wstring portFile;
    HDC dc = nullptr;
    PrintLayout layout = {};
    std::wstring output = TempPath(L"lorvan_print_test.ps");

    static void SetUpTestSuite() {
        portFile = TempPath(L"lorvan_print_port.ps");
        ASSERT_TRUE(AddTestPrinter(kPrinter, UnixPath(portFile).c_str()));
    }
    void SetUp() override {
        memset(&gApp.font, 0, sizeof gApp.font);
        wcsncpy(gApp.font.faceName, kBookFace, kFaceNameChars - 1);
        gApp.font.size = 12;
        gApp.font.letterBase = kLetterBaseUnicode;
        gApp.flags = kFlagsDefault;
        dc = CreateDCW(L"WINSPOOL", kPrinter, nullptr, nullptr);
        ASSERT_NE(dc, nullptr);
        DeleteFileW(output.c_str());
    }
    void TearDown() override {
        ReleasePrintLayout(&layout);
        if (dc) DeleteDC(dc);
        DeleteFileW(output.c_str());
    }
    void LayOut(PrintChoice choice) {
        PrintMargins margins = DefaultPrintMargins();
        FontSpec font = FontForPrinting(dc, nullptr);
        ASSERT_EQ(kPrintLaidOut, LayOutForPrinter(dc, &choice, &margins, &font, &layout));
    }
    PrintTarget ToOutput() {
        PrintTarget target;
        ChoosePrintTarget(kPrinter, output.c_str(), &target);
        return target;
    }
};
std::wstring PrintBookTest::portFile;

TEST_F(PrintBookTest, EveryPageReachesTheFileAndAShorterJobLeavesNoOldTail) {
    LayOut(PrintChoice{1, 6, kCommentaryBelow, true});
    ASSERT_GE(layout.pages.pageCount, 6);
    PrintTarget target = ToOutput();
    ASSERT_EQ(kPrintJobDone, PrintLaidOutPages(&layout, dc, L"Lorvan test", &target, nullptr));
    std::string longJob = ReadFile(output);
    ASSERT_EQ(0u, longJob.find("%!PS"));
    EXPECT_EQ(layout.pages.pageCount, CountOf(longJob, "%%Page: "));
    ReleasePrintLayout(&layout);

    LayOut(PrintChoice{9, 9, kCommentaryNone, false});
    ASSERT_EQ(kPrintJobDone, PrintLaidOutPages(&layout, dc, L"Lorvan test", &target, nullptr));
    std::string shortJob = ReadFile(output);
    EXPECT_LT(shortJob.size(), longJob.size());
    EXPECT_EQ(layout.pages.pageCount, CountOf(shortJob, "%%Page: "));
    EXPECT_EQ(1, CountOf(shortJob, "%%EOF"));

    // Through the port when no file is named: the port's file is found, and written.
    PrintTarget port;
    ChoosePrintTarget(kPrinter, nullptr, &port);
    ASSERT_NE(port.writtenFile, nullptr);
    ASSERT_EQ(kPrintJobDone, PrintLaidOutPages(&layout, dc, L"Lorvan test", &port, nullptr));
    EXPECT_EQ(layout.pages.pageCount, CountOf(ReadFile(port.writtenFile), "%%Page: "));
}

// Cancels once the first page is done, as the progress box's Cancel does.
struct CancelRun {
    PrintLayout* layout;
    HDC dc;
    PrintTarget target;
    PrintProgress progress;
    int result;
    int pagesSeen;
};
CancelRun* gCancelRun = nullptr;

LRESULT CALLBACK CancellingWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPrintPageDoneMessage && gCancelRun) {
        gCancelRun->pagesSeen = (int)wParam;
        InterlockedExchange(&gCancelRun->progress.cancel, 1);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI PrintOnWorker(LPVOID parameter) {
    CancelRun* run = (CancelRun*)parameter;
    run->result = PrintLaidOutPages(run->layout, run->dc, L"Lorvan test", &run->target, &run->progress);
    ReleaseTextBuffers();
    return 0;
}

TEST_F(PrintBookTest, ACancelBetweenPagesEndsTheJobAndLeavesNoFile) {
    LayOut(PrintChoice{1, 40, kCommentaryBeside, false});
    ASSERT_GE(layout.pages.pageCount, 20);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = CancellingWindow;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LorvanCancelTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    CancelRun run = {&layout, dc, ToOutput(), {0, window}, -1, 0};
    gCancelRun = &run;
    HANDLE thread = CreateThread(nullptr, 0, PrintOnWorker, &run, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    CloseHandle(thread);
    gCancelRun = nullptr;
    DestroyWindow(window);
    EXPECT_EQ(kPrintJobCancelled, run.result);
    EXPECT_GE(run.pagesSeen, 1);
    EXPECT_FALSE(FileExists(output)) << "a cancelled job left its file";
}

TEST_F(PrintBookTest, AJobThePrinterRefusesIsReportedNotTakenAsDone) {
    LayOut(PrintChoice{2, 2, kCommentaryBelow, false});
    PrintTarget target;
    ChoosePrintTarget(kPrinter, L"Z:\\no such folder\\at all\\job.ps", &target);
    int result = PrintLaidOutPages(&layout, dc, L"Lorvan test", &target, nullptr);
    EXPECT_NE(kPrintJobDone, result);
    EXPECT_STRNE(L"", PrintJobProblem(result));
}

// The preview draws what the printer would: ink inside the margins, on every
// side of the body, with the header's rule across the body's width.
TEST_F(PrintBookTest, ThePreviewPageKeepsItsInkInsideTheMargins) {
    LayOut(PrintChoice{12, 12, kCommentaryBeside, false});
    HENHMETAFILE page = RecordPreviewPage(&layout, 0);
    ASSERT_NE(page, nullptr);
    const PaperMetrics& paper = layout.paper;
    // The sheet at 72 DPI.
    Canvas canvas(paper.paperWidthPx * 72 / paper.dpiX, paper.paperHeightPx * 72 / paper.dpiY);
    RECT area = {0, 0, canvas.widthPx, canvas.heightPx};
    RECT sheet, printable;
    FitPaper(&paper, &area, &sheet, &printable);
    PlayEnhMetaFile(canvas.dc, page, &printable);
    GdiFlush();
    DeleteEnhMetaFile(page);
    int left = canvas.widthPx, top = canvas.heightPx, right = -1, bottom = -1;
    for (int y = 0; y < canvas.heightPx; y++)
        for (int x = 0; x < canvas.widthPx; x++) {
            if ((canvas.pixels[y * canvas.widthPx + x] & 0xFFFFFF) == 0xFFFFFF) continue;
            if (x < left) left = x;
            if (x > right) right = x;
            if (y < top) top = y;
            if (y > bottom) bottom = y;
        }
    const int marginPx = 20 * 72 * 100 / 2540;  // 20 mm at 72 DPI, about 57 px
    EXPECT_GE(left, marginPx - 1);
    EXPECT_GE(top, marginPx - 1);
    EXPECT_LE(right, canvas.widthPx - marginPx + 1);
    EXPECT_LE(bottom, canvas.heightPx - marginPx + 1);
    // The rule under the heading spans the body: the ink reaches both margins.
    EXPECT_LE(left, marginPx + 2);
    EXPECT_GE(right, canvas.widthPx - marginPx - 2);
}

// The chosen size is taken as points: the letters (the em), not the cell,
// are that high on the paper, and the notes are smaller.
TEST_F(PrintBookTest, TheTextIsSetAtTheChosenSizeInPoints) {
    gApp.font.size = 12;
    LayOut(PrintChoice{5, 5, kCommentaryBelow, false});
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const uint8_t styles[] = {kInitialStyle, kFlagSmall};
    const int expectedEmPx[] = {MulDiv(12, dpi, 72), MulDiv(9, dpi, 72)};
    for (int i = 0; i < 2; i++) {
        HFONT font = CreateStyleFont(&layout.font, styles[i]);
        HGDIOBJ saved = SelectObject(dc, font);
        TEXTMETRICW metrics;
        ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
        SelectObject(dc, saved);
        DeleteObject(font);
        EXPECT_NEAR(expectedEmPx[i], metrics.tmHeight - metrics.tmInternalLeading, 1) << "style " << (int)styles[i];
    }
}

TEST_F(PrintBookTest, AFaceWithCffOutlinesIsReplacedByOneThatPrints) {
    wchar_t printed[kFaceNameChars] = {};
    ASSERT_TRUE(IsCffFace(dc, L"David CLM")) << "the culmus faces are missing";
    ASSERT_TRUE(PrintableFace(dc, L"David CLM", printed));
    EXPECT_FALSE(IsCffFace(dc, printed)) << printed;
    EXPECT_FALSE(PrintableFace(dc, printed, printed)) << "a TrueType face is kept";
    bool substituted = false;
    FontSpec font = FontForPrinting(dc, &substituted);
    EXPECT_TRUE(substituted);
    EXPECT_STREQ(printed, font.faceName);
}

}  // namespace
