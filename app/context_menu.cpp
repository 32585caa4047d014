#include "app/context_menu.h"

#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "clipboard/copy_text.h"
#include "content/section_records.h"
#include "navigation/bookmarks.h"
#include "navigation/find_all_window.h"
#include "navigation/search_dialog.h"
#include "panes/pane_select.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"

namespace {

const int kSearchCodes = kSearchStringBytes - 1;
const int kLabelChars = 96;
const LPARAM kKeyboardInvoked = -1;

int CopyTrimmed(const uint8_t* text, int start, int end, uint8_t* codes, int capacity) {
    while (start < end && text[start] == kSpaceCode) start++;
    while (end > start && text[end - 1] == kSpaceCode) end--;
    int count = end - start;
    if (count <= 0 || count > capacity) return 0;
    memcpy(codes, text + start, (size_t)count);
    return count;
}

// `prefix` and "“word”", the word as other programs read it; a "&" in it
// is doubled so that it shows rather than marking a key.
void WordLabel(const wchar_t* prefix, const uint8_t* codes, int count, wchar_t* label) {
    wcscpy(label, prefix);
    wcscat(label, L"\x201C");
    wchar_t* shown = count ? CopyFormOfCodes(codes, count) : nullptr;
    size_t used = wcslen(label);
    for (const wchar_t* c = shown; c && *c && used + 4 < (size_t)kLabelChars; c++) {
        if (*c == L'&') label[used++] = L'&';
        label[used++] = *c;
    }
    label[used] = 0;
    wcscat(label, L"\x201D");
    PlatformFree(shown);
}

HMENU BuildMenu(const uint8_t* codes, int count) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AppendMenuW(menu, MF_STRING, kCommandCopy, L"&Copy\tCtrl+C");
    AppendMenuW(menu, MF_STRING, kCommandAppend, L"&Append to ClipBoard\tCtrl+E");
    AppendMenuW(menu, MF_STRING, kCommandSelectAll, L"Select A&ll\tCtrl+A");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (IsBookmarked() ? MF_CHECKED : 0), kCommandBookmark, L"&Bookmark");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (count) {
        wchar_t label[kLabelChars];
        WordLabel(L"&Search for ", codes, count, label);
        AppendMenuW(menu, MF_STRING, kCommandSearchWord, label);
        WordLabel(L"&Find All of ", codes, count, label);
        AppendMenuW(menu, MF_STRING, kCommandFindAllWord, label);
    } else {
        AppendMenuW(menu, MF_STRING | MF_GRAYED, kCommandSearchWord, L"&Search for the Word");
        AppendMenuW(menu, MF_STRING | MF_GRAYED, kCommandFindAllWord, L"&Find All of the Word");
    }
    return menu;
}

// The dialog's Find All button closes it with the matches found.
void SearchForWord(const uint8_t* codes, int count) {
    if (RunSearchDialogFor(gApp.mainWindow, codes, count) == kSearchDialogFoundAll) OpenFindAllWindow();
}

// The word becomes the search, as if typed and found with Find All.
void FindAllOfWord(const uint8_t* codes, int count) {
    memset(gApp.searchString, 0, sizeof gApp.searchString);
    memcpy(gApp.searchString, codes, (size_t)count);
    if (RunFindAll(gApp.mainWindow) > 0) OpenFindAllWindow();
}

// Where the menu key opens the menu: at the active pane's top left.
POINT KeyboardMenuPoint(HWND window, const TextPane* pane) {
    POINT at = {pane->left, pane->top};
    ClientToScreen(window, &at);
    return at;
}

}  // namespace

int SearchCodesOfPane(TextPane* pane, const POINT* clientPoint, uint8_t* codes, int capacity) {
    if (!pane || !pane->text) return 0;
    SelectedStretches selected = ResolveSelection(pane);
    if (selected.count == 1) {
        int count = CopyTrimmed(pane->text, selected.stretches[0].start, selected.stretches[0].end, codes, capacity);
        if (count) return count;
    }
    uint16_t offset, first, last;
    if (!clientPoint || !CharacterAtPoint(pane, clientPoint->x, clientPoint->y, &offset)) return 0;
    if (!WordAt(pane->text, offset, &first, &last)) return 0;
    return CopyTrimmed(pane->text, first, last + 1, codes, capacity);
}

bool ShowPaneContextMenu(HWND window, LPARAM lParam) {
    if (!gApp.mainPane || ProgramEnding()) return false;
    TextPane* pane = gSplit.activePane ? gSplit.activePane : gApp.mainPane;
    POINT screen;
    POINT client = {0, 0};
    bool fromPointer = lParam != kKeyboardInvoked;
    if (fromPointer) {
        screen = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        client = screen;
        ScreenToClient(window, &client);
        pane = PaneAtPoint(client.x, client.y);
        if (!pane) return false;
        SetActivePane(pane);
    } else {
        screen = KeyboardMenuPoint(window, pane);
    }
    uint8_t codes[kSearchCodes];
    int count = SearchCodesOfPane(pane, fromPointer ? &client : nullptr, codes, kSearchCodes);
    HMENU menu = BuildMenu(codes, count);
    if (!menu) return true;
    UINT command = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0,
                                        window, nullptr);
    DestroyMenu(menu);
    if (ProgramEnding() || !IsWindow(window)) return true;
    if (command == kCommandSearchWord) SearchForWord(codes, count);
    else if (command == kCommandFindAllWord) FindAllOfWord(codes, count);
    else if (command) DispatchCommand(window, command);
    return true;
}
