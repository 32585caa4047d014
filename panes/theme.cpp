#include "panes/theme.h"

#include "app/app_state.h"

namespace {

// The light theme is the handheld's own: white pages, a pale commentary, a red
// separator, blue on yellow for a match.
const Palette kLight = {
    0xFFFFFF, 0xFFFFEE, 0x0000FF, 0x000000, 0x800000, 0xFF0000, 0x000000,
    0xFF0000, 0x00FFFF, 0x0000FF, 0x00FFFF, {0x0000FF, 0xFFFFFF, 0xFF0000},
    RGB(0, 120, 215), 0xFFFFFF, RGB(0, 102, 204),
    0x000000, RGB(240, 240, 240), RGB(160, 160, 160)};

// Warm paper and brown ink; the match keeps a saturated yellow, which the
// muted page never reaches.
const Palette kSepia = {
    RGB(244, 236, 216), RGB(234, 222, 194), RGB(176, 74, 40), RGB(67, 52, 34), RGB(38, 70, 120),
    RGB(150, 40, 20),   RGB(140, 120, 95),  RGB(0, 0, 170),   RGB(255, 200, 0), RGB(160, 0, 0),
    RGB(255, 200, 0),   {RGB(176, 74, 40), RGB(255, 250, 235), RGB(38, 70, 120)},
    RGB(196, 120, 40), RGB(255, 250, 235), RGB(140, 90, 45),
    RGB(67, 52, 34), RGB(228, 215, 184), RGB(190, 165, 125)};

// A soft dark ground, not black, and light ink. Notes, headings and plain
// type keep three hues; the match is the one bright patch on the page, and a
// selection a muted blue that light ink still reads on.
const Palette kDark = {
    RGB(30, 31, 34),    RGB(40, 44, 52),     RGB(224, 96, 80),  RGB(221, 221, 214), RGB(155, 200, 185),
    RGB(115, 165, 255), RGB(120, 120, 125),  RGB(20, 20, 20),   RGB(255, 215, 0),   RGB(150, 0, 0),
    RGB(255, 215, 0),   {RGB(224, 96, 80), RGB(30, 31, 34), RGB(115, 165, 255)},
    RGB(80, 160, 240), RGB(240, 240, 235), RGB(38, 79, 120),
    RGB(200, 200, 194), RGB(40, 41, 45), RGB(64, 66, 72)};

}  // namespace

bool IsThemeCode(int theme) { return theme == kThemeLight || theme == kThemeSepia || theme == kThemeDark; }

const Palette& ThemePalette(int theme) {
    switch (theme) {
    case kThemeSepia: return kSepia;
    case kThemeDark: return kDark;
    default: return kLight;
    }
}

const Palette& CurrentPalette() { return ThemePalette(gView.theme); }

void FillWithColour(HDC dc, const RECT& area, COLORREF colour) {
    COLORREF saved = SetDCBrushColor(dc, colour);
    FillRect(dc, &area, (HBRUSH)GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, saved);
}
