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
