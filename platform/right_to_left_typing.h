// Typing right to left into an edit control that shows text in stored order.
// Text stored in drawing order is built from its right end: each character
// goes in to the left of the caret and the caret stays where it was. A
// handheld enters letters this way from its on-screen keyboard; on a desktop
// the physical keyboard must do the same.
#pragma once

#include <windows.h>

// Replaces the edit's selection with `c`, as an undoable change, and leaves
// the caret to the left of it. A character that does not go in (the edit is
// full) leaves the caret alone. Returns whether it went in.
bool InsertLeftOfCaret(HWND edit, wchar_t c);

// From now on, characters typed into `edit` go in by InsertLeftOfCaret, and
// so do pasted ones, one at a time, with brackets turned to face as they do
// in drawing order. Backspace removes the character right of
// the caret (the one typed last), Delete the one left of it. Apply it after
// ShowEditInStoredOrder. Returns FALSE when `edit` is not a window; calling
// it twice is harmless.
BOOL TypeRightToLeft(HWND edit);

// Characters typed into `edit` (not pasted ones) pass through `filter` before
// they go in; null takes the filter away. Apply it after TypeRightToLeft.
typedef wchar_t (*TypedCharacterFilter)(wchar_t typed);
void FilterTypedCharacters(HWND edit, TypedCharacterFilter filter);

// The character that the standard Israeli layout types on the key that types
// `typed` on an English layout: t is alef, c bet, "," tav, "." final tsadi,
// ";" final pe, q "/", w "'" and so on. Capitals, digits, "?", "*" and every
// other character come back as they are.
wchar_t IsraeliLayoutCharacter(wchar_t typed);

// Whether the keyboard layout of the calling thread types Hebrew.
bool InputLanguageIsHebrew();
