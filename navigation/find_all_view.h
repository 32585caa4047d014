// What the parts of the Find All window share: its controls, its rows, where
// the list is scrolled to, and the fonts and sizes made for the resolution
// the window is drawn at, which is the one every size of it is scaled for.
#pragma once

#include <windows.h>

#include "app/app_state.h"
#include "navigation/find_all_rows.h"

const int kFindAllFilters = 3;

struct FindAllView {
    HWND window;
    HWND list;
    HWND countLabel;
    HWND filterButtons[kFindAllFilters];
    FindAllRows rows;
    int topRow;
    int wheelDelta;
    int dpi;             // the window's resolution; 0 counts as 96
    HFONT textFont;      // owned when ownsTextFont: the reading face, for the rows
    bool ownsTextFont;
    wchar_t textFace[kFaceNameChars];
    HFONT labelFont;     // owned when ownsLabelFont: the controls' font, for the labels
    bool ownsLabelFont;
    int fontDpi;         // the resolution both fonts were made for
    int rowHeightPx;
    int textHeightPx;
};

// The one window and the rows of the last Find All, kept for it until it
// closes (or, when it was never opened, until the next Find All).
extern FindAllView gFindAll;

// Makes the fonts again when the reading face or the window's resolution
// changed since they were made, and the row height with them.
void EnsureFindAllFonts(FindAllView* view);
// Deletes the fonts, frees the rows and clears the record.
void ReleaseFindAllView(FindAllView* view);
