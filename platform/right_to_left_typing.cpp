#include "platform/right_to_left_typing.h"

#include "platform/mirrored_text.h"

namespace {

const wchar_t kOriginalProcProp[] = L"LorvanRightToLeftTypingProc";
const wchar_t kFilterProp[] = L"LorvanTypedCharacterFilter";

// The keys of the Israeli layout that type something else than an English
// layout does, unshifted; shifted they type the same.
struct LayoutKey {
    char latin;
    wchar_t israeli;
};
const LayoutKey kIsraeliKeys[] = {
    {'q', L'/'},      {'w', L'\''},     {'e', L'\x05E7'}, {'r', L'\x05E8'}, {'t', L'\x05D0'}, {'y', L'\x05D8'},
    {'u', L'\x05D5'}, {'i', L'\x05DF'}, {'o', L'\x05DD'}, {'p', L'\x05E4'}, {'a', L'\x05E9'}, {'s', L'\x05D3'},
    {'d', L'\x05D2'}, {'f', L'\x05DB'}, {'g', L'\x05E2'}, {'h', L'\x05D9'}, {'j', L'\x05D7'}, {'k', L'\x05DC'},
    {'l', L'\x05DA'}, {';', L'\x05E3'}, {'\'', L','},    {'z', L'\x05D6'}, {'x', L'\x05E1'}, {'c', L'\x05D1'},
    {'v', L'\x05D4'}, {'b', L'\x05E0'}, {'n', L'\x05DE'}, {'m', L'\x05E6'}, {',', L'\x05EA'}, {'.', L'\x05E5'},
    {'/', L'.'},      {'`', L';'},
};
const WORD kLanguageHebrew = 0x0D;  // LANG_HEBREW
const wchar_t kBackspace = 0x08;
const int kMostPastedChars = 64;  // more than any edit that types this way holds

int TextLength(HWND edit) { return (int)SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0); }

void GetSelection(HWND edit, DWORD* start, DWORD* end) {
    SendMessageW(edit, EM_GETSEL, (WPARAM)start, (LPARAM)end);
}

// Deletes the selection, or without one the character `step` places from the
// caret (1 to its right, -1 to its left); the caret stays at the gap.
void DeleteBeside(HWND edit, int step) {
    DWORD start = 0, end = 0;
    GetSelection(edit, &start, &end);
    if (start == end) {
        int from = step > 0 ? (int)start : (int)start - 1;
        if (from < 0 || from >= TextLength(edit)) return;
        SendMessageW(edit, EM_SETSEL, from, from + 1);
    }
    SendMessageW(edit, EM_REPLACESEL, TRUE, (LPARAM)L"");
}

bool IsControlChar(wchar_t c) { return c < 0x20 || c == 0x7F; }

// A bracket typed or pasted in reading order faces the other way once the
// text is in drawing order, as the reader's Copy mirrors it going out.
wchar_t InDrawingOrder(wchar_t c) { return MirroredBracket(c); }

// Up to `capacity` - 1 characters of the clipboard's Unicode text, read
// within its memory block whatever another program put there; 0 when none.
int CopyClipboardText(HWND owner, wchar_t* text, int capacity) {
    int count = 0;
    if (!OpenClipboard(owner)) return 0;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* source = data ? (const wchar_t*)GlobalLock(data) : nullptr;
    if (source) {
        size_t available = GlobalSize(data) / sizeof(wchar_t);
        while (count < capacity - 1 && (size_t)count < available && source[count]) {
            text[count] = source[count];
            count++;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    text[count] = 0;
    return count;
}

// Pasted text comes in reading order, as other programs and the reader's own
// Copy give it, so it goes in character by character like typing. Line
// breaks and tabs become spaces.
void PasteReadingOrder(HWND edit) {
    wchar_t text[kMostPastedChars];
    int count = CopyClipboardText(edit, text, kMostPastedChars);
    for (int i = 0; i < count; i++) {
        wchar_t c = IsControlChar(text[i]) ? L' ' : InDrawingOrder(text[i]);
        if (!InsertLeftOfCaret(edit, c)) return;
    }
}

wchar_t Filtered(HWND edit, wchar_t typed) {
    TypedCharacterFilter filter = (TypedCharacterFilter)GetPropW(edit, kFilterProp);
    return filter ? filter(typed) : typed;
}

LRESULT CALLBACK RightToLeftTypingProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = (WNDPROC)GetPropW(edit, kOriginalProcProp);
    switch (message) {
    case WM_CHAR:
        if (wParam == kBackspace) {
            DeleteBeside(edit, 1);
            return 0;
        }
        // Control characters (Ctrl+C, Enter, Escape...) keep their meaning.
        if (IsControlChar((wchar_t)wParam)) break;
        InsertLeftOfCaret(edit, InDrawingOrder(Filtered(edit, (wchar_t)wParam)));
        return 0;
    case WM_KEYDOWN:
        if (wParam != VK_DELETE) break;
        DeleteBeside(edit, -1);
        return 0;
    case WM_PASTE:
        PasteReadingOrder(edit);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(edit, GWLP_WNDPROC, (LONG_PTR)original);
        RemovePropW(edit, kOriginalProcProp);
        RemovePropW(edit, kFilterProp);
        break;
    }
    return CallWindowProcW(original, edit, message, wParam, lParam);
}

}  // namespace

bool InsertLeftOfCaret(HWND edit, wchar_t c) {
    DWORD start = 0, end = 0;
    GetSelection(edit, &start, &end);
    int expectedLength = TextLength(edit) - (int)(end - start) + 1;
    wchar_t text[2] = {c, 0};
    SendMessageW(edit, EM_REPLACESEL, TRUE, (LPARAM)text);
    // A full edit takes nothing; stepping back then would move the caret
    // past a character that was there before.
    if (TextLength(edit) != expectedLength) return false;
    GetSelection(edit, &start, &end);
    SendMessageW(edit, EM_SETSEL, start - 1, start - 1);
    return true;
}

BOOL TypeRightToLeft(HWND edit) {
    if (!IsWindow(edit)) return FALSE;
    if (GetPropW(edit, kOriginalProcProp)) return TRUE;
    SetPropW(edit, kOriginalProcProp, (HANDLE)GetWindowLongPtrW(edit, GWLP_WNDPROC));
    SetWindowLongPtrW(edit, GWLP_WNDPROC, (LONG_PTR)RightToLeftTypingProc);
    return TRUE;
}

void FilterTypedCharacters(HWND edit, TypedCharacterFilter filter) {
    if (filter) SetPropW(edit, kFilterProp, (HANDLE)filter);
    else RemovePropW(edit, kFilterProp);
}

wchar_t IsraeliLayoutCharacter(wchar_t typed) {
    for (const LayoutKey& key : kIsraeliKeys) {
        if ((wchar_t)key.latin == typed) return key.israeli;
    }
    return typed;
}

bool InputLanguageIsHebrew() {
    HKL layout = GetKeyboardLayout(0);
    return PRIMARYLANGID(LOWORD((UINT_PTR)layout)) == kLanguageHebrew;
}
