#include "app/window_place.h"

#include <stdio.h>

#include "app/desktop_frame.h"
#include "platform/desktop.h"
#include "platform/dpi.h"
#include "platform/registry.h"
#include "platform/services.h"

const wchar_t kWindowPlacementValue[] = L"WindowPlacement";

namespace {

// A first window: a portrait page most of the screen's height, its width a
// comfortable line of the first-start reading size (about 70 characters).
const int kReadingHeightPercent = 80;
const int kReadingWidthPerHeight = 3;  // a 3 : 4 page
const int kReadingHeightPerWidth = 4;
const int kComfortableWidthPx = 640;   // at 96 DPI
const int kPlaceFields = 5;
const int kMaxFieldDigits = 6;  // enough for every coordinate a screen has

// Reads an optional minus sign and 1 to kMaxFieldDigits digits from *text and
// moves past them; false when there is no number there.
bool ReadField(const wchar_t** text, long* value) {
    const wchar_t* at = *text;
    bool negative = *at == L'-';
    if (negative) at++;
    long number = 0;
    int digits = 0;
    while (*at >= L'0' && *at <= L'9') {
        if (++digits > kMaxFieldDigits) return false;
        number = number * 10 + (*at - L'0');
        at++;
    }
    if (digits == 0) return false;
    *value = negative ? -number : number;
    *text = at;
    return true;
}

bool ReadFields(const wchar_t* text, long* fields) {
    for (int i = 0; i < kPlaceFields; i++) {
        if (i > 0 && *text++ != L',') return false;
        if (!ReadField(&text, &fields[i])) return false;
    }
    return *text == 0;
}

bool UsableSize(long px) { return px >= kMinWindowPx && px <= kMaxWindowPx; }
bool UsableCoordinate(long px) { return px >= -kMaxWindowPx && px <= kMaxWindowPx; }

// Moves [*low, *high) of `size` into [areaLow, areaHigh), which is at least as large.
void FitSpan(LONG* low, LONG* high, LONG areaLow, LONG areaHigh) {
    LONG size = *high - *low;
    if (*high > areaHigh) *low = areaHigh - size;
    if (*low < areaLow) *low = areaLow;
    *high = *low + size;
}

}  // namespace

bool ParseWindowPlace(const wchar_t* text, WindowPlace* place) {
    long fields[kPlaceFields] = {};
    if (!text || !ReadFields(text, fields)) return false;
    long left = fields[0], top = fields[1], width = fields[2], height = fields[3], maximized = fields[4];
    if (!UsableCoordinate(left) || !UsableCoordinate(top) || !UsableSize(width) || !UsableSize(height)) return false;
    if (maximized != 0 && maximized != 1) return false;
    place->rect = RECT{left, top, left + width, top + height};
    place->maximized = maximized == 1;
    return true;
}

void FormatWindowPlace(const WindowPlace& place, wchar_t* text) {
    const RECT& r = place.rect;
    swprintf(text, kWindowPlaceChars, L"%ld,%ld,%ld,%ld,%d", (long)r.left, (long)r.top, (long)(r.right - r.left),
             (long)(r.bottom - r.top), place.maximized ? 1 : 0);
}

RECT FitRectInto(const RECT& rect, const RECT& area) {
    RECT fitted = rect;
    if (fitted.right - fitted.left > area.right - area.left) fitted.right = fitted.left + (area.right - area.left);
    if (fitted.bottom - fitted.top > area.bottom - area.top) fitted.bottom = fitted.top + (area.bottom - area.top);
    FitSpan(&fitted.left, &fitted.right, area.left, area.right);
    FitSpan(&fitted.top, &fitted.bottom, area.top, area.bottom);
    return fitted;
}

RECT ReadingRect(const RECT& area, int dpi) {
    LONG areaWidth = area.right - area.left;
    LONG areaHeight = area.bottom - area.top;
    LONG height = areaHeight * kReadingHeightPercent / 100;
    LONG width = height * kReadingWidthPerHeight / kReadingHeightPerWidth;
    LONG comfortablePx = ScalePx(kComfortableWidthPx, dpi);
    if (width > comfortablePx) width = comfortablePx;
    if (width > areaWidth) width = areaWidth;
    LONG left = area.left + (areaWidth - width) / 2;
    LONG top = area.top + (areaHeight - height) / 2;
    return RECT{left, top, left + width, top + height};
}

WindowPlace InitialWindowPlace() {
    WindowPlace place = {};
    wchar_t* stored = ReadSettingString(kWindowPlacementValue);
    bool usable = ParseWindowPlace(stored, &place);
    PlatformFree(stored);
    if (!usable) {
        place.rect = ReadingRect(WorkAreaNear(nullptr), SystemDpi());
        place.maximized = false;
        return place;
    }
    // The screen it was on may be gone or smaller now.
    place.rect = FitRectInto(place.rect, WorkAreaNear(&place.rect));
    return place;
}

void SaveWindowPlace(HWND window) {
    WindowPlace place = {};
    // Full screen is left out: the window comes back as it stood before.
    if (!FramedPlace(window, &place.rect, &place.maximized)) return;
    wchar_t text[kWindowPlaceChars];
    FormatWindowPlace(place, text);
    WriteSettingString(kWindowPlacementValue, text);
}
