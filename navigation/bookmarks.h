// Bookmarks: the list of bookmarked sections, kept in AppState, loaded from
// the settings at start and written back at exit; and the check marks of the
// "&Bookmark" and "Re&verse" items of the Go menu.
#pragma once

#include <windows.h>
#include <stdint.h>

// Clears the list and loads it from the "Bookmarks" setting.
void InitBookmarks();
// Replaces the list by the stored one. A stored value is cleaned before use:
// cut to whole 16-bit words, 0 words and repeated sections dropped, and a 0
// entry put at the end. No stored value gives no array and a count of 0.
void LoadBookmarks();
// Writes the list with its closing 0 word; without a list, one 0 word.
void SaveBookmarks();
// Releases the list.
void FreeBookmarks();

// 1 when the current section is in the list.
int IsBookmarked();

// Adds the current section at the end of the list, unless it is there or
// memory runs out (then nothing changes and nothing is shown).
void AddBookmark();
// Takes the current section out of the list.
void RemoveBookmark();
// Command 123: adds the current section, or removes it after asking "Remove
// Bookmark?" (Yes removes, No keeps, Cancel removes and stops the question
// until the program ends).
void ToggleBookmark(int isBookmarked);

const int kMenuCheckToggle = 0;
const int kMenuCheckSet = 1;
// Checks or unchecks item `command` of `menu` (set mode, by `wanted`), or
// flips it (toggle mode). Returns the new state, 1 checked or 0.
int SetMenuCheck(HMENU menu, int mode, UINT command, int wanted);
// The check mark of "&Bookmark" (123) follows IsBookmarked.
void UpdateBookmarkCheck(HWND window, int mode);
// The check mark of "Re&verse" (122) and the Reverse bit of the flags word are
// made equal: set mode shows the bit, toggle mode flips both.
void UpdateReverseCheck(HWND window, int mode);
