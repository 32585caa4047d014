#include "app/view_scale.h"

#include "app/app_state.h"
#include "app/desktop_frame.h"
#include "app/settings.h"
#include "fontdialog/font_sizes.h"
#include "navigation/outline_panel.h"
#include "panes/split_view.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/shell.h"

namespace {

// Wheel turns finer than a notch add up until they make one.
int gZoomWheelRemainder = 0;

void ShowReadingSize(HWND window, int size) {
    if (size == gApp.font.size || ProgramEnding()) return;
    gApp.font.size = size;
    SetViewFont(window);
    RefreshOutlinePanel();
}

}  // namespace

void ZoomBy(HWND window, int steps) { ShowReadingSize(window, SteppedFontSize(gApp.font.size, steps)); }

void ZoomToChosenSize(HWND window) {
    if (gApp.chosenFontSize) ShowReadingSize(window, gApp.chosenFontSize);
}

void ZoomByWheel(HWND window, int wheelDelta) {
    bool reversed = (gZoomWheelRemainder < 0 && wheelDelta > 0) || (gZoomWheelRemainder > 0 && wheelDelta < 0);
    if (reversed) gZoomWheelRemainder = 0;
    gZoomWheelRemainder += wheelDelta;
    int steps = gZoomWheelRemainder / WHEEL_DELTA;
    gZoomWheelRemainder -= steps * WHEEL_DELTA;
    if (steps) ZoomBy(window, steps);
}

void ApplyWindowDpi(HWND window, int dpi) {
    dpi = UsableDpi(dpi);
    if (dpi == UsableDpi(gApp.font.dpi) || ProgramEnding()) return;
    gApp.font.dpi = dpi;
    if (gApp.menuBar) {
        CommandBarSetDpi(gApp.menuBar, dpi);
        // Full screen keeps the bar hidden and its room at 0 until it leaves.
        if (!InFullScreen()) gApp.menuBarHeight = CommandBarHeight(gApp.menuBar);
    }
    LoadGridBitmaps(dpi);
    PlacePanes(window);
    SetViewFont(window);
    LayOutMainWindow(window, kRelayoutMarker);
    RefreshOutlinePanel();
    RepaintView(window, kRepaintAll);
}

void OnDpiChanged(HWND window, WPARAM wParam, const RECT* suggested) {
    ApplyWindowDpi(window, HIWORD(wParam));
    if (suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}
