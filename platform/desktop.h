// Desktop services that the handheld has no counterpart for: the screens'
// work areas, where a window stands when restored, and the wheel setting.
#pragma once

#include <windows.h>

// The work area (the screen less its task bars) of the monitor nearest to
// `rect`, or of the primary monitor for a null `rect`; screen coordinates.
RECT WorkAreaNear(const RECT* rect);

// The outer rectangle `window` has, or comes back to, when neither minimised
// nor maximised, in screen coordinates; *maximized tells whether it is
// maximised now. False when the window does not exist.
bool RestoredWindowRect(HWND window, RECT* rect, bool* maximized);

// A window over the whole of its monitor without its frame, and back to the
// frame, size and state it had.
struct MonitorFullScreen {
    bool on;
    LONG_PTR framedStyle;
    WINDOWPLACEMENT framedPlacement;
};
void EnterMonitorFullScreen(HWND window, MonitorFullScreen* state);
void LeaveMonitorFullScreen(HWND window, MonitorFullScreen* state);
// RestoredWindowRect for a window in full screen: where it comes back to.
bool FramedWindowRect(HWND window, const MonitorFullScreen& state, RECT* rect, bool* maximized);

// The WM_GETMINMAXINFO handling of a window the user sizes: never smaller
// than `widthPx` by `heightPx`, given at 96 DPI and drawn at `dpi`.
void KeepMinimumTrackSize(MINMAXINFO* info, int widthPx, int heightPx, int dpi);

// Rows one wheel notch scrolls by the user's setting (3 unless changed; 0
// turns the wheel off), or kWheelScrollsPage when it is set to whole pages.
const int kWheelScrollsPage = -1;
int WheelScrollRows();
