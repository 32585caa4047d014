#include "platform/dpi.h"

#include <stdint.h>

namespace {

typedef UINT(WINAPI* GetDpiForWindowFunction)(HWND);

int UsableDpi(int dpi) { return dpi >= 1 && dpi <= kMaxDpi ? dpi : kBaseDpi; }

// Windows 10 on; looked up once, so the reader still starts on older systems.
GetDpiForWindowFunction DpiForWindowFunction() {
    static GetDpiForWindowFunction function = nullptr;
    static bool looked = false;
    if (!looked) {
        looked = true;
        HMODULE user = GetModuleHandleW(L"user32.dll");
        if (user) function = (GetDpiForWindowFunction)(void*)GetProcAddress(user, "GetDpiForWindow");
    }
    return function;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return UsableDpi(dpi);
}

}  // namespace

int ScalePx(int px96, int dpi) {
    int64_t scaled = (int64_t)px96 * UsableDpi(dpi);
    int64_t half = kBaseDpi / 2;
    return (int)(scaled >= 0 ? (scaled + half) / kBaseDpi : -((-scaled + half) / kBaseDpi));
}

int WindowDpi(HWND window) {
    if (!window) return kBaseDpi;
    GetDpiForWindowFunction function = DpiForWindowFunction();
    int dpi = function ? (int)function(window) : 0;
    return dpi > 0 ? UsableDpi(dpi) : ScreenDpi();
}
