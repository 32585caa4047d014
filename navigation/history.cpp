#include "navigation/history.h"

#include <commctrl.h>

#include "accessibility/announce.h"
#include "app/app_state.h"
#include "app/commands.h"
#include "content/book_numbers.h"
#include "navigation/bookmarks.h"
#include "panes/split_view.h"
#include "panes/text_layout.h"
#include "panes/text_pane.h"
#include "platform/out_of_memory.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const wchar_t kHistoryValue[] = L"History";

PlaceHistory gHistory;

int Walk(HWND window, bool back) {
    if (ProgramEnding() || !gApp.mainPane || !IsMainTextSection(gApp.lesson)) return 1;
    PlaceHistory before = gHistory;
    BookPlace to;
    bool stepped = back ? StepBack(&gHistory, CurrentPlace(), &to) : StepForward(&gHistory, CurrentPlace(), &to);
    if (!stepped) return 1;
    if (ShowPlace(window, to) != 0) {
        gHistory = before;
        return 1;
    }
    UpdateHistoryCommands();
    return 0;
}

void EnableBoth(HMENU menu, HWND toolbar, UINT command, bool enabled) {
    if (menu) EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    if (toolbar) SendMessageW(toolbar, TB_ENABLEBUTTON, command, MAKELONG(enabled ? TRUE : FALSE, 0));
}

}  // namespace

// The text at the top of the main pane; the start of its text when it has none.
BookPlace CurrentPlace() { return BookPlace{gApp.lesson, TopReadingPlace(gApp.mainPane).offset}; }

void NoteMove(BookPlace before) {
    if (ProgramEnding() || gApp.lesson == before.section) return;
    // Only places in the main text are remembered; "History" holds nothing else.
    if (!IsMainTextSection(before.section) || !IsMainTextSection(gApp.lesson)) return;
    RecordMove(&gHistory, before, CurrentPlace());
    UpdateHistoryCommands();
}

int GoBack(HWND window) {
    int result = Walk(window, true);
    if (result == 0) AnnouncePlace(L"Back to");
    return result;
}

int GoForward(HWND window) {
    int result = Walk(window, false);
    if (result == 0) AnnouncePlace(L"Forward to");
    return result;
}

int ShowPlace(HWND window, BookPlace place) {
    if (place.section != gApp.lesson && LoadSectionPanes(window, place.section) != 0) return 1;
    // A place that no line holds (the book changed since it was stored)
    // leaves the section at its top.
    ShowReadingPlace(gApp.mainPane, ReadingPlace{true, place.topOffset});
    RepaintView(window, kRepaintAll);
    UpdateBookmarkCheck(window, kMenuCheckSet);
    return 0;
}

bool RunSideButton(HWND window, WORD button) {
    if (button == XBUTTON1) GoBack(window);
    else if (button == XBUTTON2) GoForward(window);
    else return false;
    return true;
}

bool RunAppCommand(HWND window, int command) {
    if (command == APPCOMMAND_BROWSER_BACKWARD) GoBack(window);
    else if (command == APPCOMMAND_BROWSER_FORWARD) GoForward(window);
    else return false;
    return true;
}

void UpdateHistoryCommands() {
    HMENU go = MenuOfBarButton(kGoButtonCommand);
    HWND toolbar = BarToolbar(gApp.menuBar);
    EnableBoth(go, toolbar, kBackCommand, CanGoBack(&gHistory));
    EnableBoth(go, toolbar, kForwardCommand, CanGoForward(&gHistory));
}

void LoadHistory() {
    uint32_t byteCount = 0;
    uint8_t* bytes = (uint8_t*)ReadSettingBlob(kHistoryValue, nullptr, &byteCount);
    ReadHistory(bytes, bytes ? byteCount : 0, &gHistory);
    PlatformFree(bytes);
}

void SaveHistory() {
    if (gHistory.count > 0 && gApp.mainPane && IsMainTextSection(gApp.lesson))
        UpdateCurrentPlace(&gHistory, CurrentPlace());
    uint8_t bytes[kHistoryMaxBytes];
    size_t byteCount = WriteHistory(&gHistory, bytes);
    WriteSettingBlob(kHistoryValue, bytes, (uint32_t)byteCount);
}

PlaceHistory* ReaderHistory() { return &gHistory; }
