// Selecting text in a pane: the character under a point and the box of a
// character on screen, the selection made of them, and its drawing.
//
// A selection runs from one character to another in reading order, both
// included, across lines and paragraphs. A reversed paragraph is read from
// its stored end, so within it the selected characters are taken backwards
// through the stored text; every line still shows its selected characters as
// one stored stretch, drawn as stored.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "panes/text_pane.h"

// A stretch of the section text, from start up to end (half open).
struct TextStretch {
    uint16_t start;
    uint16_t end;
};

// A selection as stored stretches: within the paragraph where it starts, the
// text between, and within the paragraph where it ends. Every selected
// character lies in one of them; the text between also holds record bytes
// that no line shows.
const int kSelectedStretches = 3;
struct SelectedStretches {
    int count;  // 0: nothing selected
    TextStretch stretches[kSelectedStretches];
};

// The selected stretches of the pane; count 0 when nothing is selected (or
// the selection names no characters of the pane's text).
SelectedStretches ResolveSelection(const TextPane* pane);
// The selected part of the stored stretch [start, end) of one paragraph, which
// is a stretch itself; empty (start == end) when none of it is selected.
TextStretch SelectedPart(const SelectedStretches& selected, int start, int end);

// The characters from `anchor` to `focus` in reading order, both included.
// Both must be offsets of characters of text records; otherwise nothing is
// selected.
void SelectCharacters(TextPane* pane, uint16_t anchor, uint16_t focus);
void ClearSelection(TextPane* pane);
bool HasSelection(const TextPane* pane);
// The word at `offset`, without the punctuation at its ends. False (and the
// selection unchanged) on a space or where no word is.
bool SelectWordAt(TextPane* pane, uint16_t offset);
// The whole paragraph that holds `offset`.
bool SelectParagraphAt(TextPane* pane, uint16_t offset);
// From the first character read in the section to the last.
bool SelectAllText(TextPane* pane);
// The first and last stored characters of the word at `offset` in `text`,
// punctuation at either end left out. False on a space or where no word is.
bool WordAt(const uint8_t* text, uint16_t offset, uint16_t* first, uint16_t* last);

// The character drawn at (x, y) of the pane's dc, or the nearest one drawn: a
// point beside a line takes its nearest end, a point above or below the lines
// on screen the nearest line, a blank row the line above it. False when no
// line with characters is on screen.
bool CharacterAtPoint(TextPane* pane, int x, int y, uint16_t* offset);
// Where the character at `offset` is drawn. False when it is not on screen
// (scrolled away, or a hanging word's character that its column cuts off).
bool CharacterBox(TextPane* pane, uint16_t offset, RECT* box);

// The selection colours of the theme in use.
COLORREF SelectionTextColour();
COLORREF SelectionBackColour();

// Draws the selection over the painted rows.
void PaintSelection(TextPane* pane);
// After the selection changed from `before`: draws again, on `ground`, only
// the visible lines whose selected characters changed.
void RepaintSelectionChange(TextPane* pane, const SelectedStretches& before, COLORREF ground);
