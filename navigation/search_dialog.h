// The Search dialog (resource 115): the search text in an edit, typed with
// the letter keyboard below it (bitmap 119) or the physical keyboard, the
// two options of the matcher, OK to search for it with FindNext and Find All
// to list every match.
#pragma once

#include <windows.h>
#include <stdint.h>

// Resource numbers, also written in resources/lorvan.rc (where the keyboard
// is bitmap 119).
const WORD kSearchDialogId = 115;
const int kSearchEditId = 1013;
const int kFinalLettersCheckId = 1014;
const int kVavYodCheckId = 1015;
const int kFindAllButtonId = 1016;

// What the dialog ends with when Find All found matches (RunFindAll): the
// caller opens the results window.
const INT_PTR kSearchDialogFoundAll = 160;

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

// What a key of the physical keyboard types into the edit: with a Hebrew
// layout what it types; with any other the letter that the Israeli layout
// has on that key, in the letter base the edit shows.
wchar_t SearchEditCharacter(wchar_t typed);

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Key number k (1 to 27) of the keyboard enters byte k of this string; key 0
// is the space bar. Each regular letter comes before its final form.
extern const char kKeyboardTable[];
const int kKeyboardKeys = 27;
const int kSpaceBarKey = 0;

// The keyboard's size in pixels and the size of one key, at 1x.
const int kKeyboardWidthPx = 154;
const int kKeyboardHeightPx = 95;
const int kKeyWidthPx = 17;
const int kKeyHeightPx = 25;

// The key at (dx, dy) from the keyboard's top left corner, or -1: the keys
// run right to left, alef at the top right, and the space bar is the middle
// of the bottom row.
int KeyAt(int dx, int dy);
// The same on the keyboard as drawn, `drawn` pixels in size: the picture at
// 1.5x or 2x has its keys where the 1x one has them, scaled.
int KeyAtDrawn(int dx, int dy, SIZE drawn);
// Where the dialog placed the keyboard, in its client coordinates: centred
// under the edit.
POINT KeyboardOrigin(HWND dialog);

// A tap at (x, y) of the dialog's client area: enters the key there and
// returns 0, or returns 1 when no key is there.
int HitTestKeyboard(HWND dialog, int x, int y);
// Enters key `key` into the edit, to the left of the caret.
void TypeKeyboardKey(HWND dialog, int key);
