#include "app/app_state.h"

#include "platform/shell.h"

AppState gApp;
ShellOptions gShell;
SplitView gSplit;
ViewOptions gView;

HMENU MenuOfBarButton(UINT buttonCommand) {
    if (!gApp.windowMenu) return BarButtonMenu(gApp.menuBar, gApp.menuBarOnBottom, buttonCommand);
    switch (buttonCommand) {
    case kGoButtonCommand: return GetSubMenu(gApp.windowMenu, 0);
    case kMarelButtonCommand: return GetSubMenu(gApp.windowMenu, 1);
    case kViewButtonCommand: return GetSubMenu(gApp.windowMenu, 2);
    default: return nullptr;
    }
}

void SetLesson(uint16_t n) {
    if (n != 0) {
        if (gApp.lesson == n) return;
        gApp.lesson = n;
        gApp.lastPosition = 0;
        return;
    }
    if (gApp.lesson != 0) return;
    gApp.lesson = kFirstSection;
    gApp.lastPosition = 0;
}

int32_t UsableLetterBase(int32_t base) {
    bool known = base == kLetterBaseAscii || base == kLetterBaseCodePage || base == kLetterBaseUnicode;
    return known ? base : kLetterBaseUnicode;
}

namespace {
int32_t Clamp(int32_t value, int32_t low, int32_t high) { return value < low ? low : value > high ? high : value; }
}  // namespace

int32_t UsableFontSize(int32_t size) {
    if (size == 0) return kFirstStartFontSize;
    // A letter height (below 0) is read as its size; the most negative value
    // has no magnitude of its own and is clamped as the largest.
    int32_t magnitude = size == INT32_MIN ? kMaxFontSizePx : size < 0 ? -size : size;
    return Clamp(magnitude, kMinFontSizePx, kMaxFontSizePx);
}
