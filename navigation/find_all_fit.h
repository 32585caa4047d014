// Fitting a match and the words around it into a row of Find All: what is
// taken from the book, and how much of it fits on either side of the match.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "navigation/search_match.h"

// How much of the book a row may show: stored bytes on either side of the
// match, and of the match itself (a "*" can make it a whole paragraph).
const int kContextChars = 80;
const int kShownMatchChars = 160;

// The stored stretch around a match as drawn, left to right: in Reverse mode
// every part is mirrored and what was stored before the match stands right
// of it.
struct MatchContext {
    wchar_t left[kContextChars];
    wchar_t match[kShownMatchChars];
    wchar_t right[kContextChars];
    int leftCount, matchCount, rightCount;
};
void TakeMatchContext(const uint8_t* text, const SectionHit& hit, MatchContext* context);

// Where a context goes in a cell, in the dc's font: the match in the middle
// (or at the left when it fills the cell), and the whole words on either
// side of it that fit.
struct FittedContext {
    int matchX, matchWidthPx, matchHeightPx;
    int leftFrom;   // the first character of `left` drawn, ending at matchX
    int leftX;
    int rightCount; // the characters of `right` drawn, from matchX + matchWidthPx
};
void FitMatchContext(HDC dc, const MatchContext& context, const RECT& cell, FittedContext* fitted);
