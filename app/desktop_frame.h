// The desktop's frame around the panes: the window's menu bar with "&Go",
// "&Marel" and "&View", the tool bar under it, full screen, and what the
// "&View" menu sets: the theme and the reading column.
#pragma once

#include <windows.h>

// Commands of the "&View" menu. Zoom (140 to 142) is the font size's.
const UINT kCommandFullScreen = 143;
const UINT kCommandReadingColumn = 144;
const UINT kCommandThemeLight = 145;  // 145 + theme code
const UINT kCommandThemeDark = 147;
// "&Outline" (F9) is kOutlinePanelCommand, 148 (navigation/outline_panel.h).

// The menu bar's menus, for a window made with them; null when they cannot be loaded.
HMENU LoadDesktopMenu();
// The menu bar and the tool bar of `window`, with the tool buttons' images
// at the window's DPI: the menu it was made with, or one set now. Without a
// menu the window still works by its keys.
void CreateDesktopFrame(HWND window);
// The tool buttons (six, then Back and Forward after a gap) with their tips and
// images, on a bar of either kind, which draws them at its window's DPI.
void AddToolButtons(HWND bar);
// Puts the check marks of the "&View" menu where the view options stand.
void MarkViewItems();
// Deletes the menu bar if full screen has it off the window (on WM_DESTROY).
void ReleaseDesktopFrame(HWND window);

bool InFullScreen();
// The window over its whole monitor, without frame, menu or tool bar; and back.
void ToggleFullScreen(HWND window);
void LeaveFullScreen(HWND window);
// Where the window stands when not full screen, as RestoredWindowRect gives it.
bool FramedPlace(HWND window, RECT* rect, bool* maximized);

// WM_SIZE of the main window (kRelayoutMarker: the last size again): the
// outline panel takes its share at the right edge, under the tool bar and
// down to the foot, except in full screen; the panes, their divider and the
// status line lay out in the room that is left.
void LayOutMainWindow(HWND window, LPARAM size);
// Command 148: the outline panel shown or hidden.
void ToggleOutlinePanel(HWND window);

// Recolours everything drawn in the theme; an unknown code changes nothing.
void SetTheme(HWND window, int theme);
void ToggleReadingColumn(HWND window);
