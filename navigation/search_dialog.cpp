#include "navigation/search_dialog.h"

#include <string.h>

#include "app/app_state.h"
#include "content/section_records.h"
#include "navigation/search.h"
#include "navigation/search_match.h"
#include "panes/text_pane.h"
#include "platform/dialog_shell.h"
#include "platform/fonts.h"
#include "platform/right_to_left_typing.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/stored_order_edit.h"

const char kKeyboardTable[] = "abcdefghijlkmonqprsutwvxyz{";

namespace {

const int kSearchEditChars = kSearchStringBytes - 1;  // 33
const int kSipForcedDown = 2;
const int kKeyRows = 3;
const int kKeysPerRow = 9;
const int kSpaceBarFirstColumn = 2;
const int kSpaceBarLastColumn = 6;

// Alive while the dialog is open.
HFONT gSearchEditFont = nullptr;

HWND SearchEdit(HWND dialog) { return GetDlgItem(dialog, kSearchEditId); }

// The keyboard is the one static control that shows a bitmap.
HWND KeyboardControl(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = L"";
        GetClassNameW(child, className, 16);
        bool isStatic = _wcsicmp(className, L"Static") == 0;
        if (isStatic && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) return child;
    }
    return nullptr;
}

// The edit's font: the main pane's face and size, everything else left to
// the platform but the character set. With the Western set a desktop swaps
// a face that has only Hebrew letters for one without them.
HFONT CreateSearchEditFont() {
    const FontSpec* spec = gApp.mainPane ? &gApp.mainPane->fontSpec : &gApp.font;
    LOGFONTW font;
    memset(&font, 0, sizeof font);
    font.lfHeight = spec->size;
    font.lfCharSet = DEFAULT_CHARSET;
    const wchar_t* face = spec->faceName[0] ? spec->faceName : DefaultHebrewFaceName();
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// Letter codes in the current letter base, as stored even in Reverse mode,
// which is how the edit shows them. The caller frees the result.
wchar_t* ShownCodes(const uint8_t* codes, int length) {
    uint32_t savedFlags = gApp.flags;
    gApp.flags &= ~kFlagReverse;
    wchar_t* shown = ToDisplayText(codes, nullptr, length);
    gApp.flags = savedFlags;
    return shown;
}

// The stored search string as shown, so that OK without a change keeps it.
wchar_t* ShownSearchString() {
    return ShownCodes(gApp.searchString, (int)strnlen((const char*)gApp.searchString, kSearchStringBytes - 1));
}

// What the edit starts with: the text the dialog was opened for, else the
// stored search string.
void ShowStartingText(HWND edit, const SearchStart* start) {
    wchar_t* shown = start ? ShownCodes(start->codes, start->length) : ShownSearchString();
    if (!shown) return;
    SetWindowTextW(edit, shown);
    PlatformFree(shown);
}

// Some letter bases show two codes alike (with base 97 tav and the brace are
// both "{"), so a text left as it was shown keeps the stored bytes.
void TakeEditText(HWND dialog) {
    wchar_t typed[kSearchStringBytes];
    memset(typed, 0, sizeof typed);
    GetDlgItemTextW(dialog, kSearchEditId, typed, kSearchStringBytes);
    wchar_t* shown = ShownSearchString();
    bool unchanged = shown && wcscmp(shown, typed) == 0;
    PlatformFree(shown);
    if (!unchanged) EditTextToSearchString(typed, gApp.font.letterBase, gApp.searchString, kSearchStringBytes);
}

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
    HWND edit = SearchEdit(dialog);
    gSearchEditFont = CreateSearchEditFont();
    if (gSearchEditFont) SendMessageW(edit, WM_SETFONT, (WPARAM)gSearchEditFont, TRUE);
    ShowEditInStoredOrder(edit);
    TypeRightToLeft(edit);
    SendMessageW(edit, EM_LIMITTEXT, kSearchEditChars, 0);
    ShowStartingText(edit, reinterpret_cast<const SearchStart*>(lParam));
    return TRUE;  // the platform puts the focus on the edit
}

INT_PTR OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) return 0;
    if (gShell.allowSipInHebrewSearch) ShellFullScreen(gApp.mainWindow, SHFS_SHOWSIPBUTTON);
    if (LOWORD(wParam) == WA_ACTIVE && gShell.taskBarWindow) ShowWindow(gShell.taskBarWindow, SW_HIDE);
    return 0;
}

INT_PTR CloseSearchDialog(HWND dialog, int command) {
    EndDialog(dialog, command);
    ShellSipPreference(gApp.mainWindow, kSipForcedDown);
    ShellShowSip(FALSE);
    ShellFullScreen(gApp.mainWindow, SHFS_HIDESIPBUTTON);
    return TRUE;
}

// OK: the edit's text becomes the search string, and the search runs. When
// it finds nothing the dialog stays, with the text selected for a new try.
INT_PTR OnSearch(HWND dialog) {
    TakeEditText(dialog);
    if (!gApp.searchString[0]) return CloseSearchDialog(dialog, IDOK);
    if (FindNext(dialog)) return CloseSearchDialog(dialog, IDOK);
    SendMessageW(SearchEdit(dialog), EM_SETSEL, 0, -1);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: return OnSearch(dialog);
    case IDCANCEL: return CloseSearchDialog(dialog, IDCANCEL);
    default: return FALSE;
    }
}

INT_PTR OnDestroy() {
    if (gSearchEditFont) DeleteObject(gSearchEditFont);
    gSearchEditFont = nullptr;
    return TRUE;
}

}  // namespace

INT_PTR RunSearchDialog(HWND owner) {
    return RunDialogTemplate(gApp.instance, kSearchDialogId, owner, SearchDialogProc, 0);
}

INT_PTR RunSearchDialogFor(HWND owner, const uint8_t* codes, int length) {
    if (length > kSearchEditChars) length = kSearchEditChars;
    SearchStart start = {codes, length < 0 ? 0 : length};
    return RunDialogTemplate(gApp.instance, kSearchDialogId, owner, SearchDialogProc, (LPARAM)&start);
}

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, lParam);
    case WM_ACTIVATE: return OnActivate(wParam);
    case WM_LBUTTONDOWN:
    // The desktop makes a second quick tap on a key a double click; it is a
    // key all the same (a word may double a letter).
    case WM_LBUTTONDBLCLK: return HitTestKeyboard(dialog, LOWORD(lParam), HIWORD(lParam));
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_DESTROY: return OnDestroy();
    default: return FALSE;
    }
}

int KeyAt(int dx, int dy) {
    // The last column of pixels is the grid's right edge, outside every key.
    if (dx < 0 || dy < 0 || dy >= kKeyboardHeightPx || dx >= kKeyboardWidthPx - 1) return -1;
    int row = dy / kKeyHeightPx;
    int column = dx / kKeyWidthPx;
    if (row < kKeyRows) return kKeysPerRow * (row + 1) - column;  // column 8 is the rightmost
    bool onSpaceBar = column >= kSpaceBarFirstColumn && column <= kSpaceBarLastColumn;
    return onSpaceBar ? kSpaceBarKey : -1;
}

POINT KeyboardOrigin(HWND dialog) {
    POINT origin = {0, 0};
    HWND keyboard = KeyboardControl(dialog);
    if (!keyboard) return origin;
    RECT rect;
    GetWindowRect(keyboard, &rect);
    MapWindowPoints(nullptr, dialog, (POINT*)&rect, 2);
    origin.x = rect.left;
    origin.y = rect.top;
    return origin;
}

int HitTestKeyboard(HWND dialog, int x, int y) {
    POINT origin = KeyboardOrigin(dialog);
    int key = KeyAt(x - origin.x, y - origin.y);
    if (key < 0) return 1;
    TypeKeyboardKey(dialog, key);
    return 0;
}

void TypeKeyboardKey(HWND dialog, int key) {
    HWND edit = SearchEdit(dialog);
    if (!edit || key < 0 || key > kKeyboardKeys) return;
    wchar_t c = L' ';
    if (key != kSpaceBarKey) c = (wchar_t)(gApp.font.letterBase + (kKeyboardTable[key - 1] - kFirstLetterCode));
    InsertLeftOfCaret(edit, c);
}
