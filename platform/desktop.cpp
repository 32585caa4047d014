#include "platform/desktop.h"

#include "platform/dpi.h"

namespace {

const int kDefaultWheelRows = 3;

MONITORINFO MonitorOf(HMONITOR monitor) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info;
}

}  // namespace

RECT WorkAreaNear(const RECT* rect) {
    HMONITOR monitor = rect ? MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST)
                            : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    return MonitorOf(monitor).rcWork;
}

namespace {

// The restored rectangle is kept in workspace coordinates, which start at the
// work area's corner rather than the screen's.
RECT NormalRectOnScreen(HWND window, const WINDOWPLACEMENT& placement) {
    MONITORINFO info = MonitorOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
    RECT rect = placement.rcNormalPosition;
    OffsetRect(&rect, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    return rect;
}

}  // namespace

bool RestoredWindowRect(HWND window, RECT* rect, bool* maximized) {
    if (!IsWindow(window)) return false;
    *maximized = IsZoomed(window) != FALSE;
    if (!*maximized && !IsIconic(window)) return GetWindowRect(window, rect) != FALSE;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return false;
    *rect = NormalRectOnScreen(window, placement);
    return true;
}

void EnterMonitorFullScreen(HWND window, MonitorFullScreen* state) {
    if (state->on || !IsWindow(window)) return;
    state->framedPlacement.length = sizeof(WINDOWPLACEMENT);
    if (!GetWindowPlacement(window, &state->framedPlacement)) return;
    state->framedStyle = GetWindowLongPtrW(window, GWL_STYLE);
    state->on = true;
    SetWindowLongPtrW(window, GWL_STYLE, state->framedStyle & ~(LONG_PTR)WS_OVERLAPPEDWINDOW);
    MONITORINFO monitor = MonitorOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
    const RECT& area = monitor.rcMonitor;
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

void LeaveMonitorFullScreen(HWND window, MonitorFullScreen* state) {
    if (!state->on) return;
    state->on = false;
    if (!IsWindow(window)) return;
    SetWindowLongPtrW(window, GWL_STYLE, state->framedStyle);
    SetWindowPlacement(window, &state->framedPlacement);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

bool FramedWindowRect(HWND window, const MonitorFullScreen& state, RECT* rect, bool* maximized) {
    if (!state.on) return RestoredWindowRect(window, rect, maximized);
    if (!IsWindow(window)) return false;
    *maximized = state.framedPlacement.showCmd == SW_SHOWMAXIMIZED;
    *rect = NormalRectOnScreen(window, state.framedPlacement);
    return true;
}

void KeepMinimumTrackSize(MINMAXINFO* info, int widthPx, int heightPx, int dpi) {
    LONG minWidth = ScalePx(widthPx, dpi);
    LONG minHeight = ScalePx(heightPx, dpi);
    if (info->ptMinTrackSize.x < minWidth) info->ptMinTrackSize.x = minWidth;
    if (info->ptMinTrackSize.y < minHeight) info->ptMinTrackSize.y = minHeight;
}

int WheelScrollRows() {
    UINT rows = kDefaultWheelRows;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &rows, 0)) return kDefaultWheelRows;
    if (rows == WHEEL_PAGESCROLL) return kWheelScrollsPage;
    // A setting too large to count rows is taken as a page as well.
    return rows > 0x7FFF ? kWheelScrollsPage : (int)rows;
}
