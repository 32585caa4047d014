// The pointer over the panes. A press that moves past the system's drag
// distance selects text, scrolling the pane while the pointer is held at or
// beyond its top or bottom edge; a press released where it was is the tap that turns
// a page, or, while something is selected, clears the selection. A double
// click selects a word and a triple click a paragraph.
#pragma once

#include <windows.h>

struct TextPane;

// While a drag is held at a pane's edge, this timer scrolls it.
const UINT_PTR kAutoScrollTimer = 0x5E1;
const UINT kAutoScrollIntervalMs = 50;

void OnPointerDown(HWND window, LPARAM lParam);
void OnPointerDoubleClick(HWND window, LPARAM lParam);
void OnPointerMove(HWND window, WPARAM wParam, LPARAM lParam);
void OnPointerUp(HWND window, LPARAM lParam);
// Drops the press a pane holds, if any, without a tap or a selection: a new
// press begins, or the panes are about to go.
void ForgetPointerPress(HWND window);
// Another window took the capture: a drag ends where it is.
void OnPointerCaptureLost(HWND window);
// WM_TIMER: true when the timer was the pointer's.
bool OnPointerTimer(HWND window, WPARAM timerId);

// Clears the selection of both panes and draws again what it covered. True
// when there was one.
bool ClearPaneSelections();
// Selects the whole section of the active pane (and nothing in the other).
void SelectAllInActivePane();
// What Copy and Append take: the pane whose selection is on screen, wherever
// the keys are; without one, the active pane (its whole section).
TextPane* PaneToCopy();
