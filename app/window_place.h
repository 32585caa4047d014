// Where the main window opens: where it stood at the last exit, kept in the
// program key's value "WindowPlacement", or at a reading size at the first
// start, in both cases within the current screen.
#pragma once

#include <windows.h>
#include <stddef.h>

extern const wchar_t kWindowPlacementValue[];

struct WindowPlace {
    RECT rect;       // outer edges of the restored window, screen pixels
    bool maximized;
};

// The stored form: "left,top,width,height,maximized", decimal numbers, the
// last one 0 or 1. Anything else, or a size outside kMinWindowPx to
// kMaxWindowPx, is refused with false and *place left alone.
const int kMinWindowPx = 100;
const int kMaxWindowPx = 32767;
const size_t kWindowPlaceChars = 64;
bool ParseWindowPlace(const wchar_t* text, WindowPlace* place);
// `text` holds kWindowPlaceChars characters.
void FormatWindowPlace(const WindowPlace& place, wchar_t* text);

// `rect` made no larger than `area` and moved inside it.
RECT FitRectInto(const RECT& rect, const RECT& area);
// A portrait page centred in `area`: 80% of its height, three quarters as wide
// as high but no wider than a comfortable line at `dpi` or than `area`.
RECT ReadingRect(const RECT& area, int dpi);

// The stored place fitted to the screen nearest to it, or the reading size on
// the primary screen when nothing usable is stored.
WindowPlace InitialWindowPlace();
// Stores where `window` stands, as it comes back after a restore.
void SaveWindowPlace(HWND window);
