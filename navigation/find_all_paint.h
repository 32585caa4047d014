// Painting the rows of Find All: each row's words around the match, the
// match marked, "main" or "commentary", and the section's heading, drawn in
// stored order like the panes draw the book.
#pragma once

#include <windows.h>

#include "navigation/find_all_view.h"

// The list's WM_PAINT: the rows from the view's top row down, drawn aside
// and put on the screen at once, so that moving the selection never flickers.
void PaintFindAllList(const FindAllView* view, HWND list);
