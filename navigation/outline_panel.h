// The outline beside the text: the book's index, as the chooser shows it, in
// a panel at the right edge of the reader's window (the side a Hebrew page
// begins on), under the tool bar. The current section's link is marked and
// kept in sight as the reader moves; a click on a link goes there and leaves
// the panel open, a click on a heading folds it. The panel's left edge is
// dragged to set its width, a share of the window's.
#pragma once

#include <windows.h>
#include <stdint.h>

struct SectionGrid;

const UINT kOutlinePanelCommand = 148;  // "&Outline", F9, in the View menu

// The panel's share of the window's width ("OutlinePanelPercent").
const int kMinOutlinePanelPercent = 15;
const int kMaxOutlinePanelPercent = 50;
const int kDefaultOutlinePanelPercent = 25;
// A stored share kept within the bounds; 0 or less gives the default.
int UsableOutlinePanelPercent(int percent);
// The panel's width for a client area `clientWidthPx` wide, at the stored share.
int OutlinePanelWidthPx(int clientWidthPx);

// Makes the panel's window, hidden, as a child of `mainWindow`; nothing
// once it is made.
void CreateOutlinePanel(HWND mainWindow);
// The panel at `rect` of the main window's client area, shown; an empty
// rectangle hides it. The outline is built when it first shows.
void PlaceOutlinePanel(const RECT& rect);

// The current section is marked and brought into sight (after a step, Back,
// a search or any other move).
void FollowOutlinePanel(uint16_t section);
// Drawn again in the theme, font and resolution in use now.
void RefreshOutlinePanel();

// F6: the keyboard moves from the panes to the panel while it shows, and
// back. False when the panel does not show.
bool SwitchOutlineFocus(HWND mainWindow);

// The panel's window and its outline, for a look from outside; null while
// there is none.
HWND OutlinePanelWindow();
const SectionGrid* OutlinePanelGrid();
