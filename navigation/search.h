// The search across the book: FindNext goes on from the active pane's last
// match or view, then through the other sections in order, and shows the
// match highlighted in the pane of the section where it was found;
// FindPrevious does the same the other way. Both match with the stored
// search options.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "navigation/search_match.h"

// The stored search string with the stored search options.
SearchPattern StoredSearchPattern();

// Continues the search for the stored search string. Returns 1 when a match
// was found and shown; 0 when no search is set (nothing happens), when
// nothing matched ("Not Found!", owned by `owner`) or memory ran out.
int FindNext(HWND owner);

// Search Previous: the mirror of FindNext, through the sections backwards
// and round from the first to the last; the same results.
int FindPrevious(HWND owner);

// The offset in the active pane's text at which FindNext starts.
uint16_t SearchResumeOffset();
// The bound in the active pane's text before which FindPrevious looks
// (BackwardBoundOf), kPastEveryRecord without a laid-out pane.
int SearchBackwardBound();

// Shows a match found elsewhere (Find All) as FindNext shows one: its section
// current, its pane active, scrolled to it and marked, the title box drawn.
// 1 when it was shown; 0 when its section could not be loaded or shown.
int ShowSectionMatch(HWND owner, int section, int endOffset, int length);

// A match in a section other than the one searched first.
struct SectionMatch {
    int section;
    uint8_t* text;  // the section's text, owned by whoever takes the match
    int endOffset;  // of the match's last byte
    int length;
};

enum SectionScanResult {
    kScanFound = 0,
    kScanBackAtStart = 1,  // every other section was searched in vain
    kScanNoMemory = 2,
};

const int kSearchForward = 1;
const int kSearchBackward = -1;

// Loads the sections after `startSection` (before it, going backward) one at
// a time, wrapping from the last to the first (the first to the last), and
// searches each in full, until one matches or the scan comes back to
// `startSection`. Going forward a section's first match is taken, going
// backward its last. Commentary sections are passed over when
// `mainTextOnly` is set, and so is every section that cannot be loaded or
// shown. A text without a match is freed at once.
int ScanOtherSections(int startSection, int direction, bool mainTextOnly, const SearchPattern* pattern,
                      SectionMatch* match);
