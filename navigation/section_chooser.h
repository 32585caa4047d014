// The "Choose Section" dialog: the book's index as the section grid's
// outline, with the bookmark group at its top and the current section's
// branch opened. A tap on a link closes it with that section.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "app/app_state.h"
#include "navigation/section_grid.h"

// Dialog resource of the chooser (resources/lorvan.rc).
const WORD kChooseSectionDialog = 118;

// Runs dialog 118 over `owner` and returns the chosen section: the current
// one after OK (or when the dialog cannot run), 0 after Cancel, a link's
// number after a tap on it.
uint16_t ChooseSection(HINSTANCE instance, HWND owner, uint16_t currentSection, const FontSpec* fontSpec);

INT_PTR CALLBACK ChooserDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Loads the index, puts the bookmark group in front of it, lays it out and
// opens the current section's branch. False when memory ran out.
bool BuildChooserGrid();
// The dialog's scroll bar: range 0 ... lastFirstRow, position firstRow.
void UpdateChooserScrollBar();
// The outline of the open chooser, for a look from outside; null when none
// is open.
const SectionGrid* OpenChooserGrid();
