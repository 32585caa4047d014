// The search across the book: FindNext goes on from the active pane's last
// match or view, then through the other sections in order, and shows the
// match highlighted in the pane of the section where it was found.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "navigation/search_match.h"

// Continues the search for the stored search string. Returns 1 when a match
// was found and shown; 0 when no search is set (nothing happens), when
// nothing matched ("Not Found!", owned by `owner`) or memory ran out.
int FindNext(HWND owner);

// The offset in the active pane's text at which FindNext starts.
uint16_t SearchResumeOffset();

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

// Loads the sections after `startSection` one at a time, wrapping from the
// last to the first, and searches each in full, until one matches or the
// scan comes back to `startSection`. Commentary sections are passed over when
// `mainTextOnly` is set, and so is every section that cannot be loaded or
// shown. A text without a match is freed at once.
int ScanOtherSections(int startSection, bool mainTextOnly, const SearchPattern* pattern, SectionMatch* match);
