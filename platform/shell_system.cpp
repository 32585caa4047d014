// Full screen, the input panel, setting changes, the task bar, the platform
// version and the message box, as the nearest desktop equivalents.
#include <windows.h>

#include "platform/shell.h"

namespace {

MessageBoxSink gMessageBoxSink = nullptr;
void* gMessageBoxSinkContext = nullptr;

const wchar_t kFrameStyleProp[] = L"LorvanFramedStyle";

// Hiding the task bar on desktop means a borderless window over the whole
// monitor; the framed style is kept in a window property to come back to.
void EnterFullScreen(HWND window) {
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (GetPropW(window, kFrameStyleProp)) return;
    SetPropW(window, kFrameStyleProp, (HANDLE)(style | 1));  // never null
    SetWindowLongPtrW(window, GWL_STYLE, style & ~(LONG_PTR)WS_OVERLAPPEDWINDOW);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcMonitor;
    SetWindowPos(window, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
}

void LeaveFullScreen(HWND window) {
    LONG_PTR saved = (LONG_PTR)RemovePropW(window, kFrameStyleProp);
    if (!saved) return;
    SetWindowLongPtrW(window, GWL_STYLE, saved & ~(LONG_PTR)1);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

}  // namespace

BOOL ShellFullScreen(HWND window, DWORD state) {
    if (!window) return FALSE;
    // Task bar flags: the window covers the monitor without a frame, or gets
    // its frame back. Input-panel button and start icon flags: nothing, a
    // desktop has neither.
    if (state & SHFS_HIDETASKBAR) EnterFullScreen(window);
    else if (state & SHFS_SHOWTASKBAR) LeaveFullScreen(window);
    return TRUE;
}

// Nothing: a desktop has no input panel to prefer.
BOOL ShellSipPreference(HWND window, int) { return window != nullptr; }

// Nothing: a desktop has no input panel to show or hide.
BOOL ShellShowSip(BOOL) { return TRUE; }

// Nothing: on a handheld this fits the window to the input panel; a desktop
// window is sized by the user and needs no change.
BOOL ShellHandleSettingChange(HWND, WPARAM, LPARAM, ShellActivateInfo*) { return FALSE; }

HWND FindTaskBarWindow() { return FindWindowW(L"HHTaskBar", L""); }

void ReadPlatformVersion(DWORD* major, DWORD* minor) {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL known = GetVersionExW(&version);
#pragma GCC diagnostic pop
    *major = known ? version.dwMajorVersion : 0;
    *minor = known ? version.dwMinorVersion : 0;
}

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
    if (gMessageBoxSink) return gMessageBoxSink(owner, text, caption, flags, gMessageBoxSinkContext);
    return MessageBoxW(owner, text, caption, flags);
}

void SetMessageBoxSink(MessageBoxSink sink, void* context) {
    gMessageBoxSink = sink;
    gMessageBoxSinkContext = context;
}
