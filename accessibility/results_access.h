// Find All's list to screen readers: a list of its rows, each named
// "heading, main or commentary: the words around the match" in reading
// order, the selected row focused.
#pragma once

#include <windows.h>

// The list window's WM_GETOBJECT case.
LRESULT AnswerResultsObject(HWND list, WPARAM wParam, LPARAM lParam);
// After the selected row changed: the focus event on it.
void NoteResultsMoved(HWND list);
// When the list goes.
void ForgetResults(HWND list);
