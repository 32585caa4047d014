#include "app/app_state.h"

#include "platform/shell.h"

AppState gApp;
ShellOptions gShell;
SplitView gSplit;

HMENU MenuOfBarButton(UINT buttonCommand) {
    return BarButtonMenu(gApp.menuBar, gApp.menuBarOnBottom, buttonCommand);
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
