// The colour themes of the reading surfaces: the panes, the commentary's
// ground, the separator, the search mark, the selection, the title box, the outline with its
// markers and the letter keyboard. Standard controls, dialogs and menus keep
// the system's colours.
#pragma once

#include <windows.h>

// The stored "Theme" values.
const int kThemeLight = 0;  // the handheld's colours
const int kThemeSepia = 1;
const int kThemeDark = 2;
bool IsThemeCode(int theme);

// Platform colour values, 0x00BBGGRR.
struct Palette {
    COLORREF page;          // the main pane and the outline
    COLORREF commentary;    // the lower area behind the commentary pane
    COLORREF separator;     // the line between the panes
    COLORREF plainText;     // also the rules' ink, the markers and the keyboard
    COLORREF smallText;     // notes
    COLORREF headingText;   // large bold type
    COLORREF rule;
    COLORREF markText;      // the search match
    COLORREF markBack;
    COLORREF titleText;     // the box that announces a section
    COLORREF titleBack;
    COLORREF titleFrames[3];  // outer two pixels, the gap, inner two pixels
    COLORREF accent;        // the edge of the active pane
    COLORREF selectText;    // a passage the reader selected
    COLORREF selectBack;
    COLORREF statusText;    // the status line at the window's foot
    COLORREF statusBack;
    COLORREF statusEdge;    // the line along its top
};

// The palette of a stored theme; an unknown value gives the light one.
const Palette& ThemePalette(int theme);
// The palette of the theme in use (gView.theme).
const Palette& CurrentPalette();

// Fills a rectangle with a colour, without making a brush.
void FillWithColour(HDC dc, const RECT& area, COLORREF colour);
