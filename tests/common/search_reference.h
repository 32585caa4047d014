// The matcher's rules written out the plain way, one end position after the
// other and one byte at a time, for the tests and the fuzzers to hold the
// real matcher against.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <utility>
#include <vector>

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

// Every match of a record the plain way, with the options: the record and
// the pattern are copied with final forms made regular and vav and yod left
// out, matched one after the other from the highest end down, and the
// positions found are carried back to the record. As pairs of the index of
// the match's last byte in `text` and the length it covers there.
inline std::vector<std::pair<int, int>> ReferenceMatchesInRecord(const uint8_t* text, int textLength,
                                                                const uint8_t* pattern, int patternLength,
                                                                uint32_t options) {
    auto fold = [](const uint8_t* bytes, int length, uint32_t options, std::vector<uint8_t>* folded,
                   std::vector<int>* positions) {
        static const char kFinals[] = "knptv";  // final kaf, mem, nun, pe, tsadi; each regular form follows
        folded->clear();
        positions->clear();
        for (int i = 0; i < length; i++) {
            uint8_t c = bytes[i];
            if ((options & kSearchSkipVavYod) && (c == 'f' || c == 'j')) continue;
            if ((options & kSearchFinalLetters) && c && strchr(kFinals, c)) c++;
            folded->push_back(c);
            positions->push_back(i);
        }
    };
    std::vector<uint8_t> foldedText, foldedPattern;
    std::vector<int> textPositions, patternPositions;
    fold(pattern, patternLength, options, &foldedPattern, &patternPositions);
    if (foldedPattern.empty()) {
        options &= ~kSearchSkipVavYod;  // nothing but vav and yod: looked for as typed
        fold(pattern, patternLength, options, &foldedPattern, &patternPositions);
    }
    fold(text, textLength, options, &foldedText, &textPositions);
    std::vector<std::pair<int, int>> matches;
    ptrdiff_t highest = (ptrdiff_t)foldedText.size() - 1;
    while (highest >= 0) {
        int length = 0;
        ptrdiff_t end =
            ReferenceMatch(foldedText.data(), foldedPattern.data(), (int)foldedPattern.size(), highest, &length);
        if (end < 0) break;
        ptrdiff_t start = end - length + 1;
        matches.push_back({textPositions[end], textPositions[end] - textPositions[start] + 1});
        highest = start - 1;
    }
    return matches;
}
