// The matcher's rules written out the plain way, one end position after the
// other and one byte at a time, for the tests and the fuzzer to hold the
// real matcher against.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "navigation/search_match.h"

// As MatchBackward, with positions as indexes into `text`: the index of the
// match's last byte, or -1.
inline ptrdiff_t ReferenceMatch(const uint8_t* text, const uint8_t* pattern, int patternLength, ptrdiff_t highest,
                                int* matchLength) {
    if (patternLength <= 0) return -1;
    for (ptrdiff_t end = highest; end >= 0; end--) {
        if (text[end] != pattern[patternLength - 1]) continue;
        int j = patternLength - 2;
        ptrdiff_t t = end - 1;
        bool failed = false;
        while (j >= 0) {
            if (t < 0) {
                failed = true;
                break;
            }
            if (pattern[j] == text[t] || pattern[j] == kAnyByte) {
                j--;
                t--;
            } else if (pattern[j] == kAnyRun) {
                int prefixLength = 0;
                ptrdiff_t prefixEnd = ReferenceMatch(text, pattern, j, t, &prefixLength);
                if (prefixEnd < 0) return -1;
                *matchLength = (int)(end - prefixEnd) + prefixLength;
                return end;
            } else {
                failed = true;
                break;
            }
        }
        if (failed) continue;
        *matchLength = (int)(end - t);
        return end;
    }
    return -1;
}
