// The program entry, the single-instance guard, the main window with its menu
// bar, and the message loop.
#pragma once

#include <windows.h>

#include "app/app_state.h"

extern const wchar_t kMainWindowClass[];  // also the window title
const UINT kCloseRequestMessage = 1023;   // another program asks the reader to close
const UINT kChooseSectionCommand = 119;
// The smallest the user can make the window, at 96 DPI. The full-size dialogs
// take the window's size, and below this their controls would not fit (they
// keep to their own size as well).
const int kMinWindowWidthPx = 320;
const int kMinWindowHeightPx = 400;

// The body of the program entry; returns the exit code.
int RunReader(HINSTANCE instance, const wchar_t* commandLine, int showCommand);

// The program entry up to its message loop: fresh program-wide state, the
// shell options, then StartMainWindow, whose result it returns.
HWND StartReader(HINSTANCE instance, int showCommand);

// Reads the five shell options from the maker's key into gApp and gShell.
void ReadShellOptions();

// Returns the new main window, or null when another copy runs (it is then
// brought forward or asked to open its chooser) or creation failed.
HWND StartMainWindow(int showCommand);
ATOM RegisterMainClass(HINSTANCE instance, const wchar_t* className);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SetupMainWindow(HWND window);
// True on a desktop, unless "MenuBarOnBottom" asks for the handheld's bar;
// on the handheld sets gApp.menuBarOnBottom from its version (4.21 on).
bool UsesDesktopFrame();
// Makes the shell menu bar (version 4.21 on, or "MenuBarOnBottom") or the
// command bar for gApp.mainWindow, with its tool buttons and tool tips; on a
// desktop the menus and the tool bar (CreateDesktopFrame).
void CreateMenuBar();

// Runs the message loop until the quit request; returns its code.
int RunMessageLoop();
// After the message loop: destroys the main window if it still stands, frees
// the loaded settings, shows the task bar again and frees the shared text
// buffers.
void EndReader();
