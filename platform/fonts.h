// Fonts on this platform.
#pragma once

#include <windows.h>

// The face used while no font has been chosen. A desktop's default font often
// has no Hebrew letters, so this is an installed face that has them (a
// preferred one when present), or empty when none is found.
const wchar_t* DefaultHebrewFaceName();

// The font of the platform's controls (DEFAULT_GUI_FONT, made at the system's
// resolution) made for `dpi`, for labels and buttons in a window drawn at
// another resolution. The caller deletes it; null when it cannot be made.
HFONT CreateControlFontForDpi(int dpi);
