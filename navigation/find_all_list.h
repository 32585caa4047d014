// The list control of Find All: one row per match, scrolled by its bar, the
// wheel and the keys, a row selected by a click or the arrows; Enter or a
// double click shows the selected match in the reader.
#pragma once

#include <windows.h>

#include "navigation/find_all_view.h"

extern const wchar_t kFindAllListClass[];

// Registers the list's class once; false when the platform refuses.
bool RegisterFindAllListClass();

// Scrolls so that `topRow` is the first row, as far as the rows go.
void ScrollFindAllList(FindAllView* view, int topRow);
// Selects `row` (kept within the rows) and scrolls it into sight.
void SelectFindAllRow(FindAllView* view, int row);
// The selected row's match in the reader, as Search Again shows one. Not
// while a dialog of the reader is open: the reader waits for it.
void ShowSelectedFindAllMatch(const FindAllView* view);
