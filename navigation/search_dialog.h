// The Search dialog (resource 115): the search text in an edit, typed with
// the letter keyboard below it (bitmap 119) or the physical keyboard, and
// OK to search for it with FindNext.
#pragma once

#include <windows.h>
#include <stdint.h>

// Resource numbers, also written in resources/lorvan.rc (where the keyboard
// is bitmap 119).
const WORD kSearchDialogId = 115;
const int kSearchEditId = 1013;

// Runs the dialog modally over `owner`; returns the command it ended with.
INT_PTR RunSearchDialog(HWND owner);
// The same with `length` letter codes (as stored, at most 33 are taken) in the
// edit in place of the stored search string, which only OK replaces.
INT_PTR RunSearchDialogFor(HWND owner, const uint8_t* codes, int length);
// The dialog parameter of RunSearchDialogFor.
struct SearchStart {
    const uint8_t* codes;
    int length;
};

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Key number k (1 to 27) of the keyboard enters byte k of this string; key 0
// is the space bar. Each regular letter comes before its final form.
extern const char kKeyboardTable[];
const int kKeyboardKeys = 27;
const int kSpaceBarKey = 0;

// The keyboard's size in pixels and the size of one key.
const int kKeyboardWidthPx = 154;
const int kKeyboardHeightPx = 95;
const int kKeyWidthPx = 17;
const int kKeyHeightPx = 25;

// The key at (dx, dy) from the keyboard's top left corner, or -1: the keys
// run right to left, alef at the top right, and the space bar is the middle
// of the bottom row.
int KeyAt(int dx, int dy);
// Where the dialog placed the keyboard, in its client coordinates.
POINT KeyboardOrigin(HWND dialog);

// A tap at (x, y) of the dialog's client area: enters the key there and
// returns 0, or returns 1 when no key is there.
int HitTestKeyboard(HWND dialog, int x, int y);
// Enters key `key` into the edit, to the left of the caret.
void TypeKeyboardKey(HWND dialog, int key);
