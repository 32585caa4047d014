// The screen's resolution and the one rule by which every size the program
// gives in pixels at 96 DPI is drawn at another: px × dpi / 96, rounded.
#pragma once

#include <windows.h>

const int kBaseDpi = 96;
// The highest resolution a size is scaled for; beyond it the numbers of the
// layouts would leave their 16 bits.
const int kMaxDpi = 960;

// `px96` pixels at 96 DPI drawn at `dpi`, rounded to the nearest pixel (half
// away from zero). A dpi of 0, or one outside 1 to kMaxDpi, counts as 96.
int ScalePx(int px96, int dpi);

// The resolution `window` is drawn at: its monitor's where the platform tells
// it per window, else the screen's. 96 without a window.
int WindowDpi(HWND window);
