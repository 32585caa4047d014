// Prints index_layout_ms, and chooser_open_ms for a reader window with the
// same dialog run empty beside it.
#pragma once

#include <windows.h>

// The index loaded, given a group of 20 bookmarks, laid out at 240 px and a
// section revealed, on a memory dc.
void BenchIndexLayout();
// From command 119 to the end of the chooser's first paint, over `reader`.
void BenchChooserOpen(HWND reader);
// A dialog procedure that does nothing but close on Cancel: run with a
// dialog's template, it times what the platform alone takes to show it.
INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
