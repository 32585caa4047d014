// Menu and tool-button commands, keys, and the movement between sections.
#pragma once

#include <windows.h>
#include <stdint.h>

// In place of a section number: load the current section into the main pane
// again, leaving the commentary pane alone.
const uint32_t kReloadSection = 0xF4FFF500u;

// Commands of the menus that the panes' context menu offers too.
const UINT kCommandBookmark = 123;
const UINT kCommandSelectAll = 40010;
const UINT kCommandCopy = 40007;
const UINT kCommandAppend = 40009;

// 0 when the command was handled, 1 when it was not (it then gets the default
// window procedure).
int DispatchCommand(HWND window, WPARAM wParam);
// 0 when the key was handled, 1 when it was not.
int OnKeyDown(HWND window, WPARAM key);

// Makes section `n` current and shows it with its commentary. Returns 0, or 1
// when the section could not be loaded (the old section stays current).
int GoToSection(HWND window, uint32_t n);
// GoToSection without the painting: the section is current and laid out in
// both panes from their tops, for a caller that places the text first.
int LoadSectionPanes(HWND window, uint32_t n);
// Moves by `step` sections, from above the book's last section to 1 and
// from below 1 to the last main-text section.
int StepSection(HWND window, int step);
int NextSection(HWND window);
int PreviousSection(HWND window);

// The section StepSection goes to from `lesson`.
int SteppedSection(int lesson, int step);
