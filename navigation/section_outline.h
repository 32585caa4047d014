// The outline behaviour of the section grid: which rows are visible, taps
// that choose a section or open and close a heading, revealing the current
// section, and carrying the open and closed headings across a new layout.
//
// The outline exists only through the indents: a heading's subtree is the run
// of rows after it whose indent is not smaller than that of the row right
// after the heading's own rows.
#pragma once

#include <stdint.h>

#include "navigation/section_grid.h"

// A tap below the last row that fits, or past the last row.
const int kHitBelowRows = (int)0x80000000u;

// A positive section number when a link was tapped, 0 when nothing happens,
// minus the heading's number when a heading (or a plain label) was toggled,
// kHitBelowRows below the rows. A toggle repaints the grid.
int HitTestSectionGrid(SectionGrid* grid, int x, int y);

// Collapses or expands the subtree after the record of `row`, repaints, and
// returns minus the record's number. Collapsing hides the whole subtree;
// expanding shows the next level only, each heading there as it was.
int ToggleHeading(SectionGrid* grid, int row);

// Makes the rows of `row`'s record visible, from `row` on by `step` (+1 or
// -1). A heading made visible shows collapsed.
void ShowRecordRows(SectionGrid* grid, int row, int step);

// Makes the link of `section`, the record after it and its enclosing headings
// visible; nothing when the link is already visible.
void RevealSection(SectionGrid* grid, uint16_t section);

// The outline's state for a new layout of the same text: a count, then
// (id, visible and expanded bits) of every record in row order; PlatformFree
// releases it. Null without rows, or when memory ran out.
uint16_t* SaveExpansion(SectionGrid* grid);
// Puts a saved state back exactly, opened and closed headings alike, so that
// a resize undoes nothing the reader did. 0, or -1 without text, rows or list.
int RestoreExpansion(SectionGrid* grid, const uint16_t* saved);
