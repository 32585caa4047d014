#include "navigation/history.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "content/book_numbers.h"
#include "content/section_records.h"
#include "navigation/bookmarks.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/out_of_memory.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const wchar_t kHistoryValue[] = L"History";

PlaceHistory gHistory;

int RowsOfLine(const TextLine* line) { return (line->flags & kFlagParagraphEnd) ? 2 : 1; }

// The first character read on a line: a reversed paragraph is stored in
// drawing order, so its reading starts at the line's stored end.
int ReadingStart(const TextLine* line) {
    if (IsSpacerRecord(line->flags) || !(line->flags & kFlagReversed)) return LineTextStart(line);
    return LineTextEnd(line) - 1;
}

bool LineHolds(const TextLine* line, int offset) {
    if (IsSpacerRecord(line->flags)) return offset == line->offset;
    return LineTextStart(line) <= offset && offset < LineTextEnd(line);
}

// The text at the top of a pane; a first row on the blank row after a
// paragraph shows the next line first.
uint16_t TopTextOffset(const TextPane* pane) {
    if (!pane || !pane->text || !pane->lines || !pane->lines[0].flags) return 0;
    const TextLine* line = pane->lines;
    int rows = 0;
    while (line[1].flags && rows < pane->firstRow) {
        rows += RowsOfLine(line);
        line++;
    }
    return (uint16_t)ReadingStart(line);
}

// The line that holds `offset` goes to the top; a place no line holds (the
// book changed since it was stored) leaves the pane at its top.
void ShowTextAtTop(TextPane* pane, uint16_t offset) {
    if (!pane || !pane->lines) return;
    int rows = 0;
    for (const TextLine* line = pane->lines; line->flags; line++) {
        if (LineHolds(line, offset)) {
            pane->firstRow = (uint16_t)rows;
            return;
        }
        rows += RowsOfLine(line);
    }
}

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

BookPlace CurrentPlace() { return BookPlace{gApp.lesson, TopTextOffset(gApp.mainPane)}; }

void NoteMove(BookPlace before) {
    if (ProgramEnding() || gApp.lesson == before.section) return;
    // Only places in the main text are remembered; "History" holds nothing else.
    if (!IsMainTextSection(before.section) || !IsMainTextSection(gApp.lesson)) return;
    RecordMove(&gHistory, before, CurrentPlace());
    UpdateHistoryCommands();
}

int GoBack(HWND window) { return Walk(window, true); }
int GoForward(HWND window) { return Walk(window, false); }

int ShowPlace(HWND window, BookPlace place) {
    if (place.section != gApp.lesson && LoadSectionPanes(window, place.section) != 0) return 1;
    ShowTextAtTop(gApp.mainPane, place.topOffset);
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
