// The book's outline in a window of its own: the index with the bookmark
// group at its head, drawn by the section grid into its host's client area
// and scrolled by the host's vertical scroll bar. The chooser's dialog and
// the panel beside the text are hosts alike: one way to build the outline,
// to size, paint, scroll and tap it, and one list of the outlines open, so
// that a bookmark set or cleared shows in every one at once.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "app/app_state.h"
#include "navigation/section_grid.h"

struct OutlineView {
    HWND window;            // the host; its WS_VSCROLL bar scrolls the outline
    HDC dc;                 // the host's, held by the host for the view's life
    RECT clientRect;        // where the outline stands: the client area less the OK strip and leftInsetPx
    SectionGrid* grid;      // owned
    const FontSpec* fontSpec;  // borrowed; the grid keeps a copy
    int leftInsetPx;        // room the host keeps for itself at the left of its client area
    int wheelRemainder;     // wheel movement short of a whole notch
    uint16_t groupRecords;  // records of the bookmark group at the head of the outline
    // The host's answer to a link chosen, by a tap or by a screen reader.
    void (*choose)(uint16_t section);
};

// Reads the host's client rectangle into clientRect.
void ReadOutlineRect(OutlineView* view);

// Loads the index, puts the bookmark group in front of it, lays it out in
// clientRect, opens the branch of `current` and marks it. False when memory
// ran out (the program is ending).
bool BuildOutline(OutlineView* view, uint16_t current);

// Lays the outline out again for the host's client size, each heading
// opened or closed as it was. The layout's result (kGridNoMemory when memory ran out).
int ResizeOutline(OutlineView* view);

// The outline built again from the index and the bookmarks as they are now,
// in the font spec given: the index's headings stay opened or closed as they
// were, the group shows as laid out, `current` stays marked and in sight.
// Repaints. False when memory ran out.
bool RebuildOutline(OutlineView* view, uint16_t current);

// Every pixel of clientRect: the outline with its markers' room, the page
// beside it, or the page throughout without an outline.
void PaintOutline(OutlineView* view);
// WM_ERASEBKGND: the page's colour; the outline is drawn at the paint after.
void EraseOutline(OutlineView* view, HDC dc);
// The host's scroll bar: range 0 ... lastFirstRow, position firstRow.
void UpdateOutlineScrollBar(OutlineView* view);

// The keys of the outline: Page Up and Page Down move one row, like the
// arrows. False for any other key.
bool OutlineKey(OutlineView* view, WPARAM key);
// WM_VSCROLL from the host's own scroll bar.
void OutlineScroll(OutlineView* view, UINT message, WPARAM wParam, LPARAM lParam);
// One row per wheel notch; the wheel turned away from the user moves up.
void OutlineWheel(OutlineView* view, WPARAM wParam);
// A press at client point `lParam`: a link tapped goes to `choose`; a fold
// or a press below the rows sets the scroll bar.
void OutlineTap(OutlineView* view, LPARAM lParam);
// Opens or closes the heading whose record starts at `row`, as a tap on it
// does; nothing when it is open or closed already.
void FoldOutlineHeading(OutlineView* view, int row, bool open);
// Marks `section`, opening its branch and scrolling it into sight when it
// is not; repaints the outline when anything changed.
void FollowOutlineSection(OutlineView* view, uint16_t section);

// Releases the grid; the host releases its dc.
void ReleaseOutline(OutlineView* view);

// The outlines open now, so that a change of the bookmarks reaches each.
void ListOutline(OutlineView* view);
void UnlistOutline(OutlineView* view);
// Builds every open outline again (RebuildOutline) after the bookmarks changed.
void RefreshOutlines(uint16_t current);
// Builds every open outline anew from the open book's index.
void ReloadOutlines(uint16_t current);
