// The panes' context menu: Copy, Append, Select All, Bookmark, and Search
// and Find All for the selected word.
#pragma once

#include <windows.h>
#include <stdint.h>

struct TextPane;

// The menu items that open Search with the word filled in, and that list
// every place of the word with Find All. They are the menu's own, beside
// Select All's id, and never reach the window's command dispatch.
const UINT kCommandSearchWord = 40011;
const UINT kCommandFindAllWord = 40012;

// WM_CONTEXTMENU: the menu of the pane under the pointer (`lParam`, screen
// coordinates), or of the active pane for the menu key (-1). The pane becomes
// the active one. False when the point is over no pane.
bool ShowPaneContextMenu(HWND window, LPARAM lParam);

// The letter codes to search for from `pane`, as stored, at most `capacity`:
// the selection when it lies within one paragraph and fits, else the word at
// (x, y) of the client area (no point: none). The spaces at either end are
// left out. Returns the number of codes, 0 when there is none.
int SearchCodesOfPane(TextPane* pane, const POINT* clientPoint, uint8_t* codes, int capacity);
