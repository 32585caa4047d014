#include "platform/dpi.h"

namespace {

typedef UINT(WINAPI* GetDpiForWindowFunction)(HWND);

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

}  // namespace

int WindowDpi(HWND window) {
    GetDpiForWindowFunction function = DpiForWindowFunction();
    int dpi = function && window ? (int)function(window) : 0;
    if (dpi <= 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen) ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : kBaseDpi;
}

int ScaleForDpi(int px96, int dpi) {
    if (dpi <= 0) dpi = kBaseDpi;
    int scaled = MulDiv(px96, dpi, kBaseDpi);
    return px96 > 0 && scaled < 1 ? 1 : scaled;
}
