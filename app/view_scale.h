// The reading size and the screen's resolution: zoom by keys, wheel and
// menu, and the whole window drawn again when it moves to a screen of
// another resolution.
#pragma once

#include <windows.h>

const UINT kZoomInCommand = 140;      // "Zoom &In", Ctrl+plus
const UINT kZoomOutCommand = 141;     // "Zoom &Out", Ctrl+minus
const UINT kActualSizeCommand = 142;  // "&Actual Size", Ctrl+0

// Steps the reading size ("FontSize") `steps` sizes of Choose Font's list up
// (or down), and shows both panes in it with the top lines' text kept.
void ZoomBy(HWND window, int steps);
// Back to the size last chosen in Choose Font, or the one the reader started with.
void ZoomToChosenSize(HWND window);
// Ctrl and the wheel: a notch (WHEEL_DELTA) away from the user zooms in one step.
void ZoomByWheel(HWND window, int wheelDelta);

// The window takes `dpi`: fonts, tool images, outline markers and every
// size of the layout are made for it, and the view is laid out again.
void ApplyWindowDpi(HWND window, int dpi);
// WM_DPICHANGED: the new resolution, then the rectangle Windows suggests.
void OnDpiChanged(HWND window, WPARAM wParam, const RECT* suggested);
