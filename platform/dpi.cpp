#include "platform/dpi.h"

#include <stdint.h>

namespace {

// Windows 10 added the per-window calls; on older systems (and where a test
// program runs) they are looked up rather than linked.
typedef UINT(WINAPI* DpiForWindowCall)(HWND);
typedef int(WINAPI* MetricsForDpiCall)(int, UINT);

// GetProcAddress gives a generic function pointer; it goes through void* to
// the real type.
template <typename Call>
Call User32Call(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int ScreenDcDpi(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return kBaseDpi;
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return UsableDpi(dpi);
}

// value × numerator / denominator, rounded half away from zero, held in an int.
int RoundedRatio(int64_t value, int64_t numerator, int64_t denominator) {
    int64_t product = value * numerator;
    int64_t half = denominator / 2;
    int64_t result = product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    if (result > INT32_MAX) return INT32_MAX;
    if (result < INT32_MIN) return INT32_MIN;
    return (int)result;
}

}  // namespace

int UsableDpi(int dpi) { return dpi >= 1 && dpi <= kMaxDpi ? dpi : kBaseDpi; }

int ScalePx(int px96, int dpi) { return RoundedRatio(px96, UsableDpi(dpi), kBaseDpi); }

int UnscalePx(int px, int dpi) { return RoundedRatio(px, kBaseDpi, UsableDpi(dpi)); }

int WindowDpi(HWND window) {
    if (!window) return kBaseDpi;
    static DpiForWindowCall dpiForWindow = User32Call<DpiForWindowCall>("GetDpiForWindow");
    UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
    return dpi ? UsableDpi((int)dpi) : ScreenDcDpi(window);
}

int SystemDpi() { return ScreenDcDpi(nullptr); }

int SystemMetricForDpi(int index, int dpi) {
    static MetricsForDpiCall metricsForDpi = User32Call<MetricsForDpiCall>("GetSystemMetricsForDpi");
    dpi = UsableDpi(dpi);
    if (metricsForDpi) return metricsForDpi(index, (UINT)dpi);
    return RoundedRatio(GetSystemMetrics(index), dpi, SystemDpi());
}

int ArtScaleIndex(int dpi) {
    int percent = UsableDpi(dpi) * 100 / kBaseDpi;
    int nearest = 0;
    for (int i = 1; i < kArtScales; i++) {
        int distance = percent - kArtScalePercent[i];
        int bestDistance = percent - kArtScalePercent[nearest];
        if ((distance < 0 ? -distance : distance) <= (bestDistance < 0 ? -bestDistance : bestDistance)) nearest = i;
    }
    return nearest;
}

WORD ArtResourceId(WORD baseId, int dpi) { return (WORD)(baseId + kArtIdStep * ArtScaleIndex(dpi)); }

HBITMAP LoadArtBitmap(HINSTANCE instance, WORD baseId, int dpi, UINT loadFlags) {
    WORD id = ArtResourceId(baseId, dpi);
    HANDLE image = LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, loadFlags);
    if (!image && id != baseId) image = LoadImageW(instance, MAKEINTRESOURCEW(baseId), IMAGE_BITMAP, 0, 0, loadFlags);
    return (HBITMAP)image;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    SIZE size = {0, 0};
    if (bitmap && GetObjectW(bitmap, sizeof info, &info)) {
        size.cx = info.bmWidth;
        size.cy = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
    return size;
}

HBITMAP ShowArtInStatic(HWND control, HINSTANCE instance, WORD baseId, int dpi) {
    if (!control || ArtScaleIndex(dpi) == 0) return nullptr;
    HBITMAP bitmap = LoadArtBitmap(instance, baseId, dpi, 0);
    if (!bitmap) return nullptr;
    // The image the control loaded from the template is handed back to us.
    HBITMAP old = (HBITMAP)SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap);
    if (old && old != bitmap) DeleteObject(old);
    return bitmap;
}

void ReleaseArtInStatic(HWND control, HBITMAP* bitmap) {
    if (!*bitmap) return;
    if (control && IsWindow(control)) SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteObject(*bitmap);
    *bitmap = nullptr;
}
