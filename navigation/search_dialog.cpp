#include "navigation/search_dialog.h"

#include <string.h>

#include "app/app_state.h"
#include "content/section_records.h"
#include "navigation/find_all_window.h"
#include "navigation/search.h"
#include "navigation/search_match.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/dialog_shell.h"
#include "platform/dpi.h"
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
const int kKeyboardMarginDlu = 7;
const WORD kKeyboardBitmapId = 119;

// Alive while the dialog is open.
HFONT gSearchEditFont = nullptr;
HBITMAP gKeyboardBitmap = nullptr;  // the keyboard drawn for the dialog's resolution, when not 1x

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
HFONT CreateSearchEditFont(HWND dialog) {
    const FontSpec* spec = gApp.mainPane ? &gApp.mainPane->fontSpec : &gApp.font;
    LOGFONTW font;
    memset(&font, 0, sizeof font);
    font.lfHeight = ScalePx(spec->size, WindowDpi(dialog));
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

// The keyboard's size in the dialog: the bitmap it shows.
SIZE DrawnKeyboardSize(HWND keyboard) {
    HBITMAP shown = keyboard ? (HBITMAP)SendMessageW(keyboard, STM_GETIMAGE, IMAGE_BITMAP, 0) : nullptr;
    SIZE size = BitmapSize(shown);
    if (size.cx <= 0 || size.cy <= 0) size = SIZE{kKeyboardWidthPx, kKeyboardHeightPx};
    return size;
}

int DluToPx(HWND dialog, int dlu) {
    RECT rect = {0, 0, dlu, 0};
    MapDialogRect(dialog, &rect);
    return rect.right;
}

// Centred under the edit, the dialog made larger where the keyboard would
// not fit it with a margin on every side.
void PlaceKeyboard(HWND dialog, HWND keyboard) {
    if (!keyboard) return;
    SIZE drawn = DrawnKeyboardSize(keyboard);
    POINT origin = KeyboardOrigin(dialog);
    int marginPx = DluToPx(dialog, kKeyboardMarginDlu);
    RECT client;
    GetDialogClientRect(dialog, &client);
    int growWidthPx = drawn.cx + 2 * marginPx - (client.right - client.left);
    int growHeightPx = origin.y + drawn.cy + marginPx - client.bottom;
    if (growWidthPx > 0 || growHeightPx > 0) {
        RECT window;
        GetWindowRect(dialog, &window);
        SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + (growWidthPx > 0 ? growWidthPx : 0),
                     window.bottom - window.top + (growHeightPx > 0 ? growHeightPx : 0),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetDialogClientRect(dialog, &client);
    }
    int x = (client.right - client.left - drawn.cx) / 2;
    SetWindowPos(keyboard, nullptr, x, origin.y, drawn.cx, drawn.cy, SWP_NOZORDER | SWP_NOACTIVATE);
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

const int kFirstUnicodeLetter = 0x5D0;
const int kLastUnicodeLetter = 0x5EA;

void ShowOptions(HWND dialog) {
    CheckDlgButton(dialog, kFinalLettersCheckId, (gApp.searchOptions & kSearchFinalLetters) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kVavYodCheckId, (gApp.searchOptions & kSearchSkipVavYod) ? BST_CHECKED : BST_UNCHECKED);
}

// The options are taken with the text, on OK and Find All; other bits of the
// stored value stay as they were.
void TakeOptions(HWND dialog) {
    uint32_t options = 0;
    if (IsDlgButtonChecked(dialog, kFinalLettersCheckId) == BST_CHECKED) options |= kSearchFinalLetters;
    if (IsDlgButtonChecked(dialog, kVavYodCheckId) == BST_CHECKED) options |= kSearchSkipVavYod;
    gApp.searchOptions = (gApp.searchOptions & ~kSearchKnownOptions) | options;
}

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
    HWND edit = SearchEdit(dialog);
    HWND keyboard = KeyboardControl(dialog);
    gKeyboardBitmap = ShowArtInStatic(keyboard, gApp.instance, kKeyboardBitmapId, WindowDpi(dialog));
    PlaceKeyboard(dialog, keyboard);
    gSearchEditFont = CreateSearchEditFont(dialog);
    if (gSearchEditFont) SendMessageW(edit, WM_SETFONT, (WPARAM)gSearchEditFont, TRUE);
    ShowEditInStoredOrder(edit);
    TypeRightToLeft(edit);
    FilterTypedCharacters(edit, SearchEditCharacter);
    ShowOptions(dialog);
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
    TakeOptions(dialog);
    if (!gApp.searchString[0]) return CloseSearchDialog(dialog, IDOK);
    if (FindNext(dialog)) return CloseSearchDialog(dialog, IDOK);
    SendMessageW(SearchEdit(dialog), EM_SETSEL, 0, -1);
    return TRUE;
}

// Find All: like OK, but every match is kept for the results window, which
// the caller opens once the dialog is gone. With an empty edit nothing happens.
INT_PTR OnFindAll(HWND dialog) {
    TakeEditText(dialog);
    TakeOptions(dialog);
    if (!gApp.searchString[0]) return TRUE;
    if (RunFindAll(dialog) > 0) return CloseSearchDialog(dialog, kSearchDialogFoundAll);
    SendMessageW(SearchEdit(dialog), EM_SETSEL, 0, -1);
    SetFocus(SearchEdit(dialog));
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: return OnSearch(dialog);
    case kFindAllButtonId: return OnFindAll(dialog);
    case IDCANCEL: return CloseSearchDialog(dialog, IDCANCEL);
    default: return FALSE;
    }
}

// The letter keyboard is a one-bit image: it takes the theme's ink and page.
// The dialog's other controls keep the system's colours.
INT_PTR OnControlColour(HWND dialog, HDC dc, HWND control) {
    if (control != KeyboardControl(dialog)) return FALSE;
    const Palette& palette = CurrentPalette();
    SetTextColor(dc, palette.plainText);
    SetBkColor(dc, palette.page);
    SetDCBrushColor(dc, palette.page);
    return (INT_PTR)GetStockObject(DC_BRUSH);
}

INT_PTR OnDestroy(HWND dialog) {
    if (gSearchEditFont) DeleteObject(gSearchEditFont);
    gSearchEditFont = nullptr;
    ReleaseArtInStatic(KeyboardControl(dialog), &gKeyboardBitmap);
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
    case WM_CTLCOLORSTATIC: return OnControlColour(dialog, (HDC)wParam, (HWND)lParam);
    case WM_DESTROY: return OnDestroy(dialog);
    default: return FALSE;
    }
}

wchar_t SearchEditCharacter(wchar_t typed) {
    if (InputLanguageIsHebrew()) return typed;
    wchar_t israeli = IsraeliLayoutCharacter(typed);
    if (israeli < kFirstUnicodeLetter || israeli > kLastUnicodeLetter) return israeli;
    return (wchar_t)CharacterOfCode((uint8_t)(kFirstLetterCode + (israeli - kFirstUnicodeLetter)), gApp.font.letterBase);
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

int KeyAtDrawn(int dx, int dy, SIZE drawn) {
    if (dx < 0 || dy < 0 || drawn.cx <= 0 || drawn.cy <= 0) return -1;
    return KeyAt(dx * kKeyboardWidthPx / drawn.cx, dy * kKeyboardHeightPx / drawn.cy);
}

int HitTestKeyboard(HWND dialog, int x, int y) {
    POINT origin = KeyboardOrigin(dialog);
    int key = KeyAtDrawn(x - origin.x, y - origin.y, DrawnKeyboardSize(KeyboardControl(dialog)));
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
