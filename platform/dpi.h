// The screen's resolution and the one rule by which every size the program
// gives in pixels at 96 DPI is drawn at another: px × dpi / 96, rounded.
// Images are drawn at three scales (resources/art) and the nearest is used.
#pragma once

#include <windows.h>

const int kBaseDpi = 96;
// The highest resolution a size is scaled for; beyond it the numbers of the
// layouts would leave their 16 bits.
const int kMaxDpi = 960;

// `px96` pixels at 96 DPI drawn at `dpi`, rounded to the nearest pixel (half
// away from zero). A dpi of 0, or one outside 1 to kMaxDpi, counts as 96.
int ScalePx(int px96, int dpi);
// The other way: `px` at `dpi` as pixels at 96 DPI, rounded.
int UnscalePx(int px, int dpi);
// `dpi` made usable: 96 for 0 or anything outside 1 to kMaxDpi.
int UsableDpi(int dpi);

// The resolution `window` is drawn at: its monitor's where the platform tells
// it per window, else the screen's. 96 without a window.
int WindowDpi(HWND window);
// The screen's resolution, before any window exists.
int SystemDpi();

// A system metric (SM_CXVSCROLL...) at `dpi`, as the platform gives it for
// that resolution; on a platform without per-resolution metrics, the metric
// scaled from the system's resolution.
int SystemMetricForDpi(int index, int dpi);

// ---- Art at three scales ----------------------------------------------------------

// The drawn scales, in percent, and the resource id of an image at each: the
// 1x image keeps its id, the 1.5x and 2x images add kArtIdStep once or twice.
const int kArtScales = 3;
const int kArtScalePercent[kArtScales] = {100, 150, 200};
const WORD kArtIdStep = 1000;

// The index into kArtScalePercent nearest to `dpi` (ties take the larger).
int ArtScaleIndex(int dpi);
WORD ArtResourceId(WORD baseId, int dpi);
// Bitmap `baseId` as drawn for `dpi` (LoadImageW with `loadFlags`), or the 1x
// image when that scale is missing; null when neither loads. The caller
// deletes it.
HBITMAP LoadArtBitmap(HINSTANCE instance, WORD baseId, int dpi, UINT loadFlags);
// The size of a bitmap in pixels; {0, 0} without one.
SIZE BitmapSize(HBITMAP bitmap);
// A static control of a dialog template shows bitmap `baseId` at 1x; at
// another resolution it is given the image drawn nearest `dpi` instead.
// Returns that image, which the caller deletes once the control is gone, or
// null when the control keeps the 1x one.
HBITMAP ShowArtInStatic(HWND control, HINSTANCE instance, WORD baseId, int dpi);
// Takes the image ShowArtInStatic gave out of the control again, before the
// control goes, and deletes it; *bitmap becomes null.
void ReleaseArtInStatic(HWND control, HBITMAP* bitmap);
