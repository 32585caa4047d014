// The reader over the embedded book when memory runs out. The sweep fails the
// 1st, 2nd, ... allocation of each operation in turn, and every run must end
// in order: no crash, the panes alive until the window goes, the settings
// saved once, the quit request posted and nothing left allocated.
//
// Another operation joins the sweep as one more row of kSweepOperations.
#include <gtest/gtest.h>
#include <windows.h>

#include <malloc.h>
#include <string.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/view_scale.h"
#include "content/section_store.h"
#include "fontdialog/font_dialog.h"
#include "navigation/find_all_window.h"
#include "panes/pane_paint.h"
#include "panes/split_view.h"
#include "panes/text_layout.h"
#include "panes/text_pane.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "tests/support/first_paint_watch.h"
#include "tests/win/pane_test_support.h"
#include "tests/win/reader_test_support.h"

namespace {

// Counts message boxes without allocating: the runs compare the heap's use
// before and after.
struct BoxCount {
    int shown;
    int outOfMemory;
};

int CountBox(HWND, const wchar_t* text, const wchar_t*, UINT, void* context) {
    BoxCount* count = static_cast<BoxCount*>(context);
    count->shown++;
    if (text && wcscmp(text, L"There is not enough memory, aborting") == 0) count->outOfMemory++;
    return IDOK;
}

HANDLE CrtHeap() { return (HANDLE)_get_heap_handle(); }

// True when `block` is the start of a block in use on the C runtime's heap.
bool IsLiveBlock(const void* block) {
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = nullptr;
    bool live = false;
    HeapLock(CrtHeap());
    while (HeapWalk(CrtHeap(), &entry)) {
        if (entry.lpData == block) {
            live = (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
            break;
        }
    }
    HeapUnlock(CrtHeap());
    return live;
}

bool ProgramKeyHas(const wchar_t* name) {
    DWORD type = 0;
    std::vector<uint8_t> bytes;
    return GetRegValue(kTestProgramKey, name, &type, &bytes);
}

// Settings of a reader that has run before, so that loading them allocates.
void StoreUsedSettings() {
    PutString(kTestProgramKey, L"FontName", kBookFace);
    PutDword(kTestProgramKey, L"FontSize", 18);
    PutDword(kTestProgramKey, L"FontAsciiBase", 0x5D0);
    PutDword(kTestProgramKey, L"Flags", kFlagsDefault);
    PutDword(kTestProgramKey, L"Lesson", 1);
    PutDword(kTestProgramKey, L"LastPosition", 3);
    PutDword(kTestProgramKey, L"BottomSection", 12);
    PutDword(kTestProgramKey, L"BottomSectionLastPosition", 2);
    PutRegValue(kTestProgramKey, L"SearchString", REG_BINARY, "abg", 4);
    const uint8_t bookmarks[] = {1, 0, 3, 0, 0, 0};
    PutRegValue(kTestProgramKey, L"Bookmarks", REG_BINARY, bookmarks, sizeof(bookmarks));
    PutDword(kTestMakerKey, L"SurroundingGutter", 2);
}

void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage((int)message.wParam);  // left for the run to find
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND Start() { return StartReader(GetModuleHandleW(nullptr), SW_SHOWNA); }

// The reader as the program entry leaves it before its message loop, at the
// size of a small window, so that both panes have more rows than they show.
void OpenReader() {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 0, 0, 360, 520, SWP_NOZORDER);
    UpdateWindow(window);
    DrainMessages();
}

void NoPreparation() {}

// ---- The operations ------------------------------------------------------------

void StartUp() { Start(); }
void GoToAnotherSection() { GoToSection(gApp.mainWindow, 37); }
void LoadCommentaryAgain() {
    LoadBottomSection(gApp.mainWindow);
    RepaintView(gApp.mainWindow, kRepaintBottom);
}
void Resize() {
    SetWindowPos(gApp.mainWindow, nullptr, 0, 0, 520, 700, SWP_NOZORDER | SWP_NOMOVE);
    UpdateWindow(gApp.mainWindow);
}
void ChangeFont() {
    gApp.font.size = 24;
    SetViewFont(gApp.mainWindow);
}
void ZoomIn() { SendMessageW(gApp.mainWindow, WM_COMMAND, kZoomInCommand, 0); }
void StepToNextSection() { SendMessageW(gApp.mainWindow, WM_KEYDOWN, VK_RIGHT, 0); }
void Copy() { SendMessageW(gApp.mainWindow, WM_COMMAND, 40007, 0); }
void AppendToClipboard() { SendMessageW(gApp.mainWindow, WM_COMMAND, 40009, 0); }
// Search again for a phrase that only the commentary of section 1 holds: the
// main pane is searched, then section 2 is loaded, searched and laid out in
// the lower pane. (A longer scan only repeats the same steps, at a cost.)
void OpenReaderToSearch() {
    OpenReader();
    memset(gApp.searchString, 0, sizeof gApp.searchString);
    strcpy((char*)gApp.searchString, "erh jum");
}
void SearchAgain() { SendMessageW(gApp.mainWindow, WM_COMMAND, 117, 0); }
// Find All's list of a frequent pair of letters, filled with memory to spare:
// a new filter fills it again, and Enter shows its last row in the reader.
void OpenFindAll() {
    OpenReader();
    memset(gApp.searchString, 0, sizeof gApp.searchString);
    strcpy((char*)gApp.searchString, "nj");
    ASSERT_GT(RunFindAll(gApp.mainWindow), 0);
    ASSERT_NE(OpenFindAllWindow(), nullptr);
}
void FilterAndShowFromFindAll() {
    SetFindAllFilter(kShowCommentary);
    HWND list = FindWindowExW(FindAllWindow(), nullptr, L"LorvanFindAllList", nullptr);
    SendMessageW(list, WM_KEYDOWN, VK_END, 0);
    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
}

const int kChooserMessagesBeforeClosing = 500;  // in case it never paints

typedef void (*ChooserAction)(HWND dialog);

void ActThenCancel(HWND dialog, void* action) {
    ChooserAction whilePainted = *(ChooserAction*)action;
    if (whilePainted) whilePainted(dialog);
    CancelDialog(dialog, nullptr);
}

// The chooser runs modally, so it closes itself: the first message taken
// after its first paint posts its Cancel, once `whilePainted` has run.
void RunChooser(ChooserAction whilePainted) {
    auto open = [](void*) { SendMessageW(gApp.mainWindow, WM_COMMAND, 119, 0); };
    ActAfterFirstPaint(L"Choose Section", open, nullptr, ActThenCancel, &whilePainted, kChooserMessagesBeforeClosing);
}

void OpenChooser() { RunChooser(nullptr); }
// A new size lays the outline out again, carrying its open headings over.
void ResizeChooser() {
    RunChooser([](HWND dialog) { SetWindowPos(dialog, nullptr, 0, 0, 300, 420, SWP_NOMOVE | SWP_NOZORDER); });
}

struct SweepOperation {
    const char* name;
    void (*prepare)();  // runs with memory to spare
    void (*act)();      // runs while allocations fail
};

const SweepOperation kSweepOperations[] = {
    {"StartUp", NoPreparation, StartUp},
    {"GoToSection", OpenReader, GoToAnotherSection},
    {"LoadBottomSection", OpenReader, LoadCommentaryAgain},
    {"Resize", OpenReader, Resize},
    {"FontChange", OpenReader, ChangeFont},
    {"Zoom", OpenReader, ZoomIn},
    {"SectionStep", OpenReader, StepToNextSection},
    {"Copy", OpenReader, Copy},
    {"Append", OpenReader, AppendToClipboard},
    {"ChooserOpen", OpenReader, OpenChooser},
    {"ChooserLayout", OpenReader, ResizeChooser},
    {"SearchAgain", OpenReaderToSearch, SearchAgain},
    {"FindAllRows", OpenFindAll, FilterAndShowFromFindAll},
};

// Enough for the largest operation; a run that still fails allocations here
// means an operation that never ends.
const int kMostAllocations = 2000;

class AllocationSweep : public ::testing::TestWithParam<SweepOperation> {
protected:
    TestSettingsKeys keys;
    BoxCount boxes = {};

    void SetUp() override { SetMessageBoxSink(CountBox, &boxes); }
    void TearDown() override {
        FailAllocationsAfter(-1);
        if (gApp.mainWindow) DestroyWindow(gApp.mainWindow);
        EndReader();
        TakeQuitMessage();
        SetMessageBoxSink(nullptr, nullptr);
        ResetProgramState();
    }

    // One run: allocations from the (allowed + 1)-th on fail during the
    // operation. Returns false when the operation got all it asked for.
    bool RunWithAllocationsFailingAfter(const SweepOperation& operation, int allowed) {
        ResetProgramState();
        StoreUsedSettings();
        boxes = {};
        // EndReader frees these; earlier tests may have left them grown.
        ReleaseTextBuffers();
        ReleaseFontFamilies();
        size_t heapBytes = HeapBytesInUse();
        operation.prepare();
        if (HasFatalFailure()) return false;
        const TextPane* mainPane = gApp.mainPane;
        const TextPane* bottomPane = gSplit.bottomPane;

        FailAllocationsAfter(allowed);
        operation.act();
        void* probe = PlatformAlloc(1);  // null when the operation met a failure
        FailAllocationsAfter(-1);
        PlatformFree(probe);

        // Whatever failed, the panes are the ones from before and still alive.
        if (mainPane) {
            EXPECT_EQ(gApp.mainPane, mainPane);
            EXPECT_TRUE(IsLiveBlock(mainPane));
        }
        if (bottomPane) {
            EXPECT_EQ(gSplit.bottomPane, bottomPane);
            EXPECT_TRUE(IsLiveBlock(bottomPane));
        }
        EXPECT_TRUE(HeapValidate(CrtHeap(), 0, nullptr));
        bool ending = ProgramEnding();
        EXPECT_EQ(boxes.outOfMemory, ending ? 1 : 0);

        // The end: the user closes the reader, unless the failure asked to
        // quit already; then the window goes after the message loop.
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestProgramKey);  // a save writes it afresh
        if (!ending && gApp.mainWindow) DestroyWindow(gApp.mainWindow);
        DrainMessages();
        EndReader();
        EXPECT_TRUE(TakeQuitMessage());
        EXPECT_EQ(ProgramKeyHas(L"Flags"), !ending);  // the close's save, or none after the first
        EXPECT_EQ(gApp.mainWindow, nullptr);
        EXPECT_EQ(gApp.mainPane, nullptr);
        EXPECT_EQ(gSplit.bottomPane, nullptr);
        EXPECT_EQ(gSplit.activePane, nullptr);
        EXPECT_EQ(gApp.bookmarks, nullptr);
        EXPECT_EQ(HeapBytesInUse(), heapBytes);
        EXPECT_TRUE(HeapValidate(CrtHeap(), 0, nullptr));
        return probe == nullptr;
    }
};

std::string OperationName(const ::testing::TestParamInfo<SweepOperation>& info) { return info.param.name; }

}  // namespace

TEST_P(AllocationSweep, EveryFailedAllocationEndsInOrder) {
    const SweepOperation& operation = GetParam();
    int allowed = 0;
    for (; allowed < kMostAllocations; allowed++) {
        SCOPED_TRACE(testing::Message() << operation.name << " with " << allowed << " allocations allowed");
        if (!RunWithAllocationsFailingAfter(operation, allowed)) break;
        if (HasFailure()) return;  // one broken run tells enough
    }
    EXPECT_LT(allowed, kMostAllocations);
    EXPECT_GT(allowed, 0) << "the operation allocates nothing, so the sweep proves nothing";
}

INSTANTIATE_TEST_SUITE_P(ReaderOperations, AllocationSweep, ::testing::ValuesIn(kSweepOperations), OperationName);

// After a failed allocation the reader stands still until the message loop
// has taken the quit request: no key, tap, scroll bar, command, resize or
// repaint moves or draws anything, and no close request destroys the window
// under the feet of the code that failed.
TEST(OutOfMemory, TheReaderStandsStillUntilTheWindowGoes) {
    TestSettingsKeys keys;
    BoxCount boxes = {};
    SetMessageBoxSink(CountBox, &boxes);
    ResetProgramState();
    StoreUsedSettings();
    OpenReader();
    HWND window = gApp.mainWindow;
    ASSERT_NE(window, nullptr);
    TextPane* main = gApp.mainPane;
    TextPane* bottom = gSplit.bottomPane;
    ASSERT_GT(main->lastFirstRow, 0);
    ASSERT_GT(bottom->lastFirstRow, 0);
    SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, (LPARAM)gSplit.bottomScrollBar);  // the commentary is active
    const uint16_t mainRow = main->firstRow;
    const uint16_t bottomRow = bottom->firstRow;

    FailAllocationsAfter(0);
    EXPECT_EQ(AllocOrAbort(16), nullptr);
    FailAllocationsAfter(-1);
    EXPECT_EQ(boxes.outOfMemory, 1);
    EXPECT_TRUE(TakeQuitMessage());
    DWORD value = 0;
    EXPECT_TRUE(GetDword(kTestProgramKey, L"BottomSectionLastPosition", &value));
    EXPECT_EQ(value, bottomRow);
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestProgramKey);

    // Everything the panes show from now on goes to a canvas, which must stay white.
    Canvas canvas(600, 800);
    main->dc = canvas.dc;
    bottom->dc = canvas.dc;
    for (WPARAM key : {VK_NEXT, VK_DOWN, VK_END, VK_RIGHT}) SendMessageW(window, WM_KEYDOWN, key, 0);
    SendMessageW(window, WM_LBUTTONDOWN, 0, MAKELPARAM(main->left + 5, main->top + main->height - 5));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(main->left + 5, main->top + main->height - 5));
    SendMessageW(window, WM_VSCROLL, SB_PAGEDOWN, (LPARAM)gSplit.mainScrollBar);
    for (WPARAM command : {109u, 110u, 413u, kCommandSelectAll, 40005u}) SendMessageW(window, WM_COMMAND, command, 0);
    SendMessageW(window, WM_CLOSE, 0, 0);
    SendMessageW(window, kCloseRequestMessage, 0, 0);
    SetWindowPos(window, nullptr, 0, 0, 500, 300, SWP_NOZORDER | SWP_NOMOVE);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    RepaintView(window, kRepaintAll);
    EXPECT_EQ(PaintPane(main, 1), -1);
    EXPECT_EQ(ScrollPane(bottom, 3, 1), kScrollUnchanged);
    EXPECT_EQ(LayoutSection(main, LoadSectionText(5, nullptr), 1), kLayoutNoMemory);  // and frees the text
    EXPECT_EQ(GoToSection(window, 9), 1);
    DrainMessages();

    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(gApp.mainPane, main);
    EXPECT_EQ(gSplit.bottomPane, bottom);
    EXPECT_EQ(main->firstRow, mainRow);
    EXPECT_EQ(bottom->firstRow, bottomRow);
    EXPECT_NE(main->text, nullptr);
    EXPECT_EQ(gApp.lesson, 1);
    EXPECT_EQ(gSplit.bottomSection, 12);
    EXPECT_EQ(canvas.CountNot(0, 0, 600, 800, kColourWhite), 0);

    // After the loop the window goes in order, without a second save.
    EndReader();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(gApp.mainPane, nullptr);
    EXPECT_EQ(gSplit.bottomPane, nullptr);
    EXPECT_FALSE(ProgramKeyHas(L"Flags"));
    EXPECT_FALSE(TakeQuitMessage());
    EXPECT_EQ(boxes.outOfMemory, 1);
    SetMessageBoxSink(nullptr, nullptr);
    ResetProgramState();
}
