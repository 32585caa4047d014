// The dots per inch a window is drawn at, and pixel sizes given at 96 DPI
// scaled to it.
#pragma once

#include <windows.h>

const int kBaseDpi = 96;

// The window's DPI where the platform keeps one per window, else the
// screen's; kBaseDpi when neither can be read.
int WindowDpi(HWND window);

// `px96`, a size at 96 DPI, at `dpi`, rounded to the nearest pixel; never
// below 1 for a positive size.
int ScaleForDpi(int px96, int dpi);
